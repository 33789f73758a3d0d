#pragma once
// A circle placed by the user (or supplied through a pin) published as a tool output: a
// new circle per run, expressed in the input image's space and drawn in the tool's
// output style. A space whose mapping would stretch the circle into an ellipse (radii
// differing by more than one part in 10^5) fails the run with ArgumentException.

#include <Geometry/Implementation/PassThroughTool.h>
#include <Ostrel/Vision/Circle.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateCircle, (Circle, 0x2), (None, 0x0), (Circle, 0x10))

class OSTREL_GEOMETRY_API CreateCircleTool : public Implementation::PassThroughTool<Vision::Circle> {
public:
    OSTREL_GEOMETRY_TOOL(CreateCircle, Implementation::GeometryToolBaseOutputStyle, (Circle)(GetOutputCircle))

    explicit CreateCircleTool(ObjectCreateAccessToken);
    ~CreateCircleTool() override;

    const std::shared_ptr<Vision::Circle>& Circle() const { return shape_; }
    void setCircle(const std::shared_ptr<Vision::Circle>& circle) { ChangeShape(shape_, circle, SfCircle); }
    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<Vision::Circle> GetOutputCircle() const { return Result(output_.shape); }

private:
    CreateCircleTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
