#pragma once
// The distance between a segment and an ellipse's outline, with the closest point on each.
// Both are mapped into the input image's space; a segment that touches or crosses the
// outline has distance 0.

#include <Geometry/Implementation/ShapePairDistanceTool.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistanceSegmentEllipse,
                                    (Segment, 0x2)(Ellipse, 0x4),
                                    (None, 0x0),
                                    (Segment, 0x10)(Ellipse, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistanceSegmentEllipseTool
    : public Implementation::ShapePairDistanceTool<LineSegment, Vision::Ellipse> {
public:
    OSTREL_GEOMETRY_TOOL(DistanceSegmentEllipse, Implementation::GeometryToolBase,
                         (Segment)(SegmentX)(SegmentY)(Ellipse)(Distance)(EllipseX)(EllipseY))

    explicit DistanceSegmentEllipseTool(ObjectCreateAccessToken);
    ~DistanceSegmentEllipseTool() override;

    const std::shared_ptr<LineSegment>& Segment() const { return a_; }
    void setSegment(const std::shared_ptr<LineSegment>& segment) { ChangeShape(a_, segment, SfSegment); }
    const std::shared_ptr<Vision::Ellipse>& Ellipse() const { return b_; }
    void setEllipse(const std::shared_ptr<Vision::Ellipse>& ellipse) { ChangeShape(b_, ellipse, SfEllipse); }

    // The closest points, in the input image's space.
    double SegmentX() const { return Closest(result_.aX); }
    double SegmentY() const { return Closest(result_.aY); }
    double EllipseX() const { return Closest(result_.bX); }
    double EllipseY() const { return Closest(result_.bY); }

private:
    DistanceSegmentEllipseTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
