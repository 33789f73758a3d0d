// The distance between two ellipse outlines that do not meet, from their support
// functions: the widest gap between parallel support lines for ellipses apart, the
// narrowest on one side for one nested in the other.
#include <Ostrel/Vision/Private/RoundShapes.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>

#include "EllipsePair.h"

namespace Ostrel::Vision::Private::EllipsePair {

namespace {

// The support function of an ellipse about its centre along the unit direction
// n = (c, s), h(n) = max over the outline of n·(X - centre), and its first two derivatives
// as n turns. In the ellipse's axes, with n = (nx, ny) there, h = √(rx² nx² + ry² ny²), a
// sum of squares that loses nothing for thin ellipses; h + h'' is the radius of curvature
// at the touching point, rx² ry² / h³.
class SupportFunction {
public:
    explicit SupportFunction(const TarnEllipse& e)
        : e_(e), cr_(e.CosRotation()), sr_(e.SinRotation()), rx2_(e.RadiusX() * e.RadiusX()),
          ry2_(e.RadiusY() * e.RadiusY()), product2_(rx2_ * ry2_)
    {
    }
    struct Value {
        double h, h1, h2;
    };
    // h alone, free of overflow for any size: half the width across n.
    double Width(double c, double s) const
    {
        return Hypot(e_.RadiusX() * (cr_ * c + sr_ * s), e_.RadiusY() * (cr_ * s - sr_ * c));
    }
    Value At(double c, double s) const
    {
        const double nx = cr_ * c + sr_ * s, ny = cr_ * s - sr_ * c;
        const double q = rx2_ * nx * nx + ry2_ * ny * ny, ih = 1 / std::sqrt(q), h = q * ih;
        return {h, (ry2_ - rx2_) * nx * ny * ih, product2_ * (ih * ih * ih) - h};
    }
    // The outline point where the support line with outer normal (c, s) touches.
    Point2D TouchingPoint(double c, double s) const
    {
        const double nx = cr_ * c + sr_ * s, ny = cr_ * s - sr_ * c;
        const double ih = 1 / std::sqrt(rx2_ * nx * nx + ry2_ * ny * ny);
        return e_.ToWorld({rx2_ * nx * ih, ry2_ * ny * ih});
    }

private:
    const TarnEllipse& e_;
    double cr_, sr_, rx2_, ry2_, product2_;
};

// A Newton step this small (radians) is the last: near a minimum Newton's error squares at
// each step, so after it the angle is right to rounding.
constexpr double kFinalStep = 1e-9;
// Steps of the descent over directions; Newton converges in a handful from a sampled start.
constexpr int kMaxDirectionSteps = 60;
// Halvings of a step that fails to descend.
constexpr int kMaxHalvings = 50;

// A local minimum of F over the direction (c, s), from the given start: Newton steps on F',
// each bounded by `maxStep` and halved until it lowers F by more than its rounding `noise`
// allows; where F is concave the step goes downhill by maxStep. Ends after a Newton step
// below kFinalStep, when the step falls below the angle resolution, or when, below 1e-6
// rad, steps stop shrinking (they then follow the rounding of F' alone). F(c, s) returns F
// and its first two derivatives as a SupportFunction::Value. Returns whether it converged;
// (c, s) comes back as a unit vector, `value` as F there.
template <class F> bool Descend(const F& f, double& c, double& s, double maxStep, double noise, double& value)
{
    auto current = f(c, s);
    double lastStep = std::numeric_limits<double>::infinity();
    for (int it = 0; it < kMaxDirectionSteps; ++it) {
        const bool newton = current.h2 > 0;
        double step = newton ? -current.h1 / current.h2 : (current.h1 > 0 ? -maxStep : maxStep);
        step = std::clamp(step, -maxStep, maxStep);
        const bool settled = std::fabs(step) <= kAngleResolution ||
                             (std::fabs(step) < 1e-6 && std::fabs(step) > 0.5 * lastStep) ||
                             (std::fabs(current.h1) <= noise && current.h2 >= -noise);
        const bool last = !settled && newton && std::fabs(step) <= kFinalStep;
        value = current.h;
        if (last) {
            Turn(c, s, step);
            value += 0.5 * step * current.h1; // the decrease the last Newton step makes
        }
        if (settled || last) {
            const double length = Hypot(c, s);
            c /= length;
            s /= length;
            return true;
        }
        bool accepted = false;
        for (int k = 0; k < kMaxHalvings && !accepted; ++k) {
            double nc = c, ns = s;
            Turn(nc, ns, step);
            const auto next = f(nc, ns);
            if (!(next.h <= current.h + noise)) {
                step *= 0.5;
                continue;
            }
            accepted = true;
            c = nc, s = ns, current = next;
        }
        if (!accepted)
            return false;
        lastStep = std::fabs(step);
    }
    return false;
}

// The minimum in (0, w) of the cubic through F and F' at both ends of a bracket (F'(0) < 0
// < F'(w)): a start for the search.
double CubicMinimum(const SupportFunction::Value& a, const SupportFunction::Value& b, double w)
{
    const double d1 = a.h1 + b.h1 - 3 * (b.h - a.h) / w;
    const double d2 = std::sqrt(d1 * d1 - a.h1 * b.h1);
    const double t = w - w * (b.h1 + d2 - d1) / (b.h1 - a.h1 + 2 * d2);
    return std::isfinite(t) ? std::clamp(t, 0.0, w) : 0.5 * w;
}

// A local minimum of F over the directions turned from (c0, s0) by an angle in [0, width],
// where F' < 0 at 0 and F' > 0 at width: Newton steps on F' kept inside the shrinking
// bracket, bisection where a step would leave it, from the angle `start`. Ends as Descend
// does. Returns whether it converged, with (c, s) the unit direction at the minimum and
// `value` F there.
template <class F>
bool MinimiseInBracket(const F& f, double c0, double s0, double width, double start, double& c, double& s,
                       double& value)
{
    double lo = 0, hi = width, x = start;
    c = c0, s = s0;
    Turn(c, s, x);
    double lastStep = std::numeric_limits<double>::infinity();
    for (int it = 0; it < kMaxDirectionSteps; ++it) {
        const auto v = f(c, s);
        value = v.h;
        (v.h1 < 0 ? lo : hi) = x;
        const double newton = v.h2 > 0 ? -v.h1 / v.h2 : std::numeric_limits<double>::infinity();
        double next = x + newton;
        const bool isNewton = next > lo && next < hi;
        if (!isNewton)
            next = 0.5 * (lo + hi);
        const double step = next - x;
        const bool stalled = isNewton && std::fabs(step) < 1e-6 && std::fabs(step) > 0.5 * lastStep;
        if ((isNewton && std::fabs(step) <= kAngleResolution) || hi - lo <= kAngleResolution || stalled)
            break;
        lastStep = isNewton ? std::fabs(step) : std::numeric_limits<double>::infinity();
        Turn(c, s, step);
        x = next;
        if (isNewton && std::fabs(step) <= kFinalStep) {
            value += 0.5 * step * v.h1; // the decrease the last Newton step makes
            break;
        }
        if (it + 1 == kMaxDirectionSteps)
            return false;
    }
    const double length = Hypot(c, s);
    c /= length;
    s /= length;
    return true;
}

} // namespace

bool SeparatedAlongCentres(const TarnEllipse& a, const TarnEllipse& b)
{
    const Point2D d{b.CenterX() - a.CenterX(), b.CenterY() - a.CenterY()};
    const double length = Hypot(d.x, d.y);
    if (!(length > 0 && std::isfinite(length)))
        return false;
    const Point2D n{d.x / length, d.y / length};
    const double widths = SupportFunction(a).Width(n.x, n.y) + SupportFunction(b).Width(n.x, n.y);
    return length - widths > 1e-10 * (length + widths);
}

bool DistanceBySupport(const TarnEllipse& small, const TarnEllipse& large, bool nested, bool separated,
                       bool bracketsApart, Point2D& onSmall, Point2D& onLarge, double& distance)
{
    const SupportFunction hs(small), hl(large);
    const Point2D delta{large.CenterX() - small.CenterX(), large.CenterY() - small.CenterY()};
    const double size = Length(delta) + std::max(small.RadiusX(), small.RadiusY()) +
                        std::max(large.RadiusX(), large.RadiusY());
    const double noise = 16 * std::numeric_limits<double>::epsilon() * size;
    // F = sign·n·Δ + h_large + weight·h_small.
    const double sign = nested ? 1 : -1, weight = -sign;
    // F at n and at -n: the supports repeat after half a turn, n·Δ changes sign.
    const auto gapBoth = [&](double c, double s, SupportFunction::Value& atN,
                             SupportFunction::Value& opposite) {
        const auto vs = hs.At(c, s), vl = hl.At(c, s);
        const double along = sign * (c * delta.x + s * delta.y), across = sign * (c * delta.y - s * delta.x);
        const double h = vl.h + weight * vs.h, h1 = vl.h1 + weight * vs.h1, h2 = vl.h2 + weight * vs.h2;
        atN = {along + h, across + h1, h2 - along};
        opposite = {h - along, h1 - across, h2 + along};
    };
    const auto gap = [&](double c, double s) {
        SupportFunction::Value atN, opposite;
        gapBoth(c, s, atN, opposite);
        return atN;
    };
    double best = std::numeric_limits<double>::infinity(), bestC = 0, bestS = 0;
    const auto keep = [&](double c, double s, double v) {
        if (v < best)
            best = v, bestC = c, bestS = s;
    };
    // The gap at the best direction is the distance, formed from the centres' offset and
    // so free of the rounding of world coordinates far from the origin. The touching points
    // should lie that far apart; where a very thin ellipse touches along its long side they
    // move along it faster than the direction can be resolved, and Newton on both outline
    // angles then polishes the pair from them.
    const double placement = 8 * std::numeric_limits<double>::epsilon() *
                             std::max({std::fabs(small.CenterX()), std::fabs(small.CenterY()),
                                       std::fabs(large.CenterX()), std::fabs(large.CenterY())});
    const double tolerance = 1e-12 * size + placement;
    const auto finish = [&]() {
        if (!(nested ? best > 0 : best < 0))
            return false;
        distance = std::fabs(best);
        onSmall = hs.TouchingPoint(bestC, bestS);
        onLarge = hl.TouchingPoint(nested ? bestC : -bestC, nested ? bestS : -bestS);
        if (std::fabs(Distance(onSmall, onLarge) - distance) <= tolerance)
            return std::isfinite(distance);
        const Outline os{small, {small.CenterX(), small.CenterY()}},
            ol{large, {large.CenterX(), large.CenterY()}};
        double phi = ParameterOf(small, onSmall), psi = ParameterOf(large, onLarge);
        RefinePair(os, ol, phi, psi, onSmall, onLarge);
        // There the support of the thin one is resolved only to about ε/w (w its width
        // ratio), and the polished pair, a stationary pair of the outlines, is the better
        // measure when it agrees.
        const double polished = Distance(onSmall, onLarge);
        if (!(std::fabs(polished - distance) <= 10 * tolerance))
            return false;
        distance = polished;
        return std::isfinite(distance);
    };
    constexpr int n = kStartPieces;
    constexpr double spacing = kTwoPi / n;
    if (separated) {
        const double length = Length(delta);
        double c = delta.x / length, s = delta.y / length;
        double v;
        if (!Descend(gap, c, s, spacing, noise, v))
            return false;
        keep(c, s, v);
        return finish();
    }
    // F at the even directions, opposite ones together.
    struct Direction {
        double angle, c, s;
        SupportFunction::Value f;
    };
    const AngleTables& t = Tables();
    std::array<Direction, n> even;
    for (std::size_t k = 0; k < n / 2; ++k) {
        const double c = t.sampleCos[k], s = t.sampleSin[k];
        even[k] = {spacing * static_cast<double>(k), c, s, {}};
        even[k + n / 2] = {spacing * static_cast<double>(k) + std::numbers::pi, -c, -s, {}};
        gapBoth(c, s, even[k].f, even[k + n / 2].f);
    }
    const auto lowest = [](const auto& first, const auto& last) {
        return std::min_element(first, last, [](const auto& x, const auto& y) { return x.f.h < y.f.h; });
    };
    // Apart, a direction with D > 0 lies where D is concave, below its one maximum there.
    const auto ascendFrom = [&](const Direction& start) {
        double c = start.c, s = start.s, v;
        if (!Descend(gap, c, s, spacing, noise, v))
            return false;
        keep(c, s, v);
        return finish();
    };
    if (nested) {
        // A support line of the smaller one beyond the larger one's shows them crossing.
        if (!(lowest(even.begin(), even.end())->f.h > 0))
            return false;
    } else {
        const Direction& top = *lowest(even.begin(), even.end());
        if (top.f.h < 0)
            return ascendFrom(top);
        // No even direction separates them: most often they cross.
        if (!bracketsApart)
            return false;
    }
    // Within kw of a normal to the major axis of a thin ellipse (w its minor/major ratio)
    // its support turns sharply, h'' ≈ (major/w)(1 + k²)^-1.5. Where that outweighs the
    // curvature of the rest of F, F is convex about that normal when the support counts
    // positively (one minimum) and concave when it counts negatively (a maximum, with
    // minima possibly just beyond). One sample on each side where the two balance makes
    // the slope of F change sign between neighbouring samples around each of those minima.
    std::array<Direction, 8> extra;
    std::size_t extras = 0;
    // Rounder ellipses turn no faster than the even samples resolve.
    const auto addNormals = [&](const TarnEllipse& e, const SupportFunction& other, double otherPart) {
        const bool wide = e.RadiusX() >= e.RadiusY();
        const double major = std::max(e.RadiusX(), e.RadiusY()),
                     w = std::min(e.RadiusX(), e.RadiusY()) / major;
        if (w >= 0.5)
            return;
        double nc = wide ? -e.SinRotation() : e.CosRotation(), ns = wide ? e.CosRotation() : e.SinRotation();
        // From the rotation's cos and sin, which were reduced exactly even for a huge angle.
        double normal = std::atan2(e.SinRotation(), e.CosRotation()) + (wide ? 0.5 * std::numbers::pi : 0);
        const double otherCurvature = otherPart * other.At(nc, ns).h2; // the same on both sides
        for (int side = 0; side < 2; ++side, nc = -nc, ns = -ns, normal += std::numbers::pi) {
            // The curvature of the rest of F, against which this support's must count: the
            // support counts positively in F unless it is the smaller one's when nested.
            const double rest = -sign * (nc * delta.x + ns * delta.y) + otherCurvature;
            const double balance = &e == &large || !nested ? -rest : rest;
            const double ratio = major / (w * balance);
            const double k = balance > 0 ? std::sqrt(std::max(0.25, std::cbrt(ratio * ratio) - 1)) : 4;
            const double aside = std::min(k * w, 0.25 * spacing);
            for (const double turn : {-aside, aside}) {
                double c = nc, s = ns;
                Turn(c, s, turn);
                const double a = normal + turn, angle = a - kTwoPi * std::floor(a / kTwoPi);
                // Kept in order of angle.
                std::size_t at = extras++;
                for (; at > 0 && extra[at - 1].angle > angle; --at)
                    extra[at] = extra[at - 1];
                extra[at] = {angle < kTwoPi ? angle : 0, c, s, gap(c, s)};
            }
        }
    };
    if (!nested)
        addNormals(large, hs, weight);
    addNormals(small, hl, 1);
    // All samples in order of angle, with F and its derivatives.
    std::array<Direction, n + 8> sample;
    std::size_t count = 0;
    for (std::size_t k = 0, e = 0; k < n || e < extras; ++count) {
        sample[count] = e < extras && (k == n || extra[e].angle < even[k].angle) ? extra[e++] : even[k++];
        // Nested, a crossing again; not finite, the search cannot go on.
        if ((nested && !(sample[count].f.h > 0)) || !std::isfinite(sample[count].f.h1))
            return false;
    }
    const auto end = sample.begin() + static_cast<std::ptrdiff_t>(count);
    if (!nested) {
        const Direction& top = *lowest(sample.begin(), end);
        if (top.f.h < 0)
            return ascendFrom(top);
    }
    // The brackets, the most promising first (lowest F at an end).
    std::array<std::size_t, n + 8> brackets;
    std::size_t bracketCount = 0;
    const auto lowEnd = [&](std::size_t k) { return std::min(sample[k].f.h, sample[(k + 1) % count].f.h); };
    for (std::size_t k = 0; k < count; ++k) {
        if (!(sample[k].f.h1 < 0 && sample[(k + 1) % count].f.h1 >= 0))
            continue;
        std::size_t at = bracketCount++;
        for (; at > 0 && lowEnd(brackets[at - 1]) > lowEnd(k); --at)
            brackets[at] = brackets[at - 1];
        brackets[at] = k;
    }
    for (std::size_t b = 0; b < bracketCount; ++b) {
        const std::size_t k = brackets[b], next = (k + 1) % count;
        const double width = sample[next].angle - sample[k].angle + (next == 0 ? kTwoPi : 0);
        double c, s, v;
        if (!(width > 0 && MinimiseInBracket(gap, sample[k].c, sample[k].s, width,
                                             CubicMinimum(sample[k].f, sample[next].f, width), c, s, v)))
            return false;
        keep(c, s, v);
        // Apart, the first maximum of D above 0 is the only one; the two most promising
        // brackets without one leave a crossing likely, which the crossing search settles.
        if (!nested && (best < 0 || b == 1))
            return finish();
    }
    if (best == std::numeric_limits<double>::infinity()) {
        // No slope changes sign: F is constant to its rounding (concentric circles).
        const Direction& bottom = *lowest(sample.begin(), end);
        if (!(std::fabs(bottom.f.h1) <= noise))
            return false;
        keep(bottom.c, bottom.s, bottom.f.h);
    }
    return finish();
}

} // namespace Ostrel::Vision::Private::EllipsePair
