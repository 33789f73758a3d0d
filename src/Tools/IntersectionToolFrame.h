#pragma once
// The frame of the tools that intersect two shapes (and of the line-angle tool, which
// runs the same way): construction, the run, and the records, written once. A tool's source
// states only its row: the names of its shapes, their default geometry, which mask decides
// the last-run copies, and its one MathUtils call.
//
//   template <>
//   struct Implementation::IntersectionRow<IntersectLineCircleTool> {
//       static constexpr ToolNames names{{"Line", "Line"}, {"InputCircle", "Circle"},
//                                        CopiesBy::DiagnosticMask};
//       static void Defaults(Line& line, Circle&) { line.SetXYRotation(10, 50, 0.5); }
//       static bool Intersect(const Line& line, const Circle& circle, const IImage& image,
//                             TwoPointIntersection& r) { return MathUtils::IntersectLineCircle(...); }
//   };
//   OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectLineCircleTool)

#include <cstdint>

#include <Geometry/Implementation/IntersectionTool.h>

namespace Ostrel::Vision::Geometry::Implementation {

// The names of an input shape: its property (and pin), and the key of its records, which is
// also the name a run gives when the shape is missing.
struct ShapeNames {
    const char* property;
    const char* record;
};

// The mask whose bits 0x10 (shape A) and 0x20 (shape B) decide which shapes a run copies for
// the last-run record.
enum class CopiesBy { DiagnosticMask, ImageRetentionMask };

// Shapes A and B, and the mask that decides their copies.
struct ToolNames {
    ShapeNames a, b;
    CopiesBy copiesBy;
};

// A tool's row, specialised in the tool's source.
template <class Tool> struct IntersectionRow;

template <class Tool> struct IntersectionToolFrame {
    using Row = IntersectionRow<Tool>;
    using ShapeA = typename decltype(Tool::shapes_)::ShapeA;
    using ShapeB = typename decltype(Tool::shapes_)::ShapeB;
    using Result = decltype(Tool::result_);

    // The flags after the three record switches and the two shapes are the outputs.
    static constexpr std::uint64_t OutputFlags = Tool::sfNextSf_ - (Tool::sf0_ << 5);
    static constexpr std::uint32_t ShapeABit = 0x10, ShapeBBit = 0x20;

    // The shapes, interactive with every degree of freedom, A drawn in cyan and B in
    // magenta, in the row's default geometry; the record switches; the pins.
    static void Construct(Tool& tool, std::uint32_t lastRunRecordEnable)
    {
        tool.shapes_.a = Tool::template CreateInputShape<ShapeA>(0xFF00FFFF);
        tool.shapes_.b = Tool::template CreateInputShape<ShapeB>(0xFFFF00FF);
        Row::Defaults(*tool.shapes_.a, *tool.shapes_.b);
        tool.InitializeRecordSwitches(0x7, ShapeABit | ShapeBBit | 0x1, lastRunRecordEnable);
        for (const char* path : {"InputImage", Row::names.a.property, Row::names.b.property})
            tool.Inputs().Add(path);
        for (const char* path : Result::OutputPins)
            tool.Outputs().Add(path);
    }

    // Shape A is checked before shape B, both before the image.
    static ToolResultConstants Run(Tool& tool)
    {
        auto& shapes = tool.shapes_;
        tool.BeginRun(OutputFlags, tool.result_, shapes.copies);
        const ShapeA& a = Tool::Required(shapes.a, Row::names.a.record);
        const ShapeB& b = Tool::Required(shapes.b, Row::names.b.record);
        tool.PreRun(tool.imageRetentionMask_);
        const std::uint32_t copyMask = Row::names.copiesBy == CopiesBy::ImageRetentionMask
                                           ? tool.imageRetentionMask_
                                           : tool.lastRunRecordDiagEnable_;
        if (copyMask & ShapeABit)
            shapes.copies.a = tool.MakeRecordGraphicCopy(a);
        if (copyMask & ShapeBBit)
            shapes.copies.b = tool.MakeRecordGraphicCopy(b);
        tool.result_.intersects = Row::Intersect(a, b, *tool.InputImage(), tool.result_);
        return tool.FinishRun(OutputFlags);
    }

    // "InputImage" with the live shapes beneath it.
    static void CurrentRecord(const Tool& tool, Record& parent, std::uint32_t currentMask)
    {
        tool.AddCurrentRecords(
            parent, currentMask,
            {{0x2, Row::names.a.record, tool.shapes_.a}, {0x4, Row::names.b.record, tool.shapes_.b}});
    }

    // The shapes' last-run copies, when the image was kept, beneath "InputImage".
    static std::shared_ptr<Record> LastRunShapes(const Tool& tool, Record& parent, std::uint32_t diagMask)
    {
        auto image = tool.AddLastRunInputImageRecord(parent, diagMask);
        if (image && tool.LastRunImage())
            Tool::AddLastRunRows(*image, diagMask,
                                 {{ShapeABit, Row::names.a.record, tool.shapes_.copies.a},
                                  {ShapeBBit, Row::names.b.record, tool.shapes_.copies.b}});
        return image;
    }

    // The shapes' copies and a marker at every reported crossing (last-run bit 0x1, after a
    // successful run).
    static void LastRunRecord(const Tool& tool, Record& parent, std::uint32_t lastRunMask,
                              std::uint32_t diagMask)
    {
        const auto image = LastRunShapes(tool, parent, diagMask);
        if (image && (lastRunMask & 0x1) && tool.HasResult())
            AddPointRecords(tool, *image, tool.result_);
    }

    template <class OnePoint> static void AddPointRecords(const Tool& tool, Record& image, const OnePoint& r)
    {
        if (r.numPoints >= 1)
            tool.CreateIntersectionPointRecord(r.x, r.y, image, "IntersectionPoint");
    }
    static void AddPointRecords(const Tool& tool, Record& image, const TwoPointIntersection& r)
    {
        if (r.numPoints >= 1)
            tool.CreateIntersectionPointRecord(r.x0, r.y0, image, "IntersectionPoint1");
        if (r.numPoints >= 2)
            tool.CreateIntersectionPointRecord(r.x1, r.y1, image, "IntersectionPoint2");
    }
};

} // namespace Ostrel::Vision::Geometry::Implementation

// The members an intersection tool defines from its row: the constructors, the run and both
// records; its LastRunRecordEnable is 0x1 (the crossing markers).
#define OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(Tool)                                                  \
    using Tool##Frame = Implementation::IntersectionToolFrame<Tool>;                                         \
    Tool::Tool(ObjectCreateAccessToken)                                                                      \
    {                                                                                                        \
        Tool##Frame::Construct(*this, 0x1);                                                                  \
    }                                                                                                        \
    Tool::Tool() : Tool(MakeAccessToken()) {}                                                                \
    Tool::~Tool() = default;                                                                                 \
    ToolResultConstants Tool::InternalRun(std::string&)                                                      \
    {                                                                                                        \
        return Tool##Frame::Run(*this);                                                                      \
    }                                                                                                        \
    void Tool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) \
    {                                                                                                        \
        Tool##Frame::CurrentRecord(*this, *parent, currentMask);                                             \
    }                                                                                                        \
    void Tool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask, \
                                           std::uint32_t diagMask)                                           \
    {                                                                                                        \
        Tool##Frame::LastRunRecord(*this, *parent, lastRunMask, diagMask);                                   \
    }
