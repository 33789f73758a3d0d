#pragma once
// The frame of the construction tools that build a line through a draggable point from an
// input line (parallel, perpendicular). A tool of the family is this frame with one row of
// data, the construction; the tool's own class adds its defaults.

#include <cstdint>
#include <memory>
#include <string>

#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry::Implementation {

// The line through (x, y) built from `line`, in the image's space.
struct LineThroughPointRow {
    std::shared_ptr<Vision::Line> (*construct)(double x, double y, const Vision::Line& line, const IImage* image);
};

// The point is taken in the input image's space as it is; the construction maps the line
// there. Records: the current record shows the live marker "Point" (bit 0x2) and the line
// (0x4); the last-run record the output's display copy "OutputLine" (0x40), then the
// copies of the point (0x10) and the line (0x20), beneath the image of the run.
template <class Tool>
class LineThroughPointTool : public GeometryToolBaseOutputStyle {
public:
    using Row = LineThroughPointRow;

    // The point, the centre of the tool's marker.
    double X() const { return point_.X(); }
    double Y() const { return point_.Y(); }
    void setX(double x) { point_.SetX(x); }
    void setY(double y) { point_.SetY(y); }
    const std::shared_ptr<Vision::Line>& Line() const { return line_; }
    void setLine(const std::shared_ptr<Vision::Line>& line) { ChangeShape(line_, line, Tool::SfLine); }

    // Throws ToolNoResultException until a run succeeds.
    std::shared_ptr<Vision::Line> GetOutputLine() const { return Result(output_.shape); }

    // The base parts, then "Line" and the marker "Point".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    // A marker at (x, y) and a new interactive line drawn in magenta; the tool gives the
    // line its geometry.
    LineThroughPointTool(const Row& row, double x, double y)
        : point_(*this, Tool::SfX, Tool::SfY, x, y, 0xFF00FFFF, MarkerInput::AllFreedoms),
          line_(CreateInputShape<Vision::Line>(0xFFFF00FF)), row_(row)
    {
        InitializeRecordSwitches(0x7, 0x71, 0x0);
        Inputs().Add("InputImage");
        Inputs().Add("Line");
        Outputs().Add("GetOutputLine()");
    }

    ToolResultConstants InternalRun(std::string&) override
    {
        BeginConstruction(Tool::SfGetOutputLine, output_, copies_);
        const Vision::Line& line = Required(line_, "Line");
        PreRun(imageRetentionMask_);
        KeepRecordCopy(copies_.point, point_, PointCopy);
        KeepRecordCopy(copies_.line, line, LineCopy);
        return FinishConstruction(output_, row_.construct(point_.X(), point_.Y(), line, InputImage().get()),
                                  OutputCopy, Tool::SfGetOutputLine);
    }

    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override
    {
        AddCurrentRecords(*parent, currentMask, {{0x2, "Point", point_.Marker()}, {0x4, "Line", line_}});
    }

    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                     std::uint32_t diagMask) override
    {
        AddLastRunRecords(*parent, diagMask,
                          {{OutputCopy, "OutputLine", output_.copy}, {PointCopy, "Point", copies_.point},
                           {LineCopy, "Line", copies_.line}});
    }

    // The diagnostic bits of the family.
    static constexpr std::uint32_t PointCopy = 0x10, LineCopy = 0x20, OutputCopy = 0x40;

    MarkerInput point_;
    std::shared_ptr<Vision::Line> line_;
    struct {
        std::shared_ptr<PointMarker> point;
        std::shared_ptr<Vision::Line> line;
    } copies_;
    ShapeOutput<Vision::Line> output_;

private:
    const Row& row_;
};

} // namespace Ostrel::Vision::Geometry::Implementation
