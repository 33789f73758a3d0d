#pragma once
// The distance from a point to a circle, and the point of the circle closest to it. The
// point is a draggable marker; the circle is mapped into the input image's space.

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Vision/Circle.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistancePointCircle,
                                    (Point, 0x2)(Circle, 0x4),
                                    (None, 0x0),
                                    (Point, 0x10)(Circle, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistancePointCircleTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(DistancePointCircle, Implementation::GeometryToolBase,
                         (X)(Y)(InputCircle)(Distance)(CircleX)(CircleY))

    explicit DistancePointCircleTool(ObjectCreateAccessToken);
    ~DistancePointCircleTool() override;

    double X() const { return point_.X(); }
    double Y() const { return point_.Y(); }
    void setX(double x) { point_.SetX(x); }
    void setY(double y) { point_.SetY(y); }
    const std::shared_ptr<Circle>& InputCircle() const { return circle_; }
    void setInputCircle(const std::shared_ptr<Circle>& circle) { ChangeShape(circle_, circle, SfInputCircle); }

    // Outputs; throw ToolNoResultException until a run succeeds. (CircleX, CircleY) is the
    // point of the circle closest to (X, Y), in the input image's space.
    double Distance() const { return Result(result_.distance); }
    double CircleX() const { return Result(result_.circleX); }
    double CircleY() const { return Result(result_.circleY); }

    // The base parts, then "Point" and "Circle".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    DistancePointCircleTool();

    MarkerInput point_{*this, SfX, SfY, 10, 10, 0xFF00FFFF};
    std::shared_ptr<Circle> circle_;
    struct {
        std::shared_ptr<PointMarker> point;
        std::shared_ptr<Circle> circle;
    } copies_;
    struct {
        double distance, circleX, circleY;
    } result_{};

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
