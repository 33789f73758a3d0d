#pragma once
// The distance between a line and a circle's outline, with the closest point on each. Both
// are mapped into the input image's space, where the circle is measured as the ellipse the
// image sees; a line that touches or crosses the circle has distance 0.

#include <Geometry/Implementation/ShapePairDistanceTool.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistanceLineCircle,
                                    (Line, 0x2)(Circle, 0x4),
                                    (None, 0x0),
                                    (Line, 0x10)(Circle, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistanceLineCircleTool
    : public Implementation::ShapePairDistanceTool<Vision::Line, Circle> {
public:
    OSTREL_GEOMETRY_TOOL(DistanceLineCircle, Implementation::GeometryToolBase,
                         (Line)(InputCircle)(CircleX)(CircleY)(LineX)(LineY)(Distance))

    explicit DistanceLineCircleTool(ObjectCreateAccessToken);
    ~DistanceLineCircleTool() override;

    const std::shared_ptr<Vision::Line>& Line() const { return a_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(a_, line, SfLine); }
    const std::shared_ptr<Circle>& InputCircle() const { return b_; }
    void setInputCircle(const std::shared_ptr<Circle>& inputCircle) { ChangeShape(b_, inputCircle, SfInputCircle); }

    // The closest points, in the input image's space.
    double LineX() const { return Closest(result_.aX); }
    double LineY() const { return Closest(result_.aY); }
    double CircleX() const { return Closest(result_.bX); }
    double CircleY() const { return Closest(result_.bY); }

private:
    DistanceLineCircleTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
