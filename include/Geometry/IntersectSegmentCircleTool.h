#pragma once
// The points where a segment crosses a circle, in order from the segment's start; an end
// point on the circle counts. Both shapes are mapped into the input image's space first,
// where the circle is the ellipse the image sees.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectSegmentCircle,
                                    (Segment, 0x2)(Circle, 0x4),
                                    (IntersectionPoints, 0x1),
                                    (Segment, 0x10)(Circle, 0x20))

class OSTREL_GEOMETRY_API IntersectSegmentCircleTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectSegmentCircle, Implementation::GeometryToolBase,
                         (Segment)(InputCircle)(NumPoints)(X0)(Y0)(X1)(Y1)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(LineSegment, Segment, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Circle, InputCircle, shapes_.b)
    OSTREL_GEOMETRY_TWO_POINT_OUTPUTS(result_)

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectSegmentCircleTool, LineSegment, Circle,
                                           Implementation::TwoPointIntersection)
};

} // namespace Ostrel::Vision::Geometry
