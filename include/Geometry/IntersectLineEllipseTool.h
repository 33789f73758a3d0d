#pragma once
// The points where a line crosses an ellipse: none, one where the line touches it, or two, in
// the order of the line's direction. Both shapes are mapped into the input image's space
// first.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectLineEllipse,
                                    (Line, 0x2)(Ellipse, 0x4),
                                    (IntersectionPoints, 0x1),
                                    (Line, 0x10)(Ellipse, 0x20))

class OSTREL_GEOMETRY_API IntersectLineEllipseTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectLineEllipse, Implementation::GeometryToolBase,
                         (Line)(Ellipse)(NumPoints)(X0)(Y0)(X1)(Y1)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(Line, Line, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Ellipse, Ellipse, shapes_.b)
    OSTREL_GEOMETRY_TWO_POINT_OUTPUTS(result_)

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectLineEllipseTool, Line, Ellipse,
                                           Implementation::TwoPointIntersection)
};

} // namespace Ostrel::Vision::Geometry
