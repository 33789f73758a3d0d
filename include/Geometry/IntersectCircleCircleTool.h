#pragma once
// The points where two circles cross: none, one where they touch, or two. Both are mapped
// into the input image's space first, where they are the ellipses the image sees; the count
// is the one the computation reports (up to four where a non-linear space bends the circles
// differently), and the tool keeps the first two points.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Circle.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectCircleCircle,
                                    (CircleA, 0x2)(CircleB, 0x4),
                                    (IntersectionPoints, 0x1),
                                    (CircleA, 0x10)(CircleB, 0x20))

class OSTREL_GEOMETRY_API IntersectCircleCircleTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectCircleCircle, Implementation::GeometryToolBase,
                         (CircleA)(CircleB)(NumPoints)(X0)(Y0)(X1)(Y1)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(Circle, CircleA, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Circle, CircleB, shapes_.b)
    OSTREL_GEOMETRY_TWO_POINT_OUTPUTS(result_)

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectCircleCircleTool, Circle, Circle,
                                           Implementation::TwoPointIntersection)
};

} // namespace Ostrel::Vision::Geometry
