#pragma once
// The point where two lines cross, and the angle that turns line A onto line B. Both lines
// are mapped into the input image's space first. Parallel lines have no crossing but an
// angle; coinciding lines report -1 and no point.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectLineLine,
                                    (LineA, 0x2)(LineB, 0x4),
                                    (IntersectionPoint, 0x1),
                                    (LineA, 0x10)(LineB, 0x20))

class OSTREL_GEOMETRY_API IntersectLineLineTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectLineLine, Implementation::GeometryToolBase,
                         (LineA)(LineB)(NumPoints)(X)(Y)(Angle)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(Line, LineA, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Line, LineB, shapes_.b)
    OSTREL_GEOMETRY_ONE_POINT_OUTPUTS(result_)
    // Radians; readable after every successful run, also for parallel lines.
    double Angle() const { return Result(result_.angle); }

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectLineLineTool, Line, Line,
                                           Implementation::LineLineIntersection)
};

} // namespace Ostrel::Vision::Geometry
