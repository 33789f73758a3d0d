#pragma once
// Run parameters of an ellipse fit: at least five points, of which NumToIgnore may be left
// out, and optionally a fixed rotation.

#include <memory>
#include <string>

#include <Geometry/FitEllipseResult.h>
#include <Geometry/Implementation/FitBase.h>

namespace Ostrel::Vision::Geometry {

class OSTREL_GEOMETRY_API FitEllipse : public Implementation::FitBase {
public:
    static constexpr std::uint64_t sf0_ = FitBase::sfNextSf_; // 0x10
    static constexpr std::uint64_t SfRotationConstraintEnabled = sf0_;
    static constexpr std::uint64_t SfRotationConstraint = sf0_ << 1;
    static constexpr std::uint64_t sfNextSf_ = sf0_ << 2; // 0x40

    explicit FitEllipse(ObjectCreateAccessToken);
    ~FitEllipse() override;

    // The rotation (radians) of the X axis the fit keeps when the constraint is enabled
    // (default 0, disabled). Stored brought into (−π, π]; ArgumentException for a value
    // that is not finite.
    double RotationConstraint() const { return rotationConstraint_; }
    void setRotationConstraint(double rotation);
    bool RotationConstraintEnabled() const { return rotationConstraintEnabled_; }
    void setRotationConstraintEnabled(bool enabled);

    // As FitLine::Execute, with at least five points. With the rotation constraint the
    // result's rotation is the constraint, and its radii are exchanged unless the fitted
    // X axis lies within 60° of that direction (|cos| > 0.5).
    std::shared_ptr<FitEllipseResult> Execute(const std::string& spaceName) const;

    // Whether a constrained result keeps the library's radius order: the fitted X axis
    // (at `fittedAngle`) lies nearer the constraint's direction than 60° (|cos| > 0.5);
    // otherwise it lies across it and the radii are exchanged.
    static bool KeepsRadiusOrder(double fittedAngle, double rotationConstraint);

    // The FitBase part, then "Rotation" and "RotationConstraintEnabled".
    void Orv9xConvert(long long handle, void* context) override;

private:
    FitEllipse();

    double rotationConstraint_ = 0.0;
    bool rotationConstraintEnabled_ = false;

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Implementation::FitBase)
};

} // namespace Ostrel::Vision::Geometry
