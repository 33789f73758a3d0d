// The cost of a point-pair tool run against a direct MathUtils call on the same data, and
// the heap allocations a run makes (counted by replacing the global operator new), and the
// cost of a pin link between two tools.
#include <benchmark/benchmark.h>

#include <Geometry/DistancePointPointTool.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/ToolPin.h>

#include "AllocationCounter.h"

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
    const std::uint64_t before = BenchSupport::allocations.load();
    for (auto _ : state) {
        tool->Run();
        benchmark::DoNotOptimize(tool->Distance());
    }
    BenchSupport::ReportAllocations(state, before);
}

void ToolRunDefaultMasks(benchmark::State& state) { RunTool(state, true); }
void ToolRunNoRecords(benchmark::State& state) { RunTool(state, false); }

void MathUtilsDirect(benchmark::State& state)
{
    double x0 = 12.5, y0 = -3, x1 = 400.25, y1 = 310, angle = 0;
    const std::uint64_t before = BenchSupport::allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(x0);
        benchmark::DoNotOptimize(MathUtils::DistancePointPoint(x0, y0, x1, y1, angle));
        benchmark::DoNotOptimize(angle);
    }
    BenchSupport::ReportAllocations(state, before);
}

// A host's link from one tool's output to another's input: one pin read and one pin write
// through reflection, the cost a linked block adds to each run beside the tools' own.
void PinTransfer(benchmark::State& state)
{
    auto from = MakeTool(false);
    auto to = MakeTool(false);
    from->Run();
    const std::shared_ptr<Quill::IObject> source = from, target = to;
    const auto output = Quill::Create<ToolPin>("Distance");
    const auto input = Quill::Create<ToolPin>("StartX");
    const std::uint64_t before = BenchSupport::allocations.load();
    for (auto _ : state)
        input->SetValue(target, output->GetValue(source));
    BenchSupport::ReportAllocations(state, before);
}

BENCHMARK(ToolRunDefaultMasks);
BENCHMARK(ToolRunNoRecords);
BENCHMARK(MathUtilsDirect);
BENCHMARK(PinTransfer);

} // namespace
