#pragma once
// The distance between a start point and an end point, and the direction from the one to
// the other. Both points are draggable markers; the coordinates live in them.

#include <Geometry/Implementation/GeometryToolBase.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistancePointPoint,
                                    (StartPoint, 0x2)(EndPoint, 0x4),
                                    (None, 0x0),
                                    (StartPoint, 0x10)(EndPoint, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API DistancePointPointTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(DistancePointPoint, Implementation::GeometryToolBase,
                         (StartX)(StartY)(EndX)(EndY)(Distance)(Angle))

    explicit DistancePointPointTool(ObjectCreateAccessToken);
    ~DistancePointPointTool() override;

    double StartX() const { return start_.X(); }
    double StartY() const { return start_.Y(); }
    double EndX() const { return end_.X(); }
    double EndY() const { return end_.Y(); }
    void setStartX(double x) { start_.SetX(x); }
    void setStartY(double y) { start_.SetY(y); }
    void setEndX(double x) { end_.SetX(x); }
    void setEndY(double y) { end_.SetY(y); }

    // Outputs; throw ToolNoResultException until a run succeeds. The angle is in radians,
    // in (−π, π].
    double Distance() const { return Result(result_.distance); }
    double Angle() const { return Result(result_.angle); }

    // The base parts, then the markers "StartPoint" and "EndPoint".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    DistancePointPointTool();

    MarkerInput start_{*this, SfStartX, SfStartY, 10, 10, 0xFF00FFFF};
    MarkerInput end_{*this, SfEndX, SfEndY, 70, 40, 0xFFFF00FF};
    struct {
        std::shared_ptr<PointMarker> start, end;
    } copies_;
    struct {
        double distance, angle;
    } result_{};

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
