#pragma once
// The distance from a point to a segment, and the point of the segment closest to it (an
// end point when the foot of the perpendicular falls beyond the segment). The point is a
// draggable marker; the segment is mapped into the input image's space.

#include <Geometry/Implementation/PointShapeDistanceTool.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistancePointSegment,
                                    (Point, 0x2)(Segment, 0x4),
                                    (None, 0x0),
                                    (Point, 0x10)(Segment, 0x20)(Arrow, 0x40))

// Its closest-point flags come before the distance's.
class OSTREL_GEOMETRY_API DistancePointSegmentTool
    : public Implementation::PointShapeDistanceTool<DistancePointSegmentTool, LineSegment> {
public:
    OSTREL_GEOMETRY_TOOL(DistancePointSegment, Implementation::GeometryToolBase,
                         (X)(Y)(Segment)(SegmentX)(SegmentY)(Distance))

    explicit DistancePointSegmentTool(ObjectCreateAccessToken);
    ~DistancePointSegmentTool() override;

    const std::shared_ptr<LineSegment>& Segment() const { return shape_; }
    void setSegment(const std::shared_ptr<LineSegment>& segment) { ChangeShape(shape_, segment, SfSegment); }

    // The point of the segment closest to (X, Y), in the input image's space.
    double SegmentX() const { return Result(result_.x); }
    double SegmentY() const { return Result(result_.y); }

private:
    DistancePointSegmentTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
