// The cost of a construction or label tool run, with every record switch off (Masks0) and
// with the default switches (Default), against the bare MathUtils construction where the
// tool has one, and the heap allocations of each; the label tool with each source
// selector; the legacy format-string conversion of a 10^5-character text.
#include <string>

#include <benchmark/benchmark.h>

#include <Geometry/CreateCircleTool.h>
#include <Geometry/CreateEllipseTool.h>
#include <Geometry/CreateGraphicLabelTool.h>
#include <Geometry/CreateLineBisectPointsTool.h>
#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/CreateLineTool.h>
#include <Geometry/CreateSegmentAvgSegsTool.h>
#include <Geometry/CreateSegmentTool.h>
#include <Geometry/Implementation/LegacyFormatString.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Image8Grey.h>

#include "AllocationCounter.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using BenchSupport::allocations;
using BenchSupport::ReportAllocations;

namespace {

const std::shared_ptr<Image8Grey>& Image()
{
    static const auto image = Quill::Create<Image8Grey>(640, 480);
    return image;
}

// A tool on a 640 x 480 image with its default inputs, its record switches as constructed
// or all off.
template <class Tool>
std::shared_ptr<Tool> MakeTool(bool records)
{
    auto tool = Quill::Create<Tool>();
    tool->setInputImage(Image());
    if (!records) {
        tool->setCurrentRecordEnable({});
        tool->setLastRunRecordDiagEnable({});
        tool->setLastRunRecordEnable({});
        tool->setImageRetentionMask(0);
    }
    return tool;
}

template <class Tool>
void Runs(benchmark::State& state, const std::shared_ptr<Tool>& tool)
{
    tool->Run();  // warm up: the first run finds the image space name
    if (tool->RunStatus().Result() != ToolResultConstants::Accept)
        state.SkipWithError(tool->RunStatus().Message().c_str());
    const std::uint64_t before = allocations.load();
    for (auto _ : state) {
        tool->Run();
        benchmark::DoNotOptimize(tool.get());
    }
    ReportAllocations(state, before);
}

template <class Tool>
void Masks0(benchmark::State& state) { Runs(state, MakeTool<Tool>(false)); }
template <class Tool>
void Default(benchmark::State& state) { Runs(state, MakeTool<Tool>(true)); }

template <class Construct>
void Bare(benchmark::State& state, Construct construct)
{
    const std::uint64_t before = allocations.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(construct());
    ReportAllocations(state, before);
}

void BareLineParallel(benchmark::State& state)
{
    const auto tool = MakeTool<CreateLineParallelTool>(false);
    Bare(state, [&] { return MathUtils::CreateLineParallel(tool->X(), tool->Y(), *tool->Line(), Image().get()); });
}
void BareLinePerpendicular(benchmark::State& state)
{
    const auto tool = MakeTool<CreateLinePerpendicularTool>(false);
    Bare(state, [&] { return MathUtils::CreateLinePerpendicular(tool->X(), tool->Y(), *tool->Line(), Image().get()); });
}
void BareLineBisectPoints(benchmark::State& state)
{
    Bare(state, [] { return MathUtils::CreateLineBisectingPointPoint(10, 10, 30, 40, "#"); });
}
void BareSegmentAvgSegs(benchmark::State& state)
{
    const auto tool = MakeTool<CreateSegmentAvgSegsTool>(false);
    Bare(state, [&] { return MathUtils::CreateSegmentByAveragingSegments(*tool->SegmentA(), *tool->SegmentB(), Image().get()); });
}

// The label tool formatting with the selector `state.range(0)`, default switches.
void LabelSelector(benchmark::State& state)
{
    auto tool = MakeTool<CreateGraphicLabelTool>(true);
    tool->setSourceSelector(static_cast<CreateGraphicLabelSourceSelectorConstants>(state.range(0)));
    tool->setInputDouble(3.25);
    tool->setInputInteger(-17);
    tool->InputGraphicLabel()->setText("{T}: D={D:.3f} I={I:>5} B={B}");
    Runs(state, tool);
}

// Legacy texts of 10^5 characters: labels with tokens, and one long line with none.
std::string LegacyText(bool tokens)
{
    const std::string unit = tokens ? "Value {D,-10:C4} mm, {I,6} parts\n" : "plain {text} without a token. ";
    std::string text;
    while (text.size() + unit.size() <= 100000)
        text += unit;
    return text;
}

void ConvertLegacyFormat(benchmark::State& state)
{
    const std::string text = LegacyText(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(Geometry::Implementation::ConvertLegacyFormatString(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

#define CONSTRUCTION_TOOL_BENCH(Stem)                                                                               \
    BENCHMARK_TEMPLATE(Masks0, Create##Stem##Tool)->Name(#Stem "/Masks0");                                          \
    BENCHMARK_TEMPLATE(Default, Create##Stem##Tool)->Name(#Stem "/Default");
CONSTRUCTION_TOOL_BENCH(Segment)
CONSTRUCTION_TOOL_BENCH(Line)
CONSTRUCTION_TOOL_BENCH(Circle)
CONSTRUCTION_TOOL_BENCH(Ellipse)
CONSTRUCTION_TOOL_BENCH(LineParallel)
BENCHMARK(BareLineParallel)->Name("LineParallel/MathUtils");
CONSTRUCTION_TOOL_BENCH(LinePerpendicular)
BENCHMARK(BareLinePerpendicular)->Name("LinePerpendicular/MathUtils");
CONSTRUCTION_TOOL_BENCH(LineBisectPoints)
BENCHMARK(BareLineBisectPoints)->Name("LineBisectPoints/MathUtils");
CONSTRUCTION_TOOL_BENCH(SegmentAvgSegs)
BENCHMARK(BareSegmentAvgSegs)->Name("SegmentAvgSegs/MathUtils");
CONSTRUCTION_TOOL_BENCH(GraphicLabel)
BENCHMARK(LabelSelector)->Name("GraphicLabel/Selector")->DenseRange(0, 5);
BENCHMARK(ConvertLegacyFormat)->Name("ConvertLegacyFormat/100k")->Arg(1)->Arg(0);

} // namespace
