#pragma once
// The distance between two circles' outlines and the closest point on each. Both circles
// are mapped into the input image's space, where each is measured as the ellipse the image
// sees; circles that touch or cross have distance 0.

#include <Geometry/Implementation/ShapePairDistanceTool.h>
#include <Ostrel/Vision/Circle.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistanceCircleCircle,
                                    (CircleA, 0x2)(CircleB, 0x4),
                                    (None, 0x0),
                                    (CircleA, 0x10)(CircleB, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistanceCircleCircleTool
    : public Implementation::ShapePairDistanceTool<Circle, Circle> {
public:
    OSTREL_GEOMETRY_TOOL(DistanceCircleCircle, Implementation::GeometryToolBase,
                         (CircleA)(CircleB)(CircleAX)(CircleAY)(CircleBX)(CircleBY)(Distance))

    explicit DistanceCircleCircleTool(ObjectCreateAccessToken);
    ~DistanceCircleCircleTool() override;

    const std::shared_ptr<Circle>& CircleA() const { return a_; }
    void setCircleA(const std::shared_ptr<Circle>& circleA) { ChangeShape(a_, circleA, SfCircleA); }
    const std::shared_ptr<Circle>& CircleB() const { return b_; }
    void setCircleB(const std::shared_ptr<Circle>& circleB) { ChangeShape(b_, circleB, SfCircleB); }

    // The closest points, in the input image's space.
    double CircleAX() const { return Closest(result_.aX); }
    double CircleAY() const { return Closest(result_.aY); }
    double CircleBX() const { return Closest(result_.bX); }
    double CircleBY() const { return Closest(result_.bY); }

private:
    DistanceCircleCircleTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
