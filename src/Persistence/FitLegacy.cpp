// Conversion of the fit parameters from archives of the previous product generation. The
// values go through the public setters, so a legacy value passes the checks a host's value
// does (a negative count, NumToIgnore or radius is refused with the setter's exception).
#include <stdexcept>
#include <string>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;

void Implementation::FitBase::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    const auto count = FetchValue<std::int32_t>(info, "PointsCount");
    // Two properties per point: a larger count cannot be followed, and resizing to it first
    // could ask for more memory than the table could ever fill.
    if (count > 0 && static_cast<std::size_t>(count) > info.Properties().size() / 2)
        throw std::runtime_error("Bad Fetch, \"PointsCount\" of " + info.Description() + " is " +
                                 std::to_string(count) + ", more points than the object holds");
    setNumPoints(count);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string prefix = "Points" + std::to_string(i);
        SetPoint(i, FetchValue<double>(info, prefix + ".X"), FetchValue<double>(info, prefix + ".Y"));
    }
    setNumToIgnore(FetchValue<std::int32_t>(info, "NumToIgnore"));
}

void FitCircle::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    FitBase::Orv9xConvert(handle, context);
    setRadiusConstraint(FetchValue<double>(info, "Radius"));
    setRadiusConstraintEnabled(FetchValue<bool>(info, "RadiusConstraintEnabled"));
}

void FitEllipse::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    FitBase::Orv9xConvert(handle, context);
    setRotationConstraint(FetchValue<double>(info, "Rotation"));
    setRotationConstraintEnabled(FetchValue<bool>(info, "RotationConstraintEnabled"));
}

// The legacy type names of the fit parameters, registered when the library is loaded.
[[maybe_unused]] const bool fitLegacyTypesRegistered = [] {
    Orv9xConverter::Register<FitLine>("FitLine");
    Orv9xConverter::Register<FitCircle>("FitCircle");
    Orv9xConverter::Register<FitEllipse>("FitEllipse");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
