// Cost of the point fits: per point for lines, per fit for circles and ellipses at 100 and
// 1000 points (half arcs, noise 0.5 px), and the outlier search at n = 100, k = 10. Where
// OpenCV was found at configure time, its cv::fitLine (DIST_L2) and cv::fitEllipse run on
// the same points (as floats, the type they take) so that the ratios come from one run.
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <korm/korm.h>

#ifdef OSTREL_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

enum class Shape { Line, Circle, Ellipse };

std::vector<korm_vect> Points(Shape shape, int n, int outliers)
{
    std::mt19937_64 rng(3);
    std::normal_distribution<double> noise(0, 0.5);
    std::vector<korm_vect> pts;
    for (int i = 0; i < n; ++i) {
        const double t = std::numbers::pi * i / (n - 1) - std::numbers::pi / 2;
        double x = 0, y = 0;
        if (shape == Shape::Line)
            x = 100 + 0.5 * i, y = 200 + 0.2 * i;
        else if (shape == Shape::Circle)
            x = 300 + 50 * std::cos(t), y = 200 + 50 * std::sin(t);
        else
            x = 300 + 60 * std::cos(t) * std::cos(0.4) - 30 * std::sin(t) * std::sin(0.4),
            y = 200 + 60 * std::cos(t) * std::sin(0.4) + 30 * std::sin(t) * std::cos(0.4);
        const bool off = i % (n / std::max(outliers, 1)) == 0 && outliers > 0;
        pts.push_back({x + noise(rng) + (off ? 25 : 0), y + noise(rng) - (off ? 15 : 0)});
    }
    return pts;
}

template <Shape S> void Fit(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0)), k = static_cast<int>(state.range(1));
    const std::vector<korm_vect> pts = Points(S, n, k);
    korm_fitParams params;
    korm_lineFitParams_init(&params);
    params.numToIgnore = k;
    korm_lineFitResult line;
    korm_circleFitResult circle;
    korm_ellipseFitResult ellipse;
    korm_lineFitResult_construct(&line);
    korm_circleFitResult_construct(&circle);
    korm_ellipseFitResult_construct(&ellipse);
    for (auto _ : state) {
        korm_status s;
        if constexpr (S == Shape::Line)
            s = korm_lineFit(pts.data(), n, &params, &line);
        else if constexpr (S == Shape::Circle)
            s = korm_circleFit(pts.data(), n, &params, &circle);
        else
            s = korm_ellipseFit(pts.data(), n, &params, &ellipse);
        if (KORM_FAILED(s))
            state.SkipWithError("fit failed");
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations() * n);
    korm_lineFitResult_destruct(&line);
    korm_circleFitResult_destruct(&circle);
    korm_ellipseFitResult_destruct(&ellipse);
}

#ifdef OSTREL_BENCH_OPENCV
template <Shape S> void OpenCV(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<cv::Point2f> pts;
    for (const korm_vect& p : Points(S, n, 0))
        pts.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    for (auto _ : state) {
        if constexpr (S == Shape::Line) {
            cv::Vec4f line;
            cv::fitLine(pts, line, cv::DIST_L2, 0, 0.01, 0.01);
            benchmark::DoNotOptimize(line);
        } else {
            cv::RotatedRect box = cv::fitEllipse(pts);
            benchmark::DoNotOptimize(box);
        }
    }
    state.SetItemsProcessed(state.iterations() * n);
}
#endif

} // namespace

BENCHMARK(Fit<Shape::Line>)->Args({100, 0})->Args({1000, 0})->Args({10000, 0})->Args({100, 10});
BENCHMARK(Fit<Shape::Circle>)->Args({100, 0})->Args({1000, 0})->Args({10000, 0})->Args({100, 10});
BENCHMARK(Fit<Shape::Ellipse>)->Args({100, 0})->Args({1000, 0})->Args({10000, 0})->Args({100, 10});

#ifdef OSTREL_BENCH_OPENCV
BENCHMARK(OpenCV<Shape::Line>)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(OpenCV<Shape::Ellipse>)->Arg(100)->Arg(1000)->Arg(10000);
#endif
