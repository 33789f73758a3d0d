#pragma once
// The point where two segments meet, touching end points included. Both segments are mapped
// into the input image's space first. Segments overlapping along a stretch report -1 and no
// point.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectSegmentSegment,
                                    (SegmentA, 0x2)(SegmentB, 0x4),
                                    (IntersectionPoint, 0x1),
                                    (SegmentA, 0x10)(SegmentB, 0x20))

class OSTREL_GEOMETRY_API IntersectSegmentSegmentTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectSegmentSegment, Implementation::GeometryToolBase,
                         (SegmentA)(SegmentB)(NumPoints)(X)(Y)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(LineSegment, SegmentA, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(LineSegment, SegmentB, shapes_.b)
    OSTREL_GEOMETRY_ONE_POINT_OUTPUTS(result_)

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectSegmentSegmentTool, LineSegment, LineSegment,
                                           Implementation::OnePointIntersection)
};

} // namespace Ostrel::Vision::Geometry
