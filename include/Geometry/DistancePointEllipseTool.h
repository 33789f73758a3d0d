#pragma once
// The distance from a point to an ellipse's outline, and the point of the outline closest
// to it. The point is a draggable marker; the ellipse is mapped into the input image's
// space.

#include <Geometry/Implementation/PointShapeDistanceTool.h>
#include <Ostrel/Vision/Ellipse.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistancePointEllipse,
                                    (Point, 0x2)(Ellipse, 0x4),
                                    (None, 0x0),
                                    (Point, 0x10)(Ellipse, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistancePointEllipseTool
    : public Implementation::PointShapeDistanceTool<DistancePointEllipseTool, Vision::Ellipse> {
public:
    OSTREL_GEOMETRY_TOOL(DistancePointEllipse, Implementation::GeometryToolBase,
                         (X)(Y)(Ellipse)(Distance)(EllipseX)(EllipseY))

    explicit DistancePointEllipseTool(ObjectCreateAccessToken);
    ~DistancePointEllipseTool() override;

    const std::shared_ptr<Vision::Ellipse>& Ellipse() const { return shape_; }
    void setEllipse(const std::shared_ptr<Vision::Ellipse>& ellipse) { ChangeShape(shape_, ellipse, SfEllipse); }

    // The point of the ellipse's outline closest to (X, Y), in the input image's space.
    double EllipseX() const { return Result(result_.x); }
    double EllipseY() const { return Result(result_.y); }

private:
    DistancePointEllipseTool();

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
