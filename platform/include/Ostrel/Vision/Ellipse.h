#pragma once

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

// An ellipse given by its centre, the radius along its X axis, the radius across it and
// the rotation of its X axis (radians, counter-clockwise from the x axis of its space).
// Either radius may be the larger. A new ellipse has centre (100, 100), radii 50 and 25
// and rotation 0.
class Ellipse : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfGeometry0_;
    static constexpr std::uint64_t SfCenterX = 0x40000;
    static constexpr std::uint64_t SfCenterY = 0x80000;
    static constexpr std::uint64_t SfRadiusX = 0x100000;
    static constexpr std::uint64_t SfRadiusY = 0x200000;
    static constexpr std::uint64_t SfRotation = 0x400000;
    static constexpr std::uint64_t sfNextSf_ = 0x800000;

    explicit Ellipse(ObjectCreateAccessToken);

    double CenterX() const { return centerX_; }
    void setCenterX(double value);
    double CenterY() const { return centerY_; }
    void setCenterY(double value);
    // Never negative.
    double RadiusX() const { return radiusX_; }
    void setRadiusX(double value);
    double RadiusY() const { return radiusY_; }
    void setRadiusY(double value);
    // Stored as given.
    double Rotation() const { return rotation_; }
    void setRotation(double value);

    void SetCenterXYRadiusXYRotation(double centerX, double centerY, double radiusX, double radiusY,
                                     double rotation);
    void GetCenterXYRadiusXYRotation(double& centerX, double& centerY, double& radiusX, double& radiusY,
                                     double& rotation) const;

    std::shared_ptr<Ellipse> Copy(std::uint32_t copyShapeMode) const;
    // The exact image of the ellipse under `transform`, a copy with `copyShapeMode`
    // otherwise. The image's X axis is the one nearest the image of this X axis, and its
    // rotation the sense of that axis nearest the image of this X axis (at most an eighth
    // of a turn away), in (-π, π]. Similarities (rotation, uniform scale, reflection,
    // translation) map the radii and rotation in closed form; the identity reproduces
    // them exactly. Throws ShapeException for a singular transform, ArgumentException
    // for one that is not finite.
    std::shared_ptr<Ellipse> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // the centre
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

private:
    friend class cereal::access;
    friend class Circle;  // Circle::MapLinear fills a new ellipse
    Ellipse() : Ellipse(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "Ellipse::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), centerX_, centerY_, radiusX_, radiusY_, rotation_);
        if constexpr (Archive::is_loading::value) {
            using namespace Private::ShapeArchive;
            CheckFinite(centerX_, "centre x", name);
            CheckFinite(centerY_, "centre y", name);
            CheckNonNegative(radiusX_, "radius x", name);
            CheckNonNegative(radiusY_, "radius y", name);
            CheckFinite(rotation_, "rotation", name);
        }
    }

    double centerX_ = 100;
    double centerY_ = 100;
    double radiusX_ = 50;
    double radiusY_ = 25;
    double rotation_ = 0;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::Ellipse, 1)
