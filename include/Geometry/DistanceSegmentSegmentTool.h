#pragma once
// The distance between two segments and the closest point on each: the nearest of the
// end-point candidates A's start and end against B, then B's start and end against A, the
// earlier one winning a tie. Both are mapped into the input image's space; segments that
// touch or cross have distance 0.

#include <Geometry/Implementation/ShapePairDistanceTool.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistanceSegmentSegment,
                                    (SegmentA, 0x2)(SegmentB, 0x4),
                                    (None, 0x0),
                                    (SegmentA, 0x10)(SegmentB, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistanceSegmentSegmentTool
    : public Implementation::ShapePairDistanceTool<LineSegment, LineSegment> {
public:
    OSTREL_GEOMETRY_TOOL(DistanceSegmentSegment, Implementation::GeometryToolBase,
                         (SegmentA)(SegmentB)(SegmentAX)(SegmentAY)(SegmentBX)(SegmentBY)(Distance))

    explicit DistanceSegmentSegmentTool(ObjectCreateAccessToken);
    ~DistanceSegmentSegmentTool() override;

    const std::shared_ptr<LineSegment>& SegmentA() const { return a_; }
    void setSegmentA(const std::shared_ptr<LineSegment>& segmentA) { ChangeShape(a_, segmentA, SfSegmentA); }
    const std::shared_ptr<LineSegment>& SegmentB() const { return b_; }
    void setSegmentB(const std::shared_ptr<LineSegment>& segmentB) { ChangeShape(b_, segmentB, SfSegmentB); }

    // The closest points, in the input image's space.
    double SegmentAX() const { return Closest(result_.aX); }
    double SegmentAY() const { return Closest(result_.aY); }
    double SegmentBX() const { return Closest(result_.bX); }
    double SegmentBY() const { return Closest(result_.bY); }

private:
    DistanceSegmentSegmentTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
