#pragma once

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

// A circle given by its centre and radius. A new circle has centre (100, 100) and
// radius 50.
class Circle : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfGeometry0_;
    static constexpr std::uint64_t SfCenterX = 0x40000;
    static constexpr std::uint64_t SfCenterY = 0x80000;
    static constexpr std::uint64_t SfRadius = 0x100000;
    static constexpr std::uint64_t sfNextSf_ = 0x200000;

    explicit Circle(ObjectCreateAccessToken);

    double CenterX() const { return centerX_; }
    void setCenterX(double value);
    double CenterY() const { return centerY_; }
    void setCenterY(double value);
    // Never negative.
    double Radius() const { return radius_; }
    void setRadius(double value);

    void SetCenterRadius(double centerX, double centerY, double radius);
    void GetCenterRadius(double& centerX, double& centerY, double& radius) const;

    std::shared_ptr<Circle> Copy(std::uint32_t copyShapeMode) const;
    // The image of the circle under `transform`, an ellipse (see Ellipse::MapLinear for
    // its axes); a copy with `copyShapeMode` otherwise. Throws ShapeException for a
    // singular transform.
    std::shared_ptr<Ellipse> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // the centre
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

private:
    friend class cereal::access;
    Circle() : Circle(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "Circle::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), centerX_, centerY_, radius_);
        if constexpr (Archive::is_loading::value) {
            using namespace Private::ShapeArchive;
            CheckFinite(centerX_, "centre x", name);
            CheckFinite(centerY_, "centre y", name);
            CheckNonNegative(radius_, "radius", name);
        }
    }

    double centerX_ = 100;
    double centerY_ = 100;
    double radius_ = 50;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::Circle, 1)
