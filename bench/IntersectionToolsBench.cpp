// The cost of an intersection tool's run against the bare MathUtils call on the same shapes,
// with every record switch off and with the default ones, and the heap allocations per run
// (counted by replacing the global operator new).
#include <benchmark/benchmark.h>

#include <Geometry/AngleLineLineTool.h>
#include <Geometry/IntersectCircleCircleTool.h>
#include <Geometry/IntersectLineCircleTool.h>
#include <Geometry/IntersectLineEllipseTool.h>
#include <Geometry/IntersectLineLineTool.h>
#include <Geometry/IntersectSegmentCircleTool.h>
#include <Geometry/IntersectSegmentEllipseTool.h>
#include <Geometry/IntersectSegmentLineTool.h>
#include <Geometry/IntersectSegmentSegmentTool.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Image8Grey.h>

#include "AllocationCounter.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace {

// Each tool's bare computation on its own (default, crossing) shapes, as its run makes it.
struct Bare {
    int count = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, angle = 0;

    bool operator()(const IntersectLineLineTool& t, const IImage& i)
    {
        return MathUtils::IntersectLineLine(*t.LineA(), *t.LineB(), i, count, x0, y0, angle);
    }
    bool operator()(const AngleLineLineTool& t, const IImage& i)
    {
        return MathUtils::IntersectLineLine(*t.LineA(), *t.LineB(), i, count, x0, y0, angle);
    }
    bool operator()(const IntersectSegmentLineTool& t, const IImage& i)
    {
        return MathUtils::IntersectSegmentLine(*t.Segment(), *t.Line(), &i, count, x0, y0);
    }
    bool operator()(const IntersectSegmentSegmentTool& t, const IImage& i)
    {
        return MathUtils::IntersectSegmentSegment(*t.SegmentA(), *t.SegmentB(), &i, count, x0, y0);
    }
    bool operator()(const IntersectLineCircleTool& t, const IImage& i)
    {
        return MathUtils::IntersectLineCircle(*t.Line(), *t.InputCircle(), &i, count, x0, y0, x1, y1);
    }
    bool operator()(const IntersectLineEllipseTool& t, const IImage& i)
    {
        return MathUtils::IntersectLineEllipse(*t.Line(), *t.Ellipse(), &i, count, x0, y0, x1, y1);
    }
    bool operator()(const IntersectSegmentCircleTool& t, const IImage& i)
    {
        return MathUtils::IntersectSegmentCircle(*t.Segment(), *t.InputCircle(), &i, count, x0, y0, x1, y1);
    }
    bool operator()(const IntersectSegmentEllipseTool& t, const IImage& i)
    {
        return MathUtils::IntersectSegmentEllipse(*t.Segment(), *t.Ellipse(), &i, count, x0, y0, x1, y1);
    }
    bool operator()(const IntersectCircleCircleTool& t, const IImage& i)
    {
        return MathUtils::IntersectCircleCircle(*t.CircleA(), *t.CircleB(), &i, count, x0, y0, x1, y1, x2, y2,
                                                x3, y3);
    }
};

template <class Tool> std::shared_ptr<Tool> MakeTool(bool records)
{
    auto tool = Quill::Create<Tool>();
    tool->setInputImage(Quill::Create<Image8Grey>(640, 480));
    if (!records) {
        tool->setCurrentRecordEnable({});
        tool->setLastRunRecordDiagEnable({});
        tool->setLastRunRecordEnable({});
        tool->setImageRetentionMask(0);
    }
    tool->Run(); // warm up: the first run finds the image space name
    if (tool->RunStatus().Result() != ToolResultConstants::Accept)
        throw std::runtime_error(tool->RunStatus().Message());
    return tool;
}

template <class Tool, bool records> void Run(benchmark::State& state)
{
    auto tool = MakeTool<Tool>(records);
    const std::uint64_t before = BenchSupport::allocations.load();
    for (auto _ : state) {
        tool->Run();
        benchmark::DoNotOptimize(tool->RunStatus().Result());
    }
    BenchSupport::ReportAllocations(state, before);
}

template <class Tool> void BareCall(benchmark::State& state)
{
    auto tool = MakeTool<Tool>(false);
    const IImage& image = *tool->InputImage();
    Bare bare;
    const std::uint64_t before = BenchSupport::allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(bare(*tool, image));
        benchmark::DoNotOptimize(bare);
    }
    BenchSupport::ReportAllocations(state, before);
}

#define INTERSECTION_BENCHMARKS(Tool)                                                                        \
    BENCHMARK(Run<Tool, false>)->Name(#Tool "/masks0");                                                      \
    BENCHMARK(Run<Tool, true>)->Name(#Tool "/defaultMasks");                                                 \
    BENCHMARK(BareCall<Tool>)->Name(#Tool "/bareMathUtils");

INTERSECTION_BENCHMARKS(IntersectLineLineTool)
INTERSECTION_BENCHMARKS(IntersectSegmentLineTool)
INTERSECTION_BENCHMARKS(IntersectSegmentSegmentTool)
INTERSECTION_BENCHMARKS(IntersectLineCircleTool)
INTERSECTION_BENCHMARKS(IntersectLineEllipseTool)
INTERSECTION_BENCHMARKS(IntersectSegmentCircleTool)
INTERSECTION_BENCHMARKS(IntersectSegmentEllipseTool)
INTERSECTION_BENCHMARKS(IntersectCircleCircleTool)
INTERSECTION_BENCHMARKS(AngleLineLineTool)

} // namespace
