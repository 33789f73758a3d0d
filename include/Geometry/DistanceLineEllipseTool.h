#pragma once
// The distance between a line and an ellipse's outline, with the closest point on each. Both
// are mapped into the input image's space; a line that touches or crosses the ellipse has
// distance 0.

#include <Geometry/Implementation/ShapePairDistanceTool.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistanceLineEllipse,
                                    (Line, 0x2)(Ellipse, 0x4),
                                    (None, 0x0),
                                    (Line, 0x10)(Ellipse, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistanceLineEllipseTool
    : public Implementation::ShapePairDistanceTool<Vision::Line, Vision::Ellipse> {
public:
    OSTREL_GEOMETRY_TOOL(DistanceLineEllipse, Implementation::GeometryToolBase,
                         (Line)(Ellipse)(EllipseX)(EllipseY)(LineX)(LineY)(Distance))

    explicit DistanceLineEllipseTool(ObjectCreateAccessToken);
    ~DistanceLineEllipseTool() override;

    const std::shared_ptr<Vision::Line>& Line() const { return a_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(a_, line, SfLine); }
    const std::shared_ptr<Vision::Ellipse>& Ellipse() const { return b_; }
    void setEllipse(const std::shared_ptr<Vision::Ellipse>& ellipse) { ChangeShape(b_, ellipse, SfEllipse); }

    // The closest points, in the input image's space.
    double LineX() const { return Closest(result_.aX); }
    double LineY() const { return Closest(result_.aY); }
    double EllipseX() const { return Closest(result_.bX); }
    double EllipseY() const { return Closest(result_.bY); }

private:
    DistanceLineEllipseTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
