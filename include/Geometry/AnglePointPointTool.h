#pragma once
// The direction from a start point to an end point, as an angle from the x axis. Both
// points are draggable markers; the coordinates live in them.

#include <Geometry/Implementation/GeometryToolBase.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(AnglePointPoint,
                                    (StartPoint, 0x2)(EndPoint, 0x4),
                                    (None, 0x0),
                                    (StartPoint, 0x10)(EndPoint, 0x20)(Arrow, 0x40))

class OSTREL_GEOMETRY_API AnglePointPointTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(AnglePointPoint, Implementation::GeometryToolBase, (StartX)(StartY)(EndX)(EndY)(Angle))

    explicit AnglePointPointTool(ObjectCreateAccessToken);
    ~AnglePointPointTool() override;

    double StartX() const { return start_.X(); }
    double StartY() const { return start_.Y(); }
    double EndX() const { return end_.X(); }
    double EndY() const { return end_.Y(); }
    void setStartX(double x) { start_.SetX(x); }
    void setStartY(double y) { start_.SetY(y); }
    void setEndX(double x) { end_.SetX(x); }
    void setEndY(double y) { end_.SetY(y); }

    // The output; throws ToolNoResultException until a run succeeds. Radians, in (−π, π].
    double Angle() const { return Result(result_.angle); }

    // The base parts, then the markers "StartPoint" and "EndPoint".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    AnglePointPointTool();

    MarkerInput start_{*this, SfStartX, SfStartY, 10, 10, 0xFF00FFFF};
    MarkerInput end_{*this, SfEndX, SfEndY, 30, 40, 0xFFFF00FF};
    struct {
        std::shared_ptr<PointMarker> start, end;
    } copies_;
    struct {
        double angle;
    } result_{};

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
