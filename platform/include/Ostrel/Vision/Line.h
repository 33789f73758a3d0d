#pragma once

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

// An infinite line given by a point on it (X, Y) and the angle of its direction
// (Rotation, radians, counter-clockwise from the x axis). The direction matters: it
// orients the line for angles between lines. A new line passes through (100, 100) with
// rotation 0.
class Line : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfGeometry0_;
    static constexpr std::uint64_t SfX = 0x40000;
    static constexpr std::uint64_t SfY = 0x80000;
    static constexpr std::uint64_t SfRotation = 0x100000;
    static constexpr std::uint64_t sfNextSf_ = 0x200000;

    explicit Line(ObjectCreateAccessToken);

    double X() const { return x_; }
    void setX(double value);
    double Y() const { return y_; }
    void setY(double value);
    // Stored as given.
    double Rotation() const { return rotation_; }
    void setRotation(double value);

    void SetXYRotation(double x, double y, double rotation);
    void GetXYRotation(double& x, double& y, double& rotation) const;
    // The line through (startX, startY) towards (endX, endY): X, Y = the start and
    // Rotation = atan2(endY - startY, endX - startX). Throws ShapeException
    // (E_OstShape_CoordinatesMustDiffer) when the points coincide.
    void SetFromStartXYEndXY(double startX, double startY, double endX, double endY);
    // The line of direction `rotation` whose signed distance from the origin is
    // `distance`, measured along the left normal (-sin r, cos r): X, Y become the foot of
    // the perpendicular from the origin, distance·(-sin r, cos r).
    void SetDistanceRotation(double distance, double rotation);

    std::shared_ptr<Line> Copy(std::uint32_t copyShapeMode) const;
    // The image of the line under `transform`: its point mapped, its direction mapped
    // into (-π, π] (exactly, for similarities). Throws ShapeException when the transform
    // collapses the direction.
    std::shared_ptr<Line> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // (X, Y)
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

private:
    friend class cereal::access;
    friend class LineSegment;  // LineSegment::CreateLine fills a new line
    Line() : Line(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "Line::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), x_, y_, rotation_);
        if constexpr (Archive::is_loading::value) {
            using namespace Private::ShapeArchive;
            CheckFinite(x_, "x", name);
            CheckFinite(y_, "y", name);
            CheckFinite(rotation_, "rotation", name);
        }
    }

    double x_ = 100;
    double y_ = 100;
    double rotation_ = 0;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::Line, 1)
