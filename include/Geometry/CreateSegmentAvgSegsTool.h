#pragma once
// The segment averaged from two segments (start with start, end with end, as given),
// published as a tool output in the input image's space and drawn in the tool's output
// style. Both segments are mapped into the image's space first.

#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateSegmentAvgSegs,
                                    (SegmentA, 0x2)(SegmentB, 0x4),
                                    (None, 0x0),
                                    (SegmentA, 0x10)(SegmentB, 0x20)(OutputSegment, 0x40))

class OSTREL_GEOMETRY_API CreateSegmentAvgSegsTool : public Implementation::GeometryToolBaseOutputStyle {
public:
    OSTREL_GEOMETRY_TOOL(CreateSegmentAvgSegs, Implementation::GeometryToolBaseOutputStyle,
                         (SegmentA)(SegmentB)(GetOutputSegment))

    explicit CreateSegmentAvgSegsTool(ObjectCreateAccessToken);
    ~CreateSegmentAvgSegsTool() override;

    const std::shared_ptr<LineSegment>& SegmentA() const { return segmentA_; }
    const std::shared_ptr<LineSegment>& SegmentB() const { return segmentB_; }
    void setSegmentA(const std::shared_ptr<LineSegment>& segment) { ChangeShape(segmentA_, segment, SfSegmentA); }
    void setSegmentB(const std::shared_ptr<LineSegment>& segment) { ChangeShape(segmentB_, segment, SfSegmentB); }

    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<LineSegment> GetOutputSegment() const { return Result(output_.shape); }

    // The base parts, then "SegmentA" and "SegmentB".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    CreateSegmentAvgSegsTool();

    std::shared_ptr<LineSegment> segmentA_;
    std::shared_ptr<LineSegment> segmentB_;
    struct {
        std::shared_ptr<LineSegment> a, b;
    } copies_;
    ShapeOutput<LineSegment> output_;

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
