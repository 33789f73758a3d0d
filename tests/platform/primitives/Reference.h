#pragma once
// Long double references for the primitive tests, written independently of the code
// under test: dense sampling of the ellipse's angle parameter, then Newton refinement of
// every sampled minimum, the smallest kept.

#include <cmath>
#include <random>
#include <vector>

#include <Ostrel/Vision/Private/TarnEllipse.h>

namespace PrimitiveReference {

using Ostrel::Vision::Private::Point2D;
using Ostrel::Vision::Private::TarnEllipse;
using Real = long double;

struct RPoint {
    Real x, y;
};

inline RPoint Local(const TarnEllipse& e, Point2D p)
{
    const Real c = std::cos(static_cast<Real>(e.Rotation())), s = std::sin(static_cast<Real>(e.Rotation()));
    const Real dx = static_cast<Real>(p.x) - e.CenterX(), dy = static_cast<Real>(p.y) - e.CenterY();
    return {c * dx + s * dy, c * dy - s * dx};
}

inline RPoint World(const TarnEllipse& e, RPoint l)
{
    const Real c = std::cos(static_cast<Real>(e.Rotation())), s = std::sin(static_cast<Real>(e.Rotation()));
    return {e.CenterX() + c * l.x - s * l.y, e.CenterY() + s * l.x + c * l.y};
}

// Distance from p to the outline and the closest point (world), in long double.
inline Real PointEllipse(const TarnEllipse& e, Point2D p, RPoint& closest, int samples = 4096)
{
    const RPoint q = Local(e, p);
    const Real a = e.RadiusX(), b = e.RadiusY();
    const auto dist2 = [&](Real t) {
        const Real dx = a * std::cos(t) - q.x, dy = b * std::sin(t) - q.y;
        return dx * dx + dy * dy;
    };
    // f(t) = (X(t) - q)·X'(t), zero at the extrema of the distance.
    const auto f = [&](Real t) { // written so that the a² and b² terms cancel exactly for a circle
        const Real c = std::cos(t), s = std::sin(t);
        return (b * b - a * a) * c * s + q.x * a * s - q.y * b * c;
    };
    const Real step = 2 * static_cast<Real>(M_PI) / samples;
    std::vector<Real> d(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i)
        d[static_cast<std::size_t>(i)] = dist2(i * step);
    Real best = INFINITY, bestT = 0;
    for (int i = 0; i < samples; ++i) {
        const auto at = [&](int k) { return d[static_cast<std::size_t>((k + samples) % samples)]; };
        if (at(i) > at(i - 1) || at(i) > at(i + 1))
            continue;
        Real lo = (i - 1) * step, hi = (i + 1) * step;
        if (f(lo) > 0 || f(hi) < 0)
            lo = hi = i * step;
        for (int k = 0; k < 200 && hi - lo > 0; ++k) {
            const Real mid = (lo + hi) / 2;
            if (mid == lo || mid == hi)
                break;
            (f(mid) < 0 ? lo : hi) = mid;
        }
        const Real t = (lo + hi) / 2;
        if (dist2(t) < best)
            best = dist2(t), bestT = t;
    }
    closest = World(e, {a * std::cos(bestT), b * std::sin(bestT)});
    return std::sqrt(best);
}

inline Real Gap(RPoint a, Point2D b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace PrimitiveReference
