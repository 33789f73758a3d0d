#pragma once
// A segment placed by the user (or supplied through a pin) published as a tool output: a
// new segment per run, expressed in the input image's space and drawn in the tool's
// output style.

#include <Geometry/Implementation/PassThroughTool.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateSegment, (Segment, 0x2), (None, 0x0), (Segment, 0x10))

class OSTREL_GEOMETRY_API CreateSegmentTool : public Implementation::PassThroughTool<LineSegment> {
public:
    OSTREL_GEOMETRY_TOOL(CreateSegment, Implementation::GeometryToolBaseOutputStyle, (Segment)(GetOutputSegment))

    explicit CreateSegmentTool(ObjectCreateAccessToken);
    ~CreateSegmentTool() override;

    const std::shared_ptr<LineSegment>& Segment() const { return shape_; }
    void setSegment(const std::shared_ptr<LineSegment>& segment) { ChangeShape(shape_, segment, SfSegment); }
    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<LineSegment> GetOutputSegment() const { return Result(output_.shape); }

private:
    CreateSegmentTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
