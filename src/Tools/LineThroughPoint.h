#pragma once
// The run and records of the tools that build a line through their draggable point from
// an input line (parallel, perpendicular): one frame, the construction passed in.

#include <memory>

#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/Record.h>

namespace Ostrel::Vision::Geometry::Tools {

struct LineThroughPoint {
    // The line through (x, y) built from `line`, in the image's space.
    using Construction = std::shared_ptr<Line> (*)(double x, double y, const Line& line, const IImage* image);

    template <class Tool>
    static ToolResultConstants Run(Tool& tool, Construction construct)
    {
        using Diag = decltype(tool.LastRunRecordDiagEnable());
        tool.BeginConstruction(Tool::SfGetOutputLine, tool.output_, tool.copies_);
        const Line& line = Tool::Required(tool.line_, "Line");
        tool.PreRun(tool.imageRetentionMask_);
        tool.KeepRecordCopy(tool.copies_.point, tool.point_, Diag::Point);
        tool.KeepRecordCopy(tool.copies_.line, line, Diag::Line);
        // The point passes as it is: its coordinates are the image's.
        auto output = construct(tool.point_.X(), tool.point_.Y(), line, tool.InputImage().get());
        return tool.FinishConstruction(tool.output_, std::move(output), Diag::OutputLine, Tool::SfGetOutputLine);
    }

    template <class Tool>
    static void AddCurrentRecords(Tool& tool, Record& parent, std::uint32_t currentMask)
    {
        tool.AddCurrentRecords(parent, currentMask, {{0x2, "Point", tool.point_.Marker()}, {0x4, "Line", tool.line_}});
    }

    template <class Tool>
    static void AddLastRunRecords(Tool& tool, Record& parent, std::uint32_t diagMask)
    {
        tool.AddLastRunRecords(parent, diagMask, {{0x40, "OutputLine", tool.output_.copy},
                                                  {0x10, "Point", tool.copies_.point},
                                                  {0x20, "Line", tool.copies_.line}});
    }
};

} // namespace Ostrel::Vision::Geometry::Tools
