// The three fits: the constraint setters and Execute, which runs one fit of the library.
//
// Every Execute prepares the library's parameters and result record first and registers the
// record's release in a clean-up list, so that the record is released exactly once: by
// the list once the result object is built, or by the guard when anything throws.
#include <cmath>
#include <numbers>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/StatusMapper.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Geometry {

namespace {

// A one-entry clean-up list of the library that releases a fit's result record.
class ScopedRecordRelease {
public:
    ScopedRecordRelease(void* record, kory_releaseFn release)
        : entry_{KORY_CLEANUP_ARMED, KORY_CLEANUP_RELEASE, record, release}
    {
    }
    ~ScopedRecordRelease() { kory_cleanupExecute_(&entry_, 1, KORM_S_OK, -1); }
    ScopedRecordRelease(const ScopedRecordRelease&) = delete;
    ScopedRecordRelease& operator=(const ScopedRecordRelease&) = delete;

    // Releases the record now; a failing release is thrown by the status mapper.
    void Execute() { ThrowOnFailedStatus(kory_cleanupExecute_(&entry_, 1, KORM_S_OK, -1)); }

private:
    kory_cleanupEntry entry_;
};

constexpr std::int32_t MinimumLinePoints = 2;
constexpr std::int32_t MinimumCirclePoints = 3;
constexpr std::int32_t MinimumEllipsePoints = 5;

void CheckFinite(double value, const char* name)
{
    if (!std::isfinite(value))
        throw ArgumentException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNotFinite_1, {name}));
}

} // namespace

// ---- FitLine ----

FitLine::FitLine(ObjectCreateAccessToken token) : FitBase(token) {}
FitLine::FitLine() : FitLine(MakeAccessToken()) {}
FitLine::~FitLine() = default;

std::shared_ptr<FitLineResult> FitLine::Execute(const std::string& spaceName) const
{
    korm_lineFitParams params;
    ThrowOnFailedStatus(korm_lineFitParams_init(&params));
    korm_lineFitResult fit;
    ThrowOnFailedStatus(korm_lineFitResult_construct(&fit));
    ScopedRecordRelease release(&fit, korm_lineFitResult_destruct);

    CheckFitInput(MinimumLinePoints, spaceName);
    params.numToIgnore = NumToIgnore();
    params.constraintEnabled = 0;
    auto points = GetPoints();
    ThrowOnFitStatus(korm_lineFit(points.data(), static_cast<std::int32_t>(points.size()), &params, &fit));

    std::shared_ptr<FitLineResult> result(
        new FitLineResult(MakeAccessToken(), fit, std::move(points), spaceName));
    release.Execute();
    return result;
}

// ---- FitCircle ----

FitCircle::FitCircle(ObjectCreateAccessToken token) : FitBase(token) {}
FitCircle::FitCircle() : FitCircle(MakeAccessToken()) {}
FitCircle::~FitCircle() = default;

void FitCircle::setRadiusConstraint(double radius)
{
    CheckFinite(radius, "RadiusConstraint");
    if (radius < 0)
        throw ArgumentOutOfRangeException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgGE_2, {"RadiusConstraint", "0"}));
    if (radius == radiusConstraint_)
        return;
    radiusConstraint_ = radius;
    OnChanged_(SfRadiusConstraint);
}

void FitCircle::setRadiusConstraintEnabled(bool enabled)
{
    if (enabled == radiusConstraintEnabled_)
        return;
    radiusConstraintEnabled_ = enabled;
    OnChanged_(SfRadiusConstraintEnabled);
}

std::shared_ptr<FitCircleResult> FitCircle::Execute(const std::string& spaceName) const
{
    korm_circleFitParams params;
    ThrowOnFailedStatus(korm_circleFitParams_init(&params));
    korm_circleFitResult fit;
    ThrowOnFailedStatus(korm_circleFitResult_construct(&fit));
    ScopedRecordRelease release(&fit, korm_circleFitResult_destruct);

    CheckFitInput(MinimumCirclePoints, spaceName);
    params.numToIgnore = NumToIgnore();
    params.constraintEnabled = radiusConstraintEnabled_ ? 1 : 0;
    params.constraintValue = radiusConstraint_;
    auto points = GetPoints();
    ThrowOnFitStatus(korm_circleFit(points.data(), static_cast<std::int32_t>(points.size()), &params, &fit));

    std::shared_ptr<FitCircleResult> result(
        new FitCircleResult(MakeAccessToken(), fit, std::move(points), spaceName));
    release.Execute();
    return result;
}

// ---- FitEllipse ----

FitEllipse::FitEllipse(ObjectCreateAccessToken token) : FitBase(token) {}
FitEllipse::FitEllipse() : FitEllipse(MakeAccessToken()) {}
FitEllipse::~FitEllipse() = default;

void FitEllipse::setRotationConstraint(double rotation)
{
    CheckFinite(rotation, "RotationConstraint");
    rotation = Vision::Private::NormalizeAngle(rotation);
    if (rotation == rotationConstraint_)
        return;
    rotationConstraint_ = rotation;
    OnChanged_(SfRotationConstraint);
}

void FitEllipse::setRotationConstraintEnabled(bool enabled)
{
    if (enabled == rotationConstraintEnabled_)
        return;
    rotationConstraintEnabled_ = enabled;
    OnChanged_(SfRotationConstraintEnabled);
}

// |cos d| > 0.5 exactly when d, taken modulo a half turn into [−π/2, π/2], lies within
// π/3 of zero. The test is made on that angle rather than on the cosine so that an axis
// exactly 60° away counts as across, as the rule says: the cosine of the rounded π/3 is a
// hair above 0.5. std::remainder is exact, so nothing else is lost.
bool FitEllipse::KeepsRadiusOrder(double fittedAngle, double rotationConstraint)
{
    return std::abs(std::remainder(fittedAngle - rotationConstraint, std::numbers::pi)) <
           std::numbers::pi / 3;
}

std::shared_ptr<FitEllipseResult> FitEllipse::Execute(const std::string& spaceName) const
{
    korm_ellipseFitParams params;
    ThrowOnFailedStatus(korm_ellipseFitParams_init(&params));
    korm_ellipseFitResult fit;
    ThrowOnFailedStatus(korm_ellipseFitResult_construct(&fit));
    ScopedRecordRelease release(&fit, korm_ellipseFitResult_destruct);

    CheckFitInput(MinimumEllipsePoints, spaceName);
    params.numToIgnore = NumToIgnore();
    params.constraintEnabled = rotationConstraintEnabled_ ? 1 : 0;
    params.constraintValue = rotationConstraint_;
    auto points = GetPoints();
    ThrowOnFitStatus(korm_ellipseFit(points.data(), static_cast<std::int32_t>(points.size()), &params, &fit));

    // A constrained fit reports the constraint as the rotation.
    double angle = 0;
    ThrowOnFailedStatus(korm_shapeEllipse_getAngle(&fit.ellipse, &angle));
    const double rotation = rotationConstraintEnabled_ ? rotationConstraint_ : angle;
    const bool keepRadiusOrder = !rotationConstraintEnabled_ || KeepsRadiusOrder(angle, rotationConstraint_);

    std::shared_ptr<FitEllipseResult> result(new FitEllipseResult(MakeAccessToken(), fit, std::move(points),
                                                                  spaceName, keepRadiusOrder, rotation));
    release.Execute();
    return result;
}

} // namespace Ostrel::Vision::Geometry
