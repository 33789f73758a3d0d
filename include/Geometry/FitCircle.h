#pragma once
// Run parameters of a circle fit: at least three points, of which NumToIgnore may be left
// out, and optionally a fixed radius.

#include <memory>
#include <string>

#include <Geometry/FitCircleResult.h>
#include <Geometry/Implementation/FitBase.h>

namespace Ostrel::Vision::Geometry {

class OSTREL_GEOMETRY_API FitCircle : public Implementation::FitBase {
public:
    static constexpr std::uint64_t sf0_ = FitBase::sfNextSf_; // 0x10
    static constexpr std::uint64_t SfRadiusConstraintEnabled = sf0_;
    static constexpr std::uint64_t SfRadiusConstraint = sf0_ << 1;
    static constexpr std::uint64_t sfNextSf_ = sf0_ << 2; // 0x40

    explicit FitCircle(ObjectCreateAccessToken);
    ~FitCircle() override;

    // The radius the fit keeps when the constraint is enabled (default 1.0, disabled).
    // ArgumentOutOfRangeException for a negative radius, ArgumentException for one that is
    // not finite.
    double RadiusConstraint() const { return radiusConstraint_; }
    void setRadiusConstraint(double radius);
    bool RadiusConstraintEnabled() const { return radiusConstraintEnabled_; }
    void setRadiusConstraintEnabled(bool enabled);

    // As FitLine::Execute, with at least three points.
    std::shared_ptr<FitCircleResult> Execute(const std::string& spaceName) const;

    // The FitBase part, then "Radius" and "RadiusConstraintEnabled".
    void Orv9xConvert(long long handle, void* context) override;

private:
    FitCircle();

    double radiusConstraint_ = 1.0;
    bool radiusConstraintEnabled_ = false;

    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Implementation::FitBase)
};

} // namespace Ostrel::Vision::Geometry
