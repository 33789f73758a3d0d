#pragma once
// A line placed by the user (or supplied through a pin) published as a tool output: a
// new line per run, expressed in the input image's space and drawn in the tool's
// output style.

#include <Geometry/Implementation/PassThroughTool.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateLine, (Line, 0x2), (None, 0x0), (Line, 0x10))

class OSTREL_GEOMETRY_API CreateLineTool : public Implementation::PassThroughTool<Vision::Line> {
public:
    OSTREL_GEOMETRY_TOOL(CreateLine, Implementation::GeometryToolBaseOutputStyle, (Line)(GetOutputLine))

    explicit CreateLineTool(ObjectCreateAccessToken);
    ~CreateLineTool() override;

    const std::shared_ptr<Vision::Line>& Line() const { return shape_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(shape_, line, SfLine); }
    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<Vision::Line> GetOutputLine() const { return Result(output_.shape); }

private:
    CreateLineTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
