// The cost of a fit tool's run beside the bare Execute of its run parameters, with records
// switched off and with the default masks, the cost of building its records, and the heap
// allocations of each (counted by replacing the global operator new).
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include <benchmark/benchmark.h>

#include <Geometry/FitCircleTool.h>
#include <Geometry/FitEllipseTool.h>
#include <Geometry/FitLineTool.h>
#include <Ostrel/Vision/Image8Grey.h>

namespace {
std::atomic<std::uint64_t> allocations{0};
}

// The replacement pairs operator new with malloc and operator delete with free; g++ cannot
// see that they belong together once both are inlined into the same caller.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace {

// n points of a scanned edge: on the shape, with a small deterministic ripple, as edge
// tools report them.
korm_vect EdgePoint(const FitLineTool&, int k, int n)
{
    const double t = 600.0 * k / n;
    return {20 + t, 40 + 0.3 * t + 0.2 * std::sin(1.7 * k)};
}
korm_vect EdgePoint(const FitCircleTool&, int k, int n)
{
    const double a = 2 * M_PI * k / n, r = 100 + 0.2 * std::sin(1.7 * k);
    return {320 + r * std::cos(a), 240 + r * std::sin(a)};
}
korm_vect EdgePoint(const FitEllipseTool&, int k, int n)
{
    const double a = 2 * M_PI * k / n, ripple = 0.2 * std::sin(1.7 * k), c = std::cos(0.4), s = std::sin(0.4);
    const double x = (150 + ripple) * std::cos(a), y = (80 + ripple) * std::sin(a);
    return {320 + c * x - s * y, 240 + s * x + c * y};
}

template <class Tool> std::shared_ptr<Tool> MakeTool(int n, bool records)
{
    auto tool = Quill::Create<Tool>();
    tool->setInputImage(Quill::Create<Image8Grey>(640, 480));
    for (int k = 0; k < n; ++k) {
        const korm_vect p = EdgePoint(*tool, k, n);
        tool->RunParams()->AddPoint(p.x, p.y);
    }
    if (!records) {
        tool->setCurrentRecordEnable({});
        tool->setLastRunRecordDiagEnable({});
        tool->setLastRunRecordEnable({});
    }
    return tool;
}

template <class F> void CountAllocations(benchmark::State& state, F&& body)
{
    const std::uint64_t before = allocations.load();
    for (auto _ : state)
        body();
    state.counters["allocs/op"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
}

template <class Tool> void BareExecute(benchmark::State& state)
{
    const auto tool = MakeTool<Tool>(static_cast<int>(state.range(0)), false);
    const auto params = tool->RunParams();
    CountAllocations(state, [&] { benchmark::DoNotOptimize(params->Execute("#")); });
}

template <class Tool, bool Records> void Run(benchmark::State& state)
{
    const auto tool = MakeTool<Tool>(static_cast<int>(state.range(0)), Records);
    CountAllocations(state, [&] {
        tool->Run();
        benchmark::DoNotOptimize(tool->Result());
    });
    if (!tool->Result())
        state.SkipWithError(tool->RunStatus().Message().c_str());
}

template <class Tool> void RunMasks0(benchmark::State& state)
{
    Run<Tool, false>(state);
}
template <class Tool> void RunDefaultMasks(benchmark::State& state)
{
    Run<Tool, true>(state);
}

// A record with the default masks, after one run: the current record's draggable points,
// or the last-run record's used and left-out points and fitted shape.
template <class Tool, std::shared_ptr<Record> (Vision::Implementation::ToolBase::*create)()>
void Record(benchmark::State& state)
{
    const auto tool = MakeTool<Tool>(static_cast<int>(state.range(0)), true);
    tool->Run();
    CountAllocations(state, [&] { benchmark::DoNotOptimize(((*tool).*create)()); });
}
template <class Tool> void CurrentRecord(benchmark::State& state)
{
    Record<Tool, &Tool::CreateCurrentRecord>(state);
}
template <class Tool> void LastRunRecord(benchmark::State& state)
{
    Record<Tool, &Tool::CreateLastRunRecord>(state);
}

#define FIT_TOOL_BENCHMARKS(Tool)                                                                            \
    BENCHMARK(BareExecute<Tool>)->Arg(100)->Arg(1000);                                                       \
    BENCHMARK(RunMasks0<Tool>)->Arg(100)->Arg(1000);                                                         \
    BENCHMARK(RunDefaultMasks<Tool>)->Arg(100)->Arg(1000);                                                   \
    BENCHMARK(CurrentRecord<Tool>)->Arg(100)->Arg(1000);                                                     \
    BENCHMARK(LastRunRecord<Tool>)->Arg(100)->Arg(1000);

FIT_TOOL_BENCHMARKS(FitLineTool)
FIT_TOOL_BENCHMARKS(FitCircleTool)
FIT_TOOL_BENCHMARKS(FitEllipseTool)

} // namespace
