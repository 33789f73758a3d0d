// Conversion of the point-to-shape distance tools: the base parts, then the point marker
// "Point" and the shape under its own name ("Circle", "Line", "Segment", "Ellipse").
#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/DistancePointLineTool.h>
#include <Geometry/DistancePointSegmentTool.h>

#include "LegacySupport.h"

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;

template <class Tool, class Shape>
void Implementation::PointShapeDistanceTool<Tool, Shape>::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    Persistence::ConvertMarker(info, "Point", context, point_);
    shape_ = FetchObject<Shape>(info, row_.shapeName, context);
}

template void Implementation::PointShapeDistanceTool<DistancePointCircleTool, Circle>::Orv9xConvert(long long, void*);
template void Implementation::PointShapeDistanceTool<DistancePointLineTool, Line>::Orv9xConvert(long long, void*);
template void Implementation::PointShapeDistanceTool<DistancePointSegmentTool, LineSegment>::Orv9xConvert(long long,
                                                                                                          void*);
template void Implementation::PointShapeDistanceTool<DistancePointEllipseTool, Ellipse>::Orv9xConvert(long long,
                                                                                                      void*);

[[maybe_unused]] const bool pointShapeLegacyTypesRegistered = [] {
    Orv9xConverter::Register<DistancePointCircleTool>("DistancePointCircleTool");
    Orv9xConverter::Register<DistancePointLineTool>("DistancePointLineTool");
    Orv9xConverter::Register<DistancePointSegmentTool>("DistancePointSegmentTool");
    Orv9xConverter::Register<DistancePointEllipseTool>("DistancePointEllipseTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
