// The cost of a point-pair tool run against a direct MathUtils call on the same data, and
// the heap allocations a run makes (counted by replacing the global operator new).
#include <benchmark/benchmark.h>

#include <Geometry/DistancePointPointTool.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Image8Grey.h>

#include "AllocationCounter.h"

using BenchSupport::allocations;
using BenchSupport::ReportAllocations;

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace {

std::shared_ptr<DistancePointPointTool> MakeTool(bool records)
{
    auto tool = Quill::Create<DistancePointPointTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(640, 480));
    tool->setStartX(12.5);
    tool->setStartY(-3);
    tool->setEndX(400.25);
    tool->setEndY(310);
    if (!records) {
        tool->setCurrentRecordEnable(DistancePointPointCurrentRecordConstants{});
        tool->setLastRunRecordDiagEnable(DistancePointPointLastRunRecordDiagConstants{});
        tool->setLastRunRecordEnable(DistancePointPointLastRunRecordConstants{});
        tool->setImageRetentionMask(0);
    }
    return tool;
}

void RunTool(benchmark::State& state, bool records)
{
    auto tool = MakeTool(records);
    tool->Run();  // warm up: the first run sizes the image space name
    const std::uint64_t before = allocations.load();
    for (auto _ : state) {
        tool->Run();
        benchmark::DoNotOptimize(tool->Distance());
    }
    ReportAllocations(state, before);
}

void ToolRunDefaultMasks(benchmark::State& state) { RunTool(state, true); }
void ToolRunNoRecords(benchmark::State& state) { RunTool(state, false); }

void MathUtilsDirect(benchmark::State& state)
{
    double x0 = 12.5, y0 = -3, x1 = 400.25, y1 = 310, angle = 0;
    const std::uint64_t before = allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(x0);
        benchmark::DoNotOptimize(MathUtils::DistancePointPoint(x0, y0, x1, y1, angle));
        benchmark::DoNotOptimize(angle);
    }
    ReportAllocations(state, before);
}

BENCHMARK(ToolRunDefaultMasks);
BENCHMARK(ToolRunNoRecords);
BENCHMARK(MathUtilsDirect);

} // namespace
