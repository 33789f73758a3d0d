// The cost of a distance tool's run against the bare MathUtils call it makes, on the tool's
// default shapes (which lie apart), and the heap allocations a run makes (counted by
// replacing the global operator new). Per tool: Masks0 (every record switch and the image
// retention 0, no listener), DefaultMasks (the constructor's switches: the run keeps record
// copies of its inputs) and MathUtils.
#include <string>

#include <benchmark/benchmark.h>

#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/DistancePointLineTool.h>
#include <Geometry/DistancePointSegmentTool.h>
#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/DistanceSegmentSegmentTool.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Image8Grey.h>

#include "AllocationCounter.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace {

template <class Tool>
void Run(benchmark::State& state, bool records)
{
    auto tool = Quill::Create<Tool>();
    tool->setInputImage(Quill::Create<Image8Grey>(640, 480));
    if (!records) {
        tool->setCurrentRecordEnable({});
        tool->setLastRunRecordDiagEnable({});
        tool->setLastRunRecordEnable({});
        tool->setImageRetentionMask(0);
    }
    tool->Run();  // warm up: the first run sizes the image space name
    const std::uint64_t before = BenchSupport::allocations.load();
    for (auto _ : state) {
        tool->Run();
        benchmark::DoNotOptimize(tool->Distance());
    }
    BenchSupport::ReportAllocations(state, before);
}

// `measure` is the tool's MathUtils call on the tool's own inputs.
template <class Tool>
void Bare(benchmark::State& state, double (*measure)(const Tool&, const IImage*))
{
    const auto tool = Quill::Create<Tool>();
    const auto image = Quill::Create<Image8Grey>(640, 480);
    const std::uint64_t before = BenchSupport::allocations.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(measure(*tool, image.get()));
    BenchSupport::ReportAllocations(state, before);
}

template <class Tool>
void Register(const std::string& name, double (*measure)(const Tool&, const IImage*))
{
    benchmark::RegisterBenchmark((name + "/Masks0").c_str(), Run<Tool>, false);
    benchmark::RegisterBenchmark((name + "/DefaultMasks").c_str(), Run<Tool>, true);
    benchmark::RegisterBenchmark((name + "/MathUtils").c_str(), Bare<Tool>, measure);
}

double out[4];  // the bare calls' closest points

// A row per tool: its name and the MathUtils call it makes on its inputs `t` and image `i`.
#define OSTREL_DISTANCE_TOOL_BENCH(Name, Tool, call)                                                               \
    Register<Tool>(Name, [](const Tool& t, const IImage* i) { return MathUtils::call; });

[[maybe_unused]] const bool registered = [] {
    OSTREL_DISTANCE_TOOL_BENCH("PointCircle", DistancePointCircleTool,
                               DistancePointCircle(t.X(), t.Y(), *t.InputCircle(), i, out[0], out[1]))
    OSTREL_DISTANCE_TOOL_BENCH("PointLine", DistancePointLineTool,
                               DistancePointLine(t.X(), t.Y(), *t.Line(), i, out[0], out[1]))
    OSTREL_DISTANCE_TOOL_BENCH("PointSegment", DistancePointSegmentTool,
                               DistancePointSegment(t.X(), t.Y(), *t.Segment(), i, out[0], out[1]))
    OSTREL_DISTANCE_TOOL_BENCH("PointEllipse", DistancePointEllipseTool,
                               DistancePointEllipse(t.X(), t.Y(), *t.Ellipse(), i, out[0], out[1]))
    OSTREL_DISTANCE_TOOL_BENCH("CircleCircle", DistanceCircleCircleTool,
                               DistanceCircleCircle(*t.CircleA(), *t.CircleB(), i, out[0], out[1], out[2], out[3]))
    OSTREL_DISTANCE_TOOL_BENCH("LineCircle", DistanceLineCircleTool,
                               DistanceLineCircle(*t.Line(), *t.InputCircle(), i, out[0], out[1], out[2], out[3]))
    OSTREL_DISTANCE_TOOL_BENCH("LineEllipse", DistanceLineEllipseTool,
                               DistanceLineEllipse(*t.Line(), *t.Ellipse(), i, out[0], out[1], out[2], out[3]))
    OSTREL_DISTANCE_TOOL_BENCH("SegmentLine", DistanceSegmentLineTool,
                               DistanceSegmentLine(*t.Segment(), *t.Line(), i, out[0], out[1], out[2], out[3]))
    OSTREL_DISTANCE_TOOL_BENCH("SegmentSegment", DistanceSegmentSegmentTool,
                               DistanceSegmentSegment(*t.SegmentA(), *t.SegmentB(), i, out[0], out[1], out[2], out[3]))
    OSTREL_DISTANCE_TOOL_BENCH("SegmentCircle", DistanceSegmentCircleTool,
                               DistanceSegmentCircle(*t.Segment(), *t.InputCircle(), i, out[0], out[1], out[2], out[3]))
    OSTREL_DISTANCE_TOOL_BENCH("SegmentEllipse", DistanceSegmentEllipseTool,
                               DistanceSegmentEllipse(*t.Segment(), *t.Ellipse(), i, out[0], out[1], out[2], out[3]))
    return true;
}();

} // namespace
