#pragma once
// The distance from a point to a circle, and the point of the circle closest to it. The
// point is a draggable marker; the circle is mapped into the input image's space, where it
// is measured as the ellipse the image sees.

#include <Geometry/Implementation/PointShapeDistanceTool.h>
#include <Ostrel/Vision/Circle.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistancePointCircle,
                                    (Point, 0x2)(Circle, 0x4),
                                    (None, 0x0),
                                    (Point, 0x10)(Circle, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistancePointCircleTool
    : public Implementation::PointShapeDistanceTool<DistancePointCircleTool, Circle> {
public:
    OSTREL_GEOMETRY_TOOL(DistancePointCircle, Implementation::GeometryToolBase,
                         (X)(Y)(InputCircle)(Distance)(CircleX)(CircleY))

    explicit DistancePointCircleTool(ObjectCreateAccessToken);
    ~DistancePointCircleTool() override;

    const std::shared_ptr<Circle>& InputCircle() const { return shape_; }
    void setInputCircle(const std::shared_ptr<Circle>& circle) { ChangeShape(shape_, circle, SfInputCircle); }

    // The point of the circle's outline closest to (X, Y), in the input image's space.
    double CircleX() const { return Result(result_.x); }
    double CircleY() const { return Result(result_.y); }

private:
    DistancePointCircleTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
