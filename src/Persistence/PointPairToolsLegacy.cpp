// Conversion of the point-pair tools: the base parts, then the two markers, which replace
// the tool's own (a reference to an object of another kind keeps the tool's marker and is
// logged, since a tool cannot work without its markers).
#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;

namespace {

void ReplaceMarker(const ObjectInfo& info, const char* name, void* context, std::shared_ptr<PointMarker>& marker)
{
    if (auto converted = FetchObject<PointMarker>(info, name, context))
        marker = std::move(converted);
    else
        info.Log(LogHeaderConstants::Warning,
                 std::string("The property holds no point marker; the tool keeps its own, error for field: ") + name);
}

} // namespace

void DistancePointPointTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    DisconnectStartPointEvents();
    DisconnectEndPointEvents();
    ReplaceMarker(info, "StartPoint", context, startPoint_);
    ReplaceMarker(info, "EndPoint", context, endPoint_);
    OnFinalConstruct();
}

void AnglePointPointTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    DisconnectStartPointEvents();
    DisconnectEndPointEvents();
    ReplaceMarker(info, "StartPoint", context, startPoint_);
    ReplaceMarker(info, "EndPoint", context, endPoint_);
    OnFinalConstruct();
}

// The legacy type names of the tools, registered when the library is loaded.
[[maybe_unused]] const bool legacyTypesRegistered = [] {
    Orv9xConverter::Register<DistancePointPointTool>("DistancePointPointTool");
    Orv9xConverter::Register<AnglePointPointTool>("AnglePointPointTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
