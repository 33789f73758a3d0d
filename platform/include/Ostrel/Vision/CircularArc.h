#pragma once

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

// The arc of the circle (CenterX, CenterY, Radius) from the angle AngleStart through the
// signed angle AngleSpan (radians; positive turns counter-clockwise), with an optional
// ornament at each end. A zero span is an arc of one point. A new arc has centre
// (100, 100), radius 50, start 0 and span π/2.
class CircularArc : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfNextSf_;
    static constexpr std::uint64_t SfStartPointAdornment = 0x800;
    static constexpr std::uint64_t SfEndPointAdornment = 0x1000;
    static constexpr std::uint64_t SfCenterX = 0x40000;
    static constexpr std::uint64_t SfCenterY = 0x80000;
    static constexpr std::uint64_t SfRadius = 0x100000;
    static constexpr std::uint64_t SfAngleStart = 0x200000;
    static constexpr std::uint64_t SfAngleSpan = 0x400000;
    static constexpr std::uint64_t sfNextSf_ = 0x800000;

    explicit CircularArc(ObjectCreateAccessToken);

    double CenterX() const { return centerX_; }
    void setCenterX(double value);
    double CenterY() const { return centerY_; }
    void setCenterY(double value);
    // Never negative.
    double Radius() const { return radius_; }
    void setRadius(double value);
    double AngleStart() const { return angleStart_; }
    void setAngleStart(double value);
    double AngleSpan() const { return angleSpan_; }
    void setAngleSpan(double value);
    LineSegmentAdornmentConstants StartPointAdornment() const { return startPointAdornment_; }
    void setStartPointAdornment(LineSegmentAdornmentConstants value);
    LineSegmentAdornmentConstants EndPointAdornment() const { return endPointAdornment_; }
    void setEndPointAdornment(LineSegmentAdornmentConstants value);

    void SetCenterRadiusAngleStartAngleSpan(double centerX, double centerY, double radius, double angleStart,
                                            double angleSpan);
    void GetCenterRadiusAngleStartAngleSpan(double& centerX, double& centerY, double& radius, double& angleStart,
                                            double& angleSpan) const;

    std::shared_ptr<CircularArc> Copy(std::uint32_t copyShapeMode) const;
    // The image of the arc under a similarity (rotation, uniform scale, reflection,
    // translation; to a relative 1e-9): centre mapped, radius scaled, start mapped as a
    // direction, span reversed by a reflection. Any other transform makes an elliptic arc
    // and throws ShapeException.
    std::shared_ptr<CircularArc> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // the centre
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

private:
    friend class cereal::access;
    CircularArc() : CircularArc(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "CircularArc::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), centerX_, centerY_, radius_, angleStart_, angleSpan_,
           startPointAdornment_, endPointAdornment_);
        if constexpr (Archive::is_loading::value) {
            using namespace Private::ShapeArchive;
            CheckFinite(centerX_, "centre x", name);
            CheckFinite(centerY_, "centre y", name);
            CheckNonNegative(radius_, "radius", name);
            CheckFinite(angleStart_, "start angle", name);
            CheckFinite(angleSpan_, "angle span", name);
            CheckEnumRange(static_cast<std::int32_t>(startPointAdornment_), 0, 1, "start adornment", name);
            CheckEnumRange(static_cast<std::int32_t>(endPointAdornment_), 0, 1, "end adornment", name);
        }
    }

    double centerX_ = 100;
    double centerY_ = 100;
    double radius_ = 50;
    double angleStart_ = 0;
    double angleSpan_ = 1.5707963267948966;
    LineSegmentAdornmentConstants startPointAdornment_ = LineSegmentAdornmentConstants::None;
    LineSegmentAdornmentConstants endPointAdornment_ = LineSegmentAdornmentConstants::None;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::CircularArc, 1)
