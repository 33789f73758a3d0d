// Conversion of the intersection tools and the line-angle tool: the base parts, then the two
// shapes under their legacy names (plain object fetches: a missing name stops the
// conversion, an object of another type leaves the shape null).
#include <Geometry/AngleLineLineTool.h>
#include <Geometry/IntersectCircleCircleTool.h>
#include <Geometry/IntersectLineCircleTool.h>
#include <Geometry/IntersectLineEllipseTool.h>
#include <Geometry/IntersectLineLineTool.h>
#include <Geometry/IntersectSegmentCircleTool.h>
#include <Geometry/IntersectSegmentEllipseTool.h>
#include <Geometry/IntersectSegmentLineTool.h>
#include <Geometry/IntersectSegmentSegmentTool.h>

#include "LegacySupport.h"

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;

#define OSTREL_GEOMETRY_INTERSECTION_LEGACY(Tool, legacyA, legacyB)                                          \
    void Tool::Orv9xConvert(long long handle, void* context)                                                 \
    {                                                                                                        \
        const ObjectInfo& info = LookUpObjectInfo(context, handle);                                          \
        GeometryToolBase::Orv9xConvert(handle, context);                                                     \
        shapes_.a = FetchObject<decltype(shapes_)::ShapeA>(info, legacyA, context);                          \
        shapes_.b = FetchObject<decltype(shapes_)::ShapeB>(info, legacyB, context);                          \
    }

OSTREL_GEOMETRY_INTERSECTION_LEGACY(AngleLineLineTool, "LineA", "LineB")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectCircleCircleTool, "CircleA", "CircleB")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectLineCircleTool, "Line", "Circle")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectLineEllipseTool, "Line", "Ellipse")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectLineLineTool, "LineA", "LineB")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectSegmentCircleTool, "Segment", "Circle")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectSegmentEllipseTool, "Segment", "Ellipse")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectSegmentLineTool, "Segment", "Line")
OSTREL_GEOMETRY_INTERSECTION_LEGACY(IntersectSegmentSegmentTool, "SegmentA", "SegmentB")

[[maybe_unused]] const bool intersectionLegacyTypesRegistered = [] {
    Orv9xConverter::Register<AngleLineLineTool>("AngleLineLineTool");
    Orv9xConverter::Register<IntersectCircleCircleTool>("IntersectCircleCircleTool");
    Orv9xConverter::Register<IntersectLineCircleTool>("IntersectLineCircleTool");
    Orv9xConverter::Register<IntersectLineEllipseTool>("IntersectLineEllipseTool");
    Orv9xConverter::Register<IntersectLineLineTool>("IntersectLineLineTool");
    Orv9xConverter::Register<IntersectSegmentCircleTool>("IntersectSegmentCircleTool");
    Orv9xConverter::Register<IntersectSegmentEllipseTool>("IntersectSegmentEllipseTool");
    Orv9xConverter::Register<IntersectSegmentLineTool>("IntersectSegmentLineTool");
    Orv9xConverter::Register<IntersectSegmentSegmentTool>("IntersectSegmentSegmentTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
