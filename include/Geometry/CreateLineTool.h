#pragma once
// A line placed by the user (or supplied through a pin) published as a tool output: a
// new line per run, expressed in the input image's space and drawn in the tool's
// output style.

#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateLine, (Line, 0x2), (None, 0x0), (Line, 0x10))

class OSTREL_GEOMETRY_API CreateLineTool : public Implementation::GeometryToolBaseOutputStyle {
public:
    OSTREL_GEOMETRY_TOOL(CreateLine, Implementation::GeometryToolBaseOutputStyle, (Line)(GetOutputLine))

    explicit CreateLineTool(ObjectCreateAccessToken);
    ~CreateLineTool() override;

    const std::shared_ptr<Vision::Line>& Line() const { return line_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(line_, line, SfLine); }

    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<Vision::Line> GetOutputLine() const { return Result(output_.shape); }

    // The base parts, then "InputLine".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    CreateLineTool();

    std::shared_ptr<Vision::Line> line_;
    ShapeOutput<Vision::Line> output_;

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
