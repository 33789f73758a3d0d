#pragma once
// The distance between a segment and a line: the end point of the segment nearer the line
// (the end point on a tie, as for a parallel segment) and its foot on the line. Both are
// mapped into the input image's space; a segment that touches or crosses the line has
// distance 0.

#include <Geometry/Implementation/ShapePairDistanceTool.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistanceSegmentLine,
                                    (Segment, 0x2)(Line, 0x4),
                                    (None, 0x0),
                                    (Segment, 0x10)(Line, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistanceSegmentLineTool
    : public Implementation::ShapePairDistanceTool<LineSegment, Vision::Line> {
public:
    OSTREL_GEOMETRY_TOOL(DistanceSegmentLine, Implementation::GeometryToolBase,
                         (Segment)(SegmentX)(SegmentY)(Line)(Distance)(LineX)(LineY))

    explicit DistanceSegmentLineTool(ObjectCreateAccessToken);
    ~DistanceSegmentLineTool() override;

    const std::shared_ptr<LineSegment>& Segment() const { return a_; }
    void setSegment(const std::shared_ptr<LineSegment>& segment) { ChangeShape(a_, segment, SfSegment); }
    const std::shared_ptr<Vision::Line>& Line() const { return b_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(b_, line, SfLine); }

    // The closest points, in the input image's space.
    double SegmentX() const { return Closest(result_.aX); }
    double SegmentY() const { return Closest(result_.aY); }
    double LineX() const { return Closest(result_.bX); }
    double LineY() const { return Closest(result_.bY); }

private:
    DistanceSegmentLineTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
