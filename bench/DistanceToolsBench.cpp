// The cost of a distance tool's run against the bare MathUtils call it makes, on the tool's
// default shapes (which lie apart), and the heap allocations a run makes (counted by
// replacing the global operator new). Per tool: Masks0 (every record switch and the image
// retention 0, no listener), DefaultMasks (the constructor's switches: the run keeps record
// copies of its inputs) and MathUtils.
#include <atomic>
#include <cstdlib>
#include <new>
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
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace {

void CountAllocations(benchmark::State& state, std::uint64_t before)
{
    state.counters["allocs/run"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
}

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
    const std::uint64_t before = allocations.load();
    for (auto _ : state) {
        tool->Run();
        benchmark::DoNotOptimize(tool->Distance());
    }
    CountAllocations(state, before);
}

// `measure` is the tool's MathUtils call on the tool's own inputs.
template <class Tool>
void Bare(benchmark::State& state, double (*measure)(const Tool&, const IImage*))
{
    const auto tool = Quill::Create<Tool>();
    const auto image = Quill::Create<Image8Grey>(640, 480);
    const std::uint64_t before = allocations.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(measure(*tool, image.get()));
    CountAllocations(state, before);
}

template <class Tool>
void Register(const std::string& name, double (*measure)(const Tool&, const IImage*))
{
    benchmark::RegisterBenchmark((name + "/Masks0").c_str(), Run<Tool>, false);
    benchmark::RegisterBenchmark((name + "/DefaultMasks").c_str(), Run<Tool>, true);
    benchmark::RegisterBenchmark((name + "/MathUtils").c_str(), Bare<Tool>, measure);
}

double out[4];  // the bare calls' closest points

[[maybe_unused]] const bool registered = [] {
    using T0 = DistancePointCircleTool;
    Register<T0>("PointCircle", [](const T0& t, const IImage* i) {
        return MathUtils::DistancePointCircle(t.X(), t.Y(), *t.InputCircle(), i, out[0], out[1]);
    });
    using T1 = DistancePointLineTool;
    Register<T1>("PointLine", [](const T1& t, const IImage* i) {
        return MathUtils::DistancePointLine(t.X(), t.Y(), *t.Line(), i, out[0], out[1]);
    });
    using T2 = DistancePointSegmentTool;
    Register<T2>("PointSegment", [](const T2& t, const IImage* i) {
        return MathUtils::DistancePointSegment(t.X(), t.Y(), *t.Segment(), i, out[0], out[1]);
    });
    using T3 = DistancePointEllipseTool;
    Register<T3>("PointEllipse", [](const T3& t, const IImage* i) {
        return MathUtils::DistancePointEllipse(t.X(), t.Y(), *t.Ellipse(), i, out[0], out[1]);
    });
    using T4 = DistanceCircleCircleTool;
    Register<T4>("CircleCircle", [](const T4& t, const IImage* i) {
        return MathUtils::DistanceCircleCircle(*t.CircleA(), *t.CircleB(), i, out[0], out[1], out[2], out[3]);
    });
    using T5 = DistanceLineCircleTool;
    Register<T5>("LineCircle", [](const T5& t, const IImage* i) {
        return MathUtils::DistanceLineCircle(*t.Line(), *t.InputCircle(), i, out[0], out[1], out[2], out[3]);
    });
    using T6 = DistanceLineEllipseTool;
    Register<T6>("LineEllipse", [](const T6& t, const IImage* i) {
        return MathUtils::DistanceLineEllipse(*t.Line(), *t.Ellipse(), i, out[0], out[1], out[2], out[3]);
    });
    using T7 = DistanceSegmentLineTool;
    Register<T7>("SegmentLine", [](const T7& t, const IImage* i) {
        return MathUtils::DistanceSegmentLine(*t.Segment(), *t.Line(), i, out[0], out[1], out[2], out[3]);
    });
    using T8 = DistanceSegmentSegmentTool;
    Register<T8>("SegmentSegment", [](const T8& t, const IImage* i) {
        return MathUtils::DistanceSegmentSegment(*t.SegmentA(), *t.SegmentB(), i, out[0], out[1], out[2], out[3]);
    });
    using T9 = DistanceSegmentCircleTool;
    Register<T9>("SegmentCircle", [](const T9& t, const IImage* i) {
        return MathUtils::DistanceSegmentCircle(*t.Segment(), *t.InputCircle(), i, out[0], out[1], out[2], out[3]);
    });
    using T10 = DistanceSegmentEllipseTool;
    Register<T10>("SegmentEllipse", [](const T10& t, const IImage* i) {
        return MathUtils::DistanceSegmentEllipse(*t.Segment(), *t.Ellipse(), i, out[0], out[1], out[2], out[3]);
    });
    return true;
}();

} // namespace
