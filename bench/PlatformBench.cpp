// Costs of the framework's hot paths that every tool run goes through.
#include <benchmark/benchmark.h>

#include <Ostrel/Quill/ChangedSignal.h>
#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/Strings.h>
#include <Ostrel/Vision/Transform2D.h>

using namespace Ostrel;

namespace {

class Source : public Quill::ChangedEventShareableBase {
public:
    explicit Source(ObjectCreateAccessToken) {}
    void Raise(std::uint64_t flags) { OnChanged_(flags); }
};

void RaiseWithoutListener(benchmark::State& state)
{
    auto source = Quill::Create<Source>();
    for (auto _ : state)
        source->Raise(0x18008);
}
BENCHMARK(RaiseWithoutListener);

void RaiseWithListener(benchmark::State& state)
{
    auto source = Quill::Create<Source>();
    std::uint64_t seen = 0;
    boost::signals2::scoped_connection c =
        source->ChangedEvent().connect([&](const std::shared_ptr<Quill::ChangedEventArgs>& a) { seen |= a->StateFlags(); });
    for (auto _ : state)
        source->Raise(0x18008);
    benchmark::DoNotOptimize(seen);
}
BENCHMARK(RaiseWithListener);

void SubstituteLabel(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Vision::Strings::Substitute(
            "Angle=%1 rad, %2 deg", {Vision::Private::MiscUtils::GetFixedPrecisionNumericString(1.5707963, 6),
                                     Vision::Private::MiscUtils::GetFixedPrecisionNumericString(90.0, 6)}));
}
BENCHMARK(SubstituteLabel);

void ComposeAndInvertAffine(benchmark::State& state)
{
    const auto a = Vision::Transform2DLinear::ScaleRotationTranslation(0.05, 0.05, 0.3, 12, -4);
    const auto b = Vision::Transform2DLinear::ScaleRotationTranslation(2, 3, -1.1, 1, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize((a * b).InverseLinear());
}
BENCHMARK(ComposeAndInvertAffine);

} // namespace
