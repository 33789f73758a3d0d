#pragma once
// The distance between a segment and a circle's outline, with the closest point on each.
// Both are mapped into the input image's space, where the circle is measured as the ellipse
// the image sees; a segment that touches or crosses the outline has distance 0.

#include <Geometry/Implementation/ShapePairDistanceTool.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistanceSegmentCircle,
                                    (Segment, 0x2)(Circle, 0x4),
                                    (None, 0x0),
                                    (Segment, 0x10)(Circle, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistanceSegmentCircleTool
    : public Implementation::ShapePairDistanceTool<LineSegment, Circle> {
public:
    OSTREL_GEOMETRY_TOOL(DistanceSegmentCircle, Implementation::GeometryToolBase,
                         (Segment)(SegmentX)(SegmentY)(InputCircle)(Distance)(CircleX)(CircleY))

    explicit DistanceSegmentCircleTool(ObjectCreateAccessToken);
    ~DistanceSegmentCircleTool() override;

    const std::shared_ptr<LineSegment>& Segment() const { return a_; }
    void setSegment(const std::shared_ptr<LineSegment>& segment) { ChangeShape(a_, segment, SfSegment); }
    const std::shared_ptr<Circle>& InputCircle() const { return b_; }
    void setInputCircle(const std::shared_ptr<Circle>& inputCircle) { ChangeShape(b_, inputCircle, SfInputCircle); }

    // The closest points, in the input image's space.
    double SegmentX() const { return Closest(result_.aX); }
    double SegmentY() const { return Closest(result_.aY); }
    double CircleX() const { return Closest(result_.bX); }
    double CircleY() const { return Closest(result_.bY); }

private:
    DistanceSegmentCircleTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
