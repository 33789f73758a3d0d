// Conversion of the construction tools: the output-style base parts, then each input shape
// or point under its legacy name.
#include <Geometry/CreateCircleTool.h>
#include <Geometry/CreateEllipseTool.h>
#include <Geometry/CreateLineBisectPointsTool.h>
#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/CreateLineTool.h>
#include <Geometry/CreateSegmentAvgSegsTool.h>
#include <Geometry/CreateSegmentTool.h>

#include "LegacySupport.h"

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;
using Persistence::ConvertMarker;

template <class Shape>
void Implementation::PassThroughTool<Shape>::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBaseOutputStyle::Orv9xConvert(handle, context);
    shape_ = FetchObject<Shape>(info, row_.legacyName, context);
}

template void Implementation::PassThroughTool<LineSegment>::Orv9xConvert(long long, void*);
template void Implementation::PassThroughTool<Line>::Orv9xConvert(long long, void*);
template void Implementation::PassThroughTool<Circle>::Orv9xConvert(long long, void*);
template void Implementation::PassThroughTool<Ellipse>::Orv9xConvert(long long, void*);

template <class Tool>
void Implementation::LineThroughPointTool<Tool>::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBaseOutputStyle::Orv9xConvert(handle, context);
    line_ = FetchObject<Vision::Line>(info, "Line", context);
    ConvertMarker(info, "Point", context, point_);
}

template void Implementation::LineThroughPointTool<CreateLineParallelTool>::Orv9xConvert(long long, void*);
template void Implementation::LineThroughPointTool<CreateLinePerpendicularTool>::Orv9xConvert(long long, void*);

void CreateLineBisectPointsTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBaseOutputStyle::Orv9xConvert(handle, context);
    ConvertMarker(info, "StartPoint", context, start_);
    ConvertMarker(info, "EndPoint", context, end_);
}

void CreateSegmentAvgSegsTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBaseOutputStyle::Orv9xConvert(handle, context);
    segmentA_ = FetchObject<LineSegment>(info, "SegmentA", context);
    segmentB_ = FetchObject<LineSegment>(info, "SegmentB", context);
}

[[maybe_unused]] const bool constructionLegacyTypesRegistered = [] {
    Orv9xConverter::Register<CreateSegmentTool>("CreateSegmentTool");
    Orv9xConverter::Register<CreateLineTool>("CreateLineTool");
    Orv9xConverter::Register<CreateCircleTool>("CreateCircleTool");
    Orv9xConverter::Register<CreateEllipseTool>("CreateEllipseTool");
    Orv9xConverter::Register<CreateLineParallelTool>("CreateLineParallelTool");
    Orv9xConverter::Register<CreateLinePerpendicularTool>("CreateLinePerpendicularTool");
    Orv9xConverter::Register<CreateLineBisectPointsTool>("CreateLineBisectPointsTool");
    Orv9xConverter::Register<CreateSegmentAvgSegsTool>("CreateSegmentAvgSegsTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
