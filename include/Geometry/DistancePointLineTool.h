#pragma once
// The distance from a point to a line, and the foot of the perpendicular from the point on
// the line. The point is a draggable marker; the line is mapped into the input image's
// space.

#include <Geometry/Implementation/PointShapeDistanceTool.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistancePointLine,
                                    (Point, 0x2)(Line, 0x4),
                                    (None, 0x0),
                                    (Point, 0x10)(Line, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistancePointLineTool
    : public Implementation::PointShapeDistanceTool<DistancePointLineTool, Vision::Line> {
public:
    OSTREL_GEOMETRY_TOOL(DistancePointLine, Implementation::GeometryToolBase,
                         (X)(Y)(Line)(Distance)(LineX)(LineY))

    explicit DistancePointLineTool(ObjectCreateAccessToken);
    ~DistancePointLineTool() override;

    const std::shared_ptr<Vision::Line>& Line() const { return shape_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(shape_, line, SfLine); }

    // The foot of the perpendicular from (X, Y), in the input image's space.
    double LineX() const { return Result(result_.x); }
    double LineY() const { return Result(result_.y); }

private:
    DistancePointLineTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
