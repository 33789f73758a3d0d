#pragma once
// The angle that turns line A onto line B, both mapped into the input image's space first.
// The lines' crossing is kept to place the angle's arc in the last-run record; parallel
// lines have an angle too, but no arc.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(AngleLineLine,
                                    (LineA, 0x2)(LineB, 0x4),
                                    (None, 0x0),
                                    (LineA, 0x10)(LineB, 0x20)(LineLabels, 0x40))

namespace Implementation {
// The angle, and where the lines cross (numPoints 1), do not (0) or coincide (-1).
struct LineAngle {
    static constexpr std::array OutputPins{"Angle"};
    int numPoints;
    double angle, x, y;
    bool intersects;
};
} // namespace Implementation

class OSTREL_GEOMETRY_API AngleLineLineTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(AngleLineLine, Implementation::GeometryToolBase, (LineA)(LineB)(Angle))

    OSTREL_GEOMETRY_SHAPE_INPUT(Line, LineA, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Line, LineB, shapes_.b)
    // The output, in radians in [-π, π), positive towards increasing rotation; throws
    // ToolNoResultException until a run succeeds.
    double Angle() const { return Result(result_.angle); }

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(AngleLineLineTool, Line, Line, Implementation::LineAngle)
};

} // namespace Ostrel::Vision::Geometry
