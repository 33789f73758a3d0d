#pragma once

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

// A point (X, Y) drawn as a symbol (GraphicType) turned by Rotation (radians) and Size
// screen pixels across. Its degrees of freedom are PointMarkerDOFConstants. A new marker
// sits at (100, 100) with rotation 0, size 11 and the symbol Cross.
class PointMarker : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfNextSf_;
    static constexpr std::uint64_t SfGraphicType = 0x800;
    static constexpr std::uint64_t SfX = 0x40000;
    static constexpr std::uint64_t SfY = 0x80000;
    static constexpr std::uint64_t SfRotation = 0x100000;
    static constexpr std::uint64_t SfSize = 0x200000;
    static constexpr std::uint64_t sfNextSf_ = 0x400000;

    explicit PointMarker(ObjectCreateAccessToken);

    double X() const { return x_; }
    void setX(double value);
    double Y() const { return y_; }
    void setY(double value);
    // Stored as given.
    double Rotation() const { return rotation_; }
    void setRotation(double value);
    // Screen pixels; never negative. Mapping leaves it alone.
    std::int32_t Size() const { return size_; }
    void setSize(std::int32_t value);
    PointMarkerGraphicTypeConstants GraphicType() const { return graphicType_; }
    void setGraphicType(PointMarkerGraphicTypeConstants value);

    void SetCenterRotationSize(double x, double y, double rotation, std::int32_t size);
    void GetCenterRotationSize(double& x, double& y, double& rotation, std::int32_t& size) const;

    std::shared_ptr<PointMarker> Copy(std::uint32_t copyShapeMode) const;
    // The centre mapped by `transform`, the rotation by its direction (into (-π, π]).
    // Throws ShapeException when the transform collapses the marker's direction.
    std::shared_ptr<PointMarker> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // (X, Y)
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

private:
    friend class cereal::access;
    PointMarker() : PointMarker(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "PointMarker::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), x_, y_, rotation_, size_, graphicType_);
        if constexpr (Archive::is_loading::value) {
            using namespace Private::ShapeArchive;
            CheckFinite(x_, "x", name);
            CheckFinite(y_, "y", name);
            CheckFinite(rotation_, "rotation", name);
            CheckNonNegative(size_, "size", name);
            CheckEnumRange(static_cast<std::int32_t>(graphicType_), 0, 4, "graphic type", name);
        }
    }

    double x_ = 100;
    double y_ = 100;
    double rotation_ = 0;
    std::int32_t size_ = 11;
    PointMarkerGraphicTypeConstants graphicType_ = PointMarkerGraphicTypeConstants::Cross;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::PointMarker, 1)
