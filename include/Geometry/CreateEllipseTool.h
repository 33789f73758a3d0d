#pragma once
// An ellipse placed by the user (or supplied through a pin) published as a tool output: a
// new ellipse per run, expressed in the input image's space and drawn in the tool's
// output style.

#include <Geometry/Implementation/PassThroughTool.h>
#include <Ostrel/Vision/Ellipse.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateEllipse, (Ellipse, 0x2), (None, 0x0), (Ellipse, 0x10))

class OSTREL_GEOMETRY_API CreateEllipseTool : public Implementation::PassThroughTool<Vision::Ellipse> {
public:
    OSTREL_GEOMETRY_TOOL(CreateEllipse, Implementation::GeometryToolBaseOutputStyle, (Ellipse)(GetOutputEllipse))

    explicit CreateEllipseTool(ObjectCreateAccessToken);
    ~CreateEllipseTool() override;

    const std::shared_ptr<Vision::Ellipse>& Ellipse() const { return shape_; }
    void setEllipse(const std::shared_ptr<Vision::Ellipse>& ellipse) { ChangeShape(shape_, ellipse, SfEllipse); }
    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<Vision::Ellipse> GetOutputEllipse() const { return Result(output_.shape); }

private:
    CreateEllipseTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
