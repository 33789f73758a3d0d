// The fit entry points: argument checks, the move of the points near the origin, the
// trimmed search, and the results written back in the caller's coordinates.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numbers>

#include <korm/korm.h>

#include "FitCore.h"
#include "TrimmedSearch.h"

namespace {

using namespace korm::core;

struct LineTraits {
    using Model = LineModel;
    static constexpr int kMinimal = 2;
    static constexpr int kTrials = 20;
    static constexpr bool kNeedsStart = false;
    std::optional<Model> Minimal(std::span<const Vec, 2> p) const { return FitLine(p); }
    std::optional<Model> Algebraic(std::span<const Vec> p) const { return FitLine(p); }
    double Rank(const Model& m, Vec p) const { return Distance(m, p); }
    double Exact(const Model& m, Vec p) const { return Distance(m, p); }
    int Final(std::span<const Vec> p, Model& m) const
    {
        auto fit = FitLine(p);
        if (!fit)
            return -1;
        m = *fit;
        return 1;
    }
};

struct CircleTraits {
    using Model = CircleModel;
    static constexpr int kMinimal = 3;
    static constexpr int kTrials = 30;
    static constexpr bool kNeedsStart = true;
    std::optional<double> radius;
    int maxIterations;
    double tol;
    std::optional<Model> Minimal(std::span<const Vec, 3> p) const
    {
        auto m = CircleThrough(p[0], p[1], p[2]);
        if (m && radius)
            m->r = *radius;
        return m;
    }
    std::optional<Model> Algebraic(std::span<const Vec> p) const
    {
        auto m = FitCircleHyper(p);
        if (m && radius) {
            // The Hyper radius is not the one asked for: a few geometric steps place the
            // centre for the given radius.
            m->r = *radius;
            RefineCircle(p, *m, true, 5, tol);
        }
        return m;
    }
    double Rank(const Model& m, Vec p) const { return Distance(m, p); }
    double Exact(const Model& m, Vec p) const { return Distance(m, p); }
    int Final(std::span<const Vec> p, Model& m) const
    {
        return RefineCircle(p, m, radius.has_value(), maxIterations, tol);
    }
};

struct EllipseTraits {
    using Model = EllipseModel;
    static constexpr int kMinimal = 5;
    static constexpr int kTrials = 50;
    static constexpr bool kNeedsStart = true;
    std::optional<double> theta;
    int maxIterations;
    double tol;
    std::optional<Model> Minimal(std::span<const Vec, 5> p) const
    {
        auto m = EllipseThrough(p);
        if (m && theta) {
            if (std::abs(std::cos(m->theta - *theta)) < std::sqrt(0.5))
                std::swap(m->a, m->b);
            m->theta = *theta;
        }
        return m;
    }
    std::optional<Model> Algebraic(std::span<const Vec> p) const { return FitEllipseAlgebraic(p, theta); }
    // Both are called point after point for one model: its rotation and foot-point solver
    // are kept.
    double Rank(const Model& m, Vec p) const
    {
        const Prepared& prepared = PreparedFor(m);
        return SampsonDistance(m, prepared.c, prepared.s, p);
    }
    double Exact(const Model& m, Vec p) const
    {
        const Prepared& prepared = PreparedFor(m);
        const double dx = p.x - m.cx, dy = p.y - m.cy;
        const double u = prepared.c * dx + prepared.s * dy, v = -prepared.s * dx + prepared.c * dy;
        const EllipseFootAngle t = prepared.solver.Cold(u, v);
        const double ex = u - m.a * t.c, ey = v - m.b * t.s;
        return std::sqrt(ex * ex + ey * ey);
    }
    // On a short arc the points hardly constrain the ellipse along one direction (a longer
    // ellipse with its centre moved away from the arc fits almost as well), and the
    // orthogonal-distance minimum along that valley has a heavy tail towards large
    // ellipses. The start is kept when the refinement makes the ellipse larger while the
    // points favour it by less than one noise variance (its sum of squares lower by less
    // than the mean square residual: the two are not told apart by the data, and the
    // smaller errs less), or when it more than doubles the larger radius. On a quarter arc
    // with noise 0.5 px and 200 sets this brings the centre's mean square error at 100
    // points from 680 px² (the start: 562) to 385 px², at 1000 from 37.6 (start 42.7) to
    // 36.9, with medians below the start's; from 10^4 points, and on half arcs, the rule
    // hardly ever applies.
    int Final(std::span<const Vec> p, Model& m) const
    {
        const Model start = m;
        double startSumSq = 0;
        const double startRadius = std::max(start.a, start.b);
        const int iterations = RefineEllipse(p, m, theta.has_value(), maxIterations, tol, &finalSumOfSquares,
                                             &startSumSq, kRunawayGrowth * startRadius);
        if (iterations < 0)
            return iterations;
        const double growth = std::max(m.a, m.b) / startRadius;
        const double freedom = std::max<double>(static_cast<double>(p.size()) - (theta ? 4 : 5), 1);
        if (growth > kRunawayGrowth || (growth > kDoubtfulGrowth && startSumSq - finalSumOfSquares < finalSumOfSquares / freedom)) {
            m = start;
            finalSumOfSquares = startSumSq;
        }
        return iterations;
    }
    // A refinement that grows the larger radius beyond this has run off along the valley (on
    // a quarter arc with 20 points it may take the whole iteration bound doing so); it is
    // stopped there and its start kept.
    static constexpr double kRunawayGrowth = 2;
    // Growth of the larger radius that counts as enlarging the ellipse. Smaller growths are
    // the ordinary correction of the algebraic start's bias, which with many points the
    // refinement makes well (at 1000 points on a quarter arc a threshold of 1 instead keeps
    // the start's centre median, 3.7 px, rather than the refinement's 3.5).
    static constexpr double kDoubtfulGrowth = 1.05;
    // The sum of squared distances of the last Final, which the refinement has at hand.
    double FinalSumOfSquares() const { return finalSumOfSquares; }
    mutable double finalSumOfSquares = 0;
    struct Prepared {
        explicit Prepared(const Model& m)
            : model(m), c(std::cos(m.theta)), s(std::sin(m.theta)), solver(m.a, m.b)
        {
        }
        Model model;
        double c, s;
        EllipseFootSolver solver;
    };
    mutable std::optional<Prepared> cache;
    const Prepared& PreparedFor(const Model& m) const
    {
        if (!cache || cache->model.cx != m.cx || cache->model.cy != m.cy || cache->model.a != m.a ||
            cache->model.b != m.b || cache->model.theta != m.theta)
            cache.emplace(m);
        return *cache;
    }
};

// Where the fits see the caller's points: moved so that the middle of their bounding box
// is the origin and divided by a power of two that brings the largest coordinate into
// [1, 2). Every stage then works on the same numbers wherever the points lie and however
// large or small they are, no square overflows or underflows, and the results differ
// only by the move and the scale, which are exact (a power of two) or a single rounding.
struct Frame {
    Vec ref;
    int exponent = 0; // local = (point - ref) / 2^exponent
    double Up(double length) const { return std::ldexp(length, exponent); }
    double Down(double length) const { return std::ldexp(length, -exponent); }
    Vec Up(Vec p) const { return {Up(p.x) + ref.x, Up(p.y) + ref.y}; }
};

// Checks shared by the three fits; on success `local` holds the points in `frame`.
korm_status Prepare(const korm_vect* points, int32_t count, const korm_fitParams* params, const void* result,
                    int minimum, std::vector<Vec>& local, Frame& frame)
{
    if (!points || !params || !result || count < 0 || params->numToIgnore < 0 || params->maxIterations < 1 ||
        !(params->tolerance >= 0) || (params->constraintEnabled != 0 && params->constraintEnabled != 1))
        return KORM_E_INVALID_ARG;
    if (params->constraintEnabled && !std::isfinite(params->constraintValue))
        return KORM_E_NON_FINITE;
    if (count - params->numToIgnore < minimum) {
        for (int32_t i = 0; i < count; ++i)
            if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y))
                return KORM_E_NON_FINITE;
        return KORM_E_TOO_FEW_POINTS;
    }
    // Plain comparisons rather than fmin and fmax (library calls here): a NaN leaves the
    // bounds alone, and the finiteness check turns the points away anyway.
    bool finite = true;
    Vec lo{HUGE_VAL, HUGE_VAL}, hi{-HUGE_VAL, -HUGE_VAL};
    for (int32_t i = 0; i < count; ++i) {
        const double x = points[i].x, y = points[i].y;
        finite &= std::isfinite(x) & std::isfinite(y);
        lo = {x < lo.x ? x : lo.x, y < lo.y ? y : lo.y};
        hi = {x > hi.x ? x : hi.x, y > hi.y ? y : hi.y};
    }
    if (!finite)
        return KORM_E_NON_FINITE;
    // Halves first, so that neither the middle nor a difference from it overflows; a
    // difference of halves is exact but where a coordinate is subnormal.
    frame.ref = count > 0 ? Vec{lo.x / 2 + hi.x / 2, lo.y / 2 + hi.y / 2} : Vec{};
    const double largest =
        std::fmax(std::fmax(hi.x / 2 - frame.ref.x / 2, frame.ref.x / 2 - lo.x / 2),
                  std::fmax(hi.y / 2 - frame.ref.y / 2, frame.ref.y / 2 - lo.y / 2));
    frame.exponent = largest > 0 ? std::ilogb(largest) + 1 : 0;
    local.resize(static_cast<std::size_t>(count));
    const bool direct = std::isfinite(hi.x - lo.x) && std::isfinite(hi.y - lo.y);
    // A product with 2^-exponent gives what ldexp gives (both round once, where the result
    // is subnormal) while that power is itself a normal double; differences that would
    // overflow are taken of halves.
    const double down = std::abs(frame.exponent) < 1000 ? std::ldexp(1.0, -frame.exponent) : 0;
    const auto toLocal = [&](double v, double ref) {
        return !direct ? frame.Down(v / 2 - ref / 2) * 2 : down != 0 ? (v - ref) * down : frame.Down(v - ref);
    };
    for (int32_t i = 0; i < count; ++i)
        local[i] = Vec{toLocal(points[i].x, frame.ref.x), toLocal(points[i].y, frame.ref.y)};
    return KORM_S_OK;
}

korm_status StoreList(kors_vector32& list, const std::vector<int>& values)
{
    const int32_t n = static_cast<int32_t>(values.size());
    if (n > list.capacity) {
        void* data = std::realloc(list.data, sizeof(int32_t) * static_cast<std::size_t>(n));
        if (!data)
            return KORM_E_OUT_OF_MEMORY;
        list.data = static_cast<int32_t*>(data);
        list.capacity = n;
    }
    if (n > 0)
        std::memcpy(list.data, values.data(), sizeof(int32_t) * static_cast<std::size_t>(n));
    list.size = n;
    return KORM_S_OK;
}

// `scaleTraits(traits, frame)` brings the traits' lengths (a fixed radius) into the frame.
template <class Traits, class Result, class Write, class ScaleTraits>
korm_status Fit(const korm_vect* points, int32_t count, const korm_fitParams* params, Result* result,
                int minimum, Traits traits, Write write, ScaleTraits scaleTraits)
{
    try {
        std::vector<Vec> local;
        Frame frame;
        korm_status status = Prepare(points, count, params, result, minimum, local, frame);
        if (KORM_FAILED(status))
            return status;
        scaleTraits(traits, frame);
        TrimmedSearch<Traits> search(traits, local);
        auto fit = search.Run(params->numToIgnore, params->seed);
        if (!fit)
            return KORM_E_AMBIGUOUS;
        status = StoreList(result->leftOut, fit->leftOut);
        if (KORM_FAILED(status))
            return status;
        result->numUsed = static_cast<int32_t>(fit->kept.size());
        result->iterations = fit->iterations;
        result->rmsError = frame.Up(fit->rms);
        if (!std::isfinite(result->rmsError))
            return KORM_E_NON_FINITE; // the fitted shape lies beyond the range of double
        write(*fit, frame);
        return KORM_S_OK;
    } catch (const std::bad_alloc&) {
        return KORM_E_OUT_OF_MEMORY;
    } catch (...) {
        return KORM_E_FAIL;
    }
}

} // namespace

extern "C" {

korm_status korm_lineFit(const korm_vect* points, int32_t count, const korm_lineFitParams* params,
                         korm_lineFitResult* result)
{
    auto write = [&](const LineModel& m, Vec point) {
        double ux = m.ux, uy = m.uy;
        if (ux < 0 || (ux == 0 && uy < 0)) // direction angle in (-pi/2, pi/2]
            ux = -ux, uy = -uy;
        korm_shapeFLine& line = result->line;
        line.point = {point.x, point.y};
        line.direction = {ux, uy};
        line.angle = std::atan2(uy, ux);
        line.distance = -uy * line.point.x + ux * line.point.y;
    };
    // Every point kept: the fit reads the points in place. Anything unusual (too few points,
    // coinciding or non-finite ones) goes through the checked path for its status.
    if (points && params && result && count >= 2 && params->numToIgnore == 0 && params->maxIterations >= 1 &&
        params->tolerance >= 0 && (params->constraintEnabled == 0 || params->constraintEnabled == 1) &&
        !(params->constraintEnabled && !std::isfinite(params->constraintValue))) {
        if (const auto fit = FitLineInPlace(points, count)) {
            result->leftOut.size = 0;
            result->numUsed = count;
            result->iterations = 1;
            result->rmsError = std::sqrt(fit->sumSq / count);
            write(fit->model, Vec{fit->model.px + points[0].x, fit->model.py + points[0].y});
            return KORM_S_OK;
        }
    }
    return Fit(
        points, count, params, result, 2, LineTraits{},
        [&](const TrimmedFit<LineTraits>& f, const Frame& frame) { write(f.model, frame.Up(Vec{f.model.px, f.model.py})); },
        [](LineTraits&, const Frame&) {});
}

korm_status korm_circleFit(const korm_vect* points, int32_t count, const korm_circleFitParams* params,
                           korm_circleFitResult* result)
{
    if (params && params->constraintEnabled == 1 && params->constraintValue < 0)
        return KORM_E_INVALID_ARG;
    CircleTraits traits{};
    if (params) {
        if (params->constraintEnabled == 1)
            traits.radius = params->constraintValue;
        traits.maxIterations = params->maxIterations;
        traits.tol = params->tolerance;
    }
    const std::optional<double> radius = traits.radius;
    return Fit(
        points, count, params, result, 3, traits,
        [&](const TrimmedFit<CircleTraits>& f, const Frame& frame) {
            const Vec center = frame.Up(Vec{f.model.cx, f.model.cy});
            result->centerX = center.x;
            result->centerY = center.y;
            result->radius = radius ? *radius : frame.Up(f.model.r);
        },
        [](CircleTraits& t, const Frame& frame) {
            if (t.radius)
                t.radius = frame.Down(*t.radius);
        });
}

korm_status korm_ellipseFit(const korm_vect* points, int32_t count, const korm_ellipseFitParams* params,
                            korm_ellipseFitResult* result)
{
    EllipseTraits traits{};
    if (params) {
        if (params->constraintEnabled == 1)
            traits.theta = params->constraintValue;
        traits.maxIterations = params->maxIterations;
        traits.tol = params->tolerance;
    }
    return Fit(points, count, params, result, 5, traits, [&](const TrimmedFit<EllipseTraits>& f, const Frame& frame) {
        const EllipseModel& m = f.model;
        const double c = std::cos(m.theta), s = std::sin(m.theta);
        const double a = frame.Up(m.a), b = frame.Up(m.b);
        const double ia = 1 / (a * a), ib = 1 / (b * b);
        korm_shapeEllipse& e = result->ellipse;
        const Vec center = frame.Up(Vec{m.cx, m.cy});
        e.center = {center.x, center.y};
        e.radii = {a, b};
        e.angle = m.theta;
        e.axisX = {c, s};
        e.axisY = {-s, c};
        e.quadratic[0] = c * c * ia + s * s * ib;
        e.quadratic[1] = 2 * c * s * (ia - ib);
        e.quadratic[2] = s * s * ia + c * c * ib;
        e.reserved = 0;
    }, [](EllipseTraits&, const Frame&) {});
}

} // extern "C"
