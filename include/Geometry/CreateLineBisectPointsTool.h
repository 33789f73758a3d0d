#pragma once
// The perpendicular bisector of two draggable points, published as a tool output in the
// input image's space and drawn in the tool's output style. The points' coordinates are
// the image's; they must differ.

#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateLineBisectPoints,
                                    (StartPoint, 0x2)(EndPoint, 0x4),
                                    (None, 0x0),
                                    (StartPoint, 0x10)(EndPoint, 0x20)(OutputLine, 0x40))

class OSTREL_GEOMETRY_API CreateLineBisectPointsTool : public Implementation::GeometryToolBaseOutputStyle {
public:
    OSTREL_GEOMETRY_TOOL(CreateLineBisectPoints, Implementation::GeometryToolBaseOutputStyle,
                         (StartX)(StartY)(EndX)(EndY)(GetOutputLine))

    explicit CreateLineBisectPointsTool(ObjectCreateAccessToken);
    ~CreateLineBisectPointsTool() override;

    double StartX() const { return start_.X(); }
    double StartY() const { return start_.Y(); }
    double EndX() const { return end_.X(); }
    double EndY() const { return end_.Y(); }
    void setStartX(double x) { start_.SetX(x); }
    void setStartY(double y) { start_.SetY(y); }
    void setEndX(double x) { end_.SetX(x); }
    void setEndY(double y) { end_.SetY(y); }

    // Throws ToolNoResultException until a run succeeds; a run with equal points fails
    // with ShapeException.
    std::shared_ptr<Line> GetOutputLine() const { return Result(output_.shape); }

    // The base parts, then the markers "StartPoint" and "EndPoint".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    CreateLineBisectPointsTool();

    MarkerInput start_{*this, SfStartX, SfStartY, 10, 10, 0xFF00FFFF, MarkerInput::AllFreedoms};
    MarkerInput end_{*this, SfEndX, SfEndY, 30, 40, 0xFFFF00FF, MarkerInput::AllFreedoms};
    struct {
        std::shared_ptr<PointMarker> start, end;
    } copies_;
    ShapeOutput<Line> output_;

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
