// Cost of the point fits: per point for lines, per fit for circles and ellipses at 100 and
// 1000 points (half arcs, noise 0.5 px), and the outlier search at n = 100, k = 10. Where
// OpenCV was found at configure time (scripts/install-deps --bench-extras), its
// cv::fitLine (DIST_L2) and cv::fitEllipse run on the same points, and its three ellipse fits
// on the short arcs, as floats (the type they take), so that the ratios come from one run.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <Eigen/Dense>

#include <benchmark/benchmark.h>

#include <korm/korm.h>

// The algebraic start, measured beside the fit it starts.
#include "../fitting/src/FitCore.h"

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

// Ellipse fits on short arcs: 200 noisy point sets (σ = 0.5 px) on a quarter or a half of
// the ellipse (300, 200, 60, 30, 0.4), n = 20 to 10^4 points spread evenly over the arc.
// The arcs are centred on the end of the long axis. The geometric fit (korm_ellipseFit)
// and its algebraic start run on the same sets; the iteration time is one fit, and the
// counters give the median, 95th percentile and mean square of the centre, axis and angle
// errors beside the Cramér–Rao bound of each mean square, and the fit's mean iterations.
struct ArcSets {
    static constexpr double cx = 300, cy = 200, a = 60, b = 30, theta = 0.4, sigma = 0.5;
    static constexpr int kSets = 200;
    std::vector<std::vector<korm_vect>> sets;
    double crbCentre = 0, crbAxes = 0, crbAngle = 0;

    ArcSets(double arc, int n)
    {
        std::mt19937_64 rng(7);
        std::normal_distribution<double> noise(0, sigma);
        const double c = std::cos(theta), s = std::sin(theta);
        Eigen::Matrix<double, 5, 5> fisher = Eigen::Matrix<double, 5, 5>::Zero();
        for (int i = 0; i < n; ++i) {
            const double t = arc * i / (n - 1) - arc / 2, ct = std::cos(t), st = std::sin(t);
            // Normal distance's gradient at the true ellipse: n·dX/d(cx, cy, a, b, theta).
            const double nx = b * ct, ny = a * st, len = std::hypot(nx, ny), lx = nx / len, ly = ny / len;
            Eigen::Matrix<double, 5, 1> j;
            j << c * lx - s * ly, s * lx + c * ly, lx * ct, ly * st, -lx * b * st + ly * a * ct;
            fisher += j * j.transpose() / (sigma * sigma);
        }
        const Eigen::Matrix<double, 5, 5> crb = fisher.inverse();
        crbCentre = crb(0, 0) + crb(1, 1);
        crbAxes = crb(2, 2) + crb(3, 3);
        crbAngle = crb(4, 4);
        for (int k = 0; k < kSets; ++k) {
            std::vector<korm_vect> pts;
            for (int i = 0; i < n; ++i) {
                const double t = arc * i / (n - 1) - arc / 2, x = a * std::cos(t), y = b * std::sin(t);
                pts.push_back({cx + c * x - s * y + noise(rng), cy + s * x + c * y + noise(rng)});
            }
            sets.push_back(std::move(pts));
        }
    }

    // Squared centre, axis and angle errors of a fit, the axes taken in canonical order.
    static std::array<double, 3> Errors(double x, double y, double ra, double rb, double angle)
    {
        if (ra < rb) {
            std::swap(ra, rb);
            angle += std::numbers::pi / 2;
        }
        const double turn = std::remainder(angle - theta, std::numbers::pi);
        return {(x - cx) * (x - cx) + (y - cy) * (y - cy), (ra - a) * (ra - a) + (rb - b) * (rb - b),
                turn * turn};
    }

    void Report(benchmark::State& state, const std::string& prefix,
                std::vector<std::array<double, 3>> errors) const
    {
        const char* names[3] = {"centre", "axes", "angle"};
        const double bounds[3] = {crbCentre, crbAxes, crbAngle};
        for (std::size_t q = 0; q < 3; ++q) {
            std::vector<double> e;
            double sum = 0;
            for (const auto& x : errors) {
                e.push_back(std::sqrt(x[q]));
                sum += x[q];
            }
            std::sort(e.begin(), e.end());
            state.counters[prefix + names[q] + "_med"] = e[e.size() / 2];
            state.counters[prefix + names[q] + "_p95"] = e[e.size() * 95 / 100];
            state.counters[prefix + names[q] + "_mse"] = sum / static_cast<double>(e.size());
            if (prefix == "fit_")
                state.counters[std::string("crb_") + names[q] + "_mse"] = bounds[q];
        }
    }
};

void EllipseArc(benchmark::State& state)
{
    const double arc = state.range(0) == 4 ? std::numbers::pi / 2 : std::numbers::pi;
    const ArcSets data(arc, static_cast<int>(state.range(1)));
    korm_fitParams params;
    korm_lineFitParams_init(&params);
    korm_ellipseFitResult result;
    korm_ellipseFitResult_construct(&result);
    std::size_t k = 0;
    for (auto _ : state) {
        const auto& pts = data.sets[k++ % data.sets.size()];
        benchmark::DoNotOptimize(korm_ellipseFit(pts.data(), static_cast<int>(pts.size()), &params, &result));
    }
    std::vector<std::array<double, 3>> fit, start;
    double iterations = 0;
    for (const auto& pts : data.sets) {
        if (KORM_FAILED(korm_ellipseFit(pts.data(), static_cast<int>(pts.size()), &params, &result)))
            continue;
        const korm_shapeEllipse& e = result.ellipse;
        fit.push_back(ArcSets::Errors(e.center.x, e.center.y, e.radii.x, e.radii.y, e.angle));
        iterations += result.iterations;
        std::vector<korm::core::Vec> v;
        for (const korm_vect& p : pts)
            v.push_back({p.x, p.y});
        if (const auto m = korm::core::FitEllipseAlgebraic(v, std::nullopt))
            start.push_back(ArcSets::Errors(m->cx, m->cy, m->a, m->b, m->theta));
    }
    data.Report(state, "fit_", fit);
    data.Report(state, "alg_", start);
    state.counters["iterations"] = iterations / static_cast<double>(fit.size());
    korm_ellipseFitResult_destruct(&result);
}

// The algebraic start alone on the same sets, for the ratio of the times.
void EllipseArcAlgebraic(benchmark::State& state)
{
    const double arc = state.range(0) == 4 ? std::numbers::pi / 2 : std::numbers::pi;
    const ArcSets data(arc, static_cast<int>(state.range(1)));
    std::vector<std::vector<korm::core::Vec>> sets;
    for (const auto& pts : data.sets) {
        sets.emplace_back();
        for (const korm_vect& p : pts)
            sets.back().push_back({p.x, p.y});
    }
    std::size_t k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(korm::core::FitEllipseAlgebraic(sets[k++ % sets.size()], std::nullopt));
}

// Arcs: 4 a quarter, 2 a half.
BENCHMARK(EllipseArc)->ArgsProduct({{4, 2}, {20, 100, 1000, 10000}})->ArgNames({"arc", "n"});
BENCHMARK(EllipseArcAlgebraic)->ArgsProduct({{4, 2}, {20, 100, 1000, 10000}})->ArgNames({"arc", "n"});

#ifdef OSTREL_BENCH_OPENCV
// OpenCV's three ellipse fits on the same arcs (as floats), with the same error figures:
// 0 fitEllipse (its default algebraic fit), 1 fitEllipseAMS (approximate mean square),
// 2 fitEllipseDirect (Fitzgibbon's direct fit).
void EllipseArcOpenCV(benchmark::State& state)
{
    const double arc = state.range(0) == 4 ? std::numbers::pi / 2 : std::numbers::pi;
    const ArcSets data(arc, static_cast<int>(state.range(1)));
    const int method = static_cast<int>(state.range(2));
    std::vector<std::vector<cv::Point2f>> sets;
    for (const auto& pts : data.sets) {
        sets.emplace_back();
        for (const korm_vect& p : pts)
            sets.back().emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    }
    auto fit = [method](const std::vector<cv::Point2f>& pts) {
        return method == 0 ? cv::fitEllipse(pts) : method == 1 ? cv::fitEllipseAMS(pts) : cv::fitEllipseDirect(pts);
    };
    std::size_t k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fit(sets[k++ % sets.size()]));
    // RotatedRect: full axis lengths, the angle in degrees of the first one.
    std::vector<std::array<double, 3>> errors;
    for (const auto& pts : sets) {
        const cv::RotatedRect r = fit(pts);
        errors.push_back(ArcSets::Errors(r.center.x, r.center.y, r.size.width / 2.0, r.size.height / 2.0,
                                         r.angle * std::numbers::pi / 180));
    }
    data.Report(state, "cv_", errors);
}
BENCHMARK(EllipseArcOpenCV)
    ->ArgsProduct({{4, 2}, {20, 100, 1000, 10000}, {0, 1, 2}})
    ->ArgNames({"arc", "n", "method"});
#endif

} // namespace

BENCHMARK(Fit<Shape::Line>)->Args({100, 0})->Args({1000, 0})->Args({10000, 0})->Args({100, 10});
BENCHMARK(Fit<Shape::Circle>)->Args({100, 0})->Args({1000, 0})->Args({10000, 0})->Args({100, 10});
BENCHMARK(Fit<Shape::Ellipse>)->Args({100, 0})->Args({1000, 0})->Args({10000, 0})->Args({100, 10});

#ifdef OSTREL_BENCH_OPENCV
BENCHMARK(OpenCV<Shape::Line>)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(OpenCV<Shape::Ellipse>)->Arg(100)->Arg(1000)->Arg(10000);
#endif
