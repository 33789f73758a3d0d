#pragma once
// The line through a point perpendicular to a given line, published as a tool output in the
// input image's space and drawn in the tool's output style. The point is a draggable
// marker whose coordinates are taken in the image's space; the line is mapped there.

#include <Geometry/Implementation/LineThroughPointTool.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateLinePerpendicular,
                                    (Point, 0x2)(Line, 0x4),
                                    (None, 0x0),
                                    (Point, 0x10)(Line, 0x20)(OutputLine, 0x40))

class OSTREL_GEOMETRY_API CreateLinePerpendicularTool
    : public Implementation::LineThroughPointTool<CreateLinePerpendicularTool> {
public:
    OSTREL_GEOMETRY_TOOL(CreateLinePerpendicular, Implementation::GeometryToolBaseOutputStyle, (X)(Y)(Line)(GetOutputLine))

    explicit CreateLinePerpendicularTool(ObjectCreateAccessToken);
    ~CreateLinePerpendicularTool() override;

private:
    CreateLinePerpendicularTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
