// Conversion of the shape-to-shape distance tools: the base parts, then shape A and shape B
// under their names ("CircleA" and "CircleB", "Line" and "Circle", ...).
#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/DistanceSegmentSegmentTool.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;

template <class ShapeA, class ShapeB>
void Implementation::ShapePairDistanceTool<ShapeA, ShapeB>::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    a_ = FetchObject<ShapeA>(info, row_.a.name, context);
    b_ = FetchObject<ShapeB>(info, row_.b.name, context);
}

template void Implementation::ShapePairDistanceTool<Circle, Circle>::Orv9xConvert(long long, void*);
template void Implementation::ShapePairDistanceTool<Line, Circle>::Orv9xConvert(long long, void*);
template void Implementation::ShapePairDistanceTool<Line, Ellipse>::Orv9xConvert(long long, void*);
template void Implementation::ShapePairDistanceTool<LineSegment, Line>::Orv9xConvert(long long, void*);
template void Implementation::ShapePairDistanceTool<LineSegment, LineSegment>::Orv9xConvert(long long, void*);
template void Implementation::ShapePairDistanceTool<LineSegment, Circle>::Orv9xConvert(long long, void*);
template void Implementation::ShapePairDistanceTool<LineSegment, Ellipse>::Orv9xConvert(long long, void*);

[[maybe_unused]] const bool shapeShapeLegacyTypesRegistered = [] {
    Orv9xConverter::Register<DistanceCircleCircleTool>("DistanceCircleCircleTool");
    Orv9xConverter::Register<DistanceLineCircleTool>("DistanceLineCircleTool");
    Orv9xConverter::Register<DistanceLineEllipseTool>("DistanceLineEllipseTool");
    Orv9xConverter::Register<DistanceSegmentLineTool>("DistanceSegmentLineTool");
    Orv9xConverter::Register<DistanceSegmentSegmentTool>("DistanceSegmentSegmentTool");
    Orv9xConverter::Register<DistanceSegmentCircleTool>("DistanceSegmentCircleTool");
    Orv9xConverter::Register<DistanceSegmentEllipseTool>("DistanceSegmentEllipseTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
