#pragma once
// The points where a line crosses a circle: none, one where the line touches it, or two, in
// the order of the line's direction. Both shapes are mapped into the input image's space
// first, where the circle is the ellipse the image sees.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectLineCircle,
                                    (Line, 0x2)(Circle, 0x4),
                                    (IntersectionPoints, 0x1),
                                    (Line, 0x10)(Circle, 0x20))

class OSTREL_GEOMETRY_API IntersectLineCircleTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectLineCircle, Implementation::GeometryToolBase,
                         (Line)(InputCircle)(NumPoints)(X0)(Y0)(X1)(Y1)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(Line, Line, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Circle, InputCircle, shapes_.b)
    OSTREL_GEOMETRY_TWO_POINT_OUTPUTS(result_)

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectLineCircleTool, Line, Circle,
                                           Implementation::TwoPointIntersection)
};

} // namespace Ostrel::Vision::Geometry
