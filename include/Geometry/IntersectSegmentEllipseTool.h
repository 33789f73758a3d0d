#pragma once
// The points where a segment crosses an ellipse, in order from the segment's start; an end
// point on the ellipse counts. Both shapes are mapped into the input image's space first.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectSegmentEllipse,
                                    (Segment, 0x2)(Ellipse, 0x4),
                                    (IntersectionPoints, 0x1),
                                    (Segment, 0x10)(Ellipse, 0x20))

class OSTREL_GEOMETRY_API IntersectSegmentEllipseTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectSegmentEllipse, Implementation::GeometryToolBase,
                         (Segment)(Ellipse)(NumPoints)(X0)(Y0)(X1)(Y1)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(LineSegment, Segment, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Ellipse, Ellipse, shapes_.b)
    OSTREL_GEOMETRY_TWO_POINT_OUTPUTS(result_)

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectSegmentEllipseTool, LineSegment, Ellipse,
                                           Implementation::TwoPointIntersection)
};

} // namespace Ostrel::Vision::Geometry
