#pragma once
// The tools' table: default record switches, the bits of their enumerations and the paths of
// their pins, written down as the library defines them. The class-table sweep compares it
// with what every tool reports; the typed tool frame reads each tool's masks and outputs
// from it, so a family test states only what its tools compute.
#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ToolTable {

using Names = std::vector<std::string>;
using Bits = std::vector<std::pair<std::string, std::uint32_t>>;

struct ToolRow {
    const char* name;
    std::uint32_t current, diag, lastRun;    // the defaults
    Bits currentBits, lastRunBits, diagBits; // besides the input-image bits
    Names inputs, outputs;                   // pins after "InputImage"
    std::uint32_t imageCopyBit = 0x4;
};

// The rows of a family, built from what its members differ in.
// clang-format off
inline const Bits NoBits = {{"None", 0}};
inline const Names PointPair = {"StartX", "StartY", "EndX", "EndY"};
inline const Names TwoPoints = {"NumPoints", "X0", "Y0", "X1", "Y1"};
inline Names FitPoints(int count)
{
    Names pins;
    for (int i = 0; i < count; ++i)
        for (const char* axis : {"X", "Y"})
            pins.push_back("RunParams.Set" + std::string(axis) + "(" + std::to_string(i) + ")");
    return pins;
}
inline ToolRow PointShape(const char* name, const std::string& shape, const std::string& pin)
{
    return {name, 0x7, 0x71, 0, {{"Point", 0x2}, {shape, 0x4}}, NoBits, {{"Point", 0x10}, {shape, 0x20}, {"Arrow", 0x40}},
            {"X", "Y", pin}, {"Distance", shape + "X", shape + "Y"}};
}
inline ToolRow ShapePair(const char* name, const std::string& a, const std::string& b, Names pins, const std::string& outA,
                  const std::string& outB)
{
    return {name, 0x7, 0x71, 0, {{a, 0x2}, {b, 0x4}}, NoBits, {{a, 0x10}, {b, 0x20}, {"Arrow", 0x40}}, pins,
            {"Distance", outA + "X", outA + "Y", outB + "X", outB + "Y"}};
}
inline ToolRow Intersect(const char* name, const std::string& a, const std::string& b, Names pins, Names outputs)
{
    const std::string marker = outputs.size() == 5 ? "IntersectionPoints" : "IntersectionPoint";
    return {name, 0x7, 0x31, 0x1, {{a, 0x2}, {b, 0x4}}, {{marker, 0x1}}, {{a, 0x10}, {b, 0x20}}, pins, outputs};
}
inline ToolRow PassThrough(const char* name, const std::string& shape, const Names& coordinates, const Names& outputs)
{
    Names pins;
    for (const auto& coordinate : coordinates)
        pins.push_back(shape + "." + coordinate);
    return {name, 0x3, 0x11, 0, {{shape, 0x2}}, NoBits, {{shape, 0x10}}, pins, outputs};
}
inline ToolRow Derived(const char* name, const std::string& a, const std::string& b, const std::string& output, Names pins)
{
    return {name, 0x7, 0x71, 0, {{a, 0x2}, {b, 0x4}}, NoBits, {{a, 0x10}, {b, 0x20}, {output, 0x40}}, pins,
            output == "OutputLine" ? Names{"GetOutputLine()"} : Names{"GetOutputSegment()", "GetOutputSegment().CreateLine()"}};
}
inline ToolRow Fit(const char* name, Names inputs, Names outputs)
{
    return {name, 0x3, 0x1, 0x7, {{"InputPoints", 0x2}}, {{"UsedPoints", 0x1}, {"IgnoredPoints", 0x2}, {"Shape", 0x4}},
            {}, inputs, outputs};
}
// clang-format on

// clang-format off
inline const ToolRow ToolRows[] = {
    {"DistancePointPointTool", 0x7, 0x71, 0, {{"StartPoint", 0x2}, {"EndPoint", 0x4}}, NoBits,
     {{"StartPoint", 0x10}, {"EndPoint", 0x20}, {"Arrow", 0x40}}, PointPair, {"Distance", "Angle"}},
    {"AnglePointPointTool", 0x7, 0x71, 0, {{"StartPoint", 0x2}, {"EndPoint", 0x4}}, NoBits,
     {{"StartPoint", 0x10}, {"EndPoint", 0x20}, {"Arrow", 0x40}}, PointPair, {"Angle"}},
    PointShape("DistancePointCircleTool", "Circle", "InputCircle"),
    PointShape("DistancePointLineTool", "Line", "Line"),
    PointShape("DistancePointSegmentTool", "Segment", "Segment"),
    PointShape("DistancePointEllipseTool", "Ellipse", "Ellipse"),
    ShapePair("DistanceCircleCircleTool", "CircleA", "CircleB", {"CircleA", "CircleB"}, "CircleA", "CircleB"),
    ShapePair("DistanceLineCircleTool", "Line", "Circle", {"Line", "InputCircle"}, "Line", "Circle"),
    ShapePair("DistanceLineEllipseTool", "Line", "Ellipse", {"Line", "Ellipse"}, "Line", "Ellipse"),
    ShapePair("DistanceSegmentLineTool", "Segment", "Line", {"Segment", "Line"}, "Segment", "Line"),
    ShapePair("DistanceSegmentSegmentTool", "SegmentA", "SegmentB", {"SegmentA", "SegmentB"}, "SegmentA", "SegmentB"),
    ShapePair("DistanceSegmentCircleTool", "Segment", "Circle", {"Segment", "InputCircle"}, "Segment", "Circle"),
    ShapePair("DistanceSegmentEllipseTool", "Segment", "Ellipse", {"Segment", "Ellipse"}, "Segment", "Ellipse"),
    Intersect("IntersectLineLineTool", "LineA", "LineB", {"LineA", "LineB"}, {"NumPoints", "X", "Y", "Angle"}),
    Intersect("IntersectSegmentLineTool", "Segment", "Line", {"Segment", "Line"}, {"NumPoints", "X", "Y"}),
    Intersect("IntersectSegmentSegmentTool", "SegmentA", "SegmentB", {"SegmentA", "SegmentB"}, {"NumPoints", "X", "Y"}),
    Intersect("IntersectLineCircleTool", "Line", "Circle", {"Line", "InputCircle"}, TwoPoints),
    Intersect("IntersectLineEllipseTool", "Line", "Ellipse", {"Line", "Ellipse"}, TwoPoints),
    Intersect("IntersectSegmentCircleTool", "Segment", "Circle", {"Segment", "InputCircle"}, TwoPoints),
    Intersect("IntersectSegmentEllipseTool", "Segment", "Ellipse", {"Segment", "Ellipse"}, TwoPoints),
    Intersect("IntersectCircleCircleTool", "CircleA", "CircleB", {"CircleA", "CircleB"}, TwoPoints),
    {"AngleLineLineTool", 0x7, 0x31, 0, {{"LineA", 0x2}, {"LineB", 0x4}}, NoBits,
     {{"LineA", 0x10}, {"LineB", 0x20}, {"LineLabels", 0x40}}, {"LineA", "LineB"}, {"Angle"}},
    PassThrough("CreateSegmentTool", "Segment", {"StartX", "StartY", "EndX", "EndY"},
                {"GetOutputSegment()", "GetOutputSegment().CreateLine()"}),
    PassThrough("CreateLineTool", "Line", {"X", "Y", "Rotation"}, {"GetOutputLine()"}),
    PassThrough("CreateCircleTool", "Circle", {"CenterX", "CenterY", "Radius"}, {"GetOutputCircle()"}),
    PassThrough("CreateEllipseTool", "Ellipse", {"CenterX", "CenterY", "RadiusX", "RadiusY", "Rotation"}, {"GetOutputEllipse()"}),
    Derived("CreateLineParallelTool", "Point", "Line", "OutputLine", {"Line"}),
    Derived("CreateLinePerpendicularTool", "Point", "Line", "OutputLine", {"Line"}),
    Derived("CreateLineBisectPointsTool", "StartPoint", "EndPoint", "OutputLine", PointPair),
    Derived("CreateSegmentAvgSegsTool", "SegmentA", "SegmentB", "OutputSegment", {"SegmentA", "SegmentB"}),
    {"CreateGraphicLabelTool", 0x3, 0x5, 0, {{"InputGraphicLabel", 0x2}}, NoBits, {{"OutputGraphicLabel", 0x4}},
     {"InputGraphicLabel.X", "InputGraphicLabel.Y", "InputGraphicLabel.Text", "InputBoolean", "InputDouble",
      "InputInteger", "InputToolResultConstant"}, {"GetOutputGraphicLabel()"}, 0x2},
    Fit("FitLineTool", FitPoints(2), {"Result.GetLine()"}),
    Fit("FitCircleTool", FitPoints(3), {"Result.GetCircle()", "Result.GetCircle().CenterX", "Result.GetCircle().CenterY",
                                        "Result.GetCircle().Radius"}),
    Fit("FitEllipseTool", FitPoints(5), {"Result.GetEllipse()"}),
};
// clang-format on

// The row of a tool, by its class name without namespace.
inline const ToolRow& RowOf(std::string_view name)
{
    const auto row = std::find_if(std::begin(ToolRows), std::end(ToolRows), [&](const ToolRow& r) { return r.name == name; });
    if (row == std::end(ToolRows))
        throw std::logic_error("no row for " + std::string(name));
    return *row;
}

} // namespace ToolTable
