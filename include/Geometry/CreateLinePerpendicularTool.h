#pragma once
// The line through a point perpendicular to a given line, published as a tool output in the input image's
// space and drawn in the tool's output style. The point is a draggable marker whose
// coordinates are taken in the image's space; the line is mapped there.

#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry {

namespace Tools {
struct LineThroughPoint;
}

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(CreateLinePerpendicular,
                                    (Point, 0x2)(Line, 0x4),
                                    (None, 0x0),
                                    (Point, 0x10)(Line, 0x20)(OutputLine, 0x40))

class OSTREL_GEOMETRY_API CreateLinePerpendicularTool : public Implementation::GeometryToolBaseOutputStyle {
public:
    OSTREL_GEOMETRY_TOOL(CreateLinePerpendicular, Implementation::GeometryToolBaseOutputStyle, (X)(Y)(Line)(GetOutputLine))

    explicit CreateLinePerpendicularTool(ObjectCreateAccessToken);
    ~CreateLinePerpendicularTool() override;

    double X() const { return point_.X(); }
    double Y() const { return point_.Y(); }
    void setX(double x) { point_.SetX(x); }
    void setY(double y) { point_.SetY(y); }
    const std::shared_ptr<Vision::Line>& Line() const { return line_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(line_, line, SfLine); }

    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<Vision::Line> GetOutputLine() const { return Result(output_.shape); }

    // The base parts, then "Line" and the marker "Point".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    friend struct Tools::LineThroughPoint;
    CreateLinePerpendicularTool();

    MarkerInput point_{*this, SfX, SfY, 40, 10, 0xFF00FFFF, MarkerInput::AllFreedoms};
    std::shared_ptr<Vision::Line> line_;
    struct {
        std::shared_ptr<PointMarker> point;
        std::shared_ptr<Vision::Line> line;
    } copies_;
    ShapeOutput<Vision::Line> output_;

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBaseOutputStyle)
};

} // namespace Ostrel::Vision::Geometry
