// The distance between two ellipse outlines by sampling the smaller one, measured exactly
// to the larger, and refining the best pairs by damped Newton on both angles; the fallback
// of the support search, and the method for zero-width ellipses.
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

// Samples of the smaller outline, measured exactly to the larger one, for the starting
// pairs of the distance search; they include the ends of both axes.
constexpr int kDistanceSamples = 16;
// Local minima of the sampled distances refined by Newton, the nearest first.
constexpr int kDistanceStarts = 3;
// Damped Newton steps on the pair of angles; each either lowers the squared distance or
// raises the damping, and the step shrinks below kAngleResolution near the minimum.
constexpr int kMaxDistanceSteps = 60;
// Bisection-secant steps of the slower, bracketed search.
constexpr int kMaxBracketSteps = 80;

// The minimum of the distance from the outline point Xs(φ) of `small` to the outline of
// `large`, for φ in [lo, hi] where its slope h(φ) = Xs'·(Xs - Y) (Y the nearest point of
// `large`) goes from negative to positive: bisection with a secant guess, each step
// measuring exactly to `large`. Slower than Newton on both angles, and used where that
// did not converge (an extremely sharp tip of one outline close to the other).
double BracketedMinimum(const TarnEllipse& small, const TarnEllipse& large, double lo, double hi, Point2D& x,
                        Point2D& y)
{
    const auto slopeAt = [&](double phi) {
        const double c = std::cos(phi), s = std::sin(phi);
        x = OutlinePoint(small, c, s);
        large.DistanceToPoint(x, y);
        const Point2D tangent = small.ToWorld({-small.RadiusX() * s, small.RadiusY() * c}) -
                                Point2D{small.CenterX(), small.CenterY()};
        return Dot(tangent, x - y);
    };
    double slo = slopeAt(lo), shi = slopeAt(hi);
    if (slo <= 0 && shi >= 0) {
        for (int k = 0; k < kMaxBracketSteps && hi - lo > kAngleResolution; ++k) {
            double mid = lo + (hi - lo) * (slo / (slo - shi));
            if (!(mid > lo + 0.05 * (hi - lo) && mid < hi - 0.05 * (hi - lo)))
                mid = 0.5 * (lo + hi);
            const double sm = slopeAt(mid);
            if (sm == 0) {
                lo = hi = mid;
                break;
            }
            (sm < 0 ? lo : hi) = mid;
            (sm < 0 ? slo : shi) = sm;
        }
    }
    x = OutlinePoint(small, 0.5 * (lo + hi));
    return large.DistanceToPoint(x, y);
}

// Bounds of the distance from a point to the outline of an ellipse (both radii positive)
// without solving for the closest point, and an outline point to start from. With q the
// point in the ellipse's axes, ρ = |(qx/rx, qy/ry)| (1 on the outline) and w the length of
// its gradient direction (qx/rx², qy/ry²), the outline point with that normal has a
// support line at the gap |ρ - 1|·ρ / w from the point. Outside, every support line
// separates the point from the outline, so the gap (and a second one, across the
// direction to that outline point) bounds the distance from below. Inside, the gap bounds
// it from above, along with the radial point q/ρ, and the lower bound comes from the
// filled ellipse holding the point's level set widened by (1 - ρ) times the smaller
// radius, or from the slope of ρ² on the way out. Where a ratio would overflow or vanish
// the bounds are left open (0 and ∞).
struct SampleBounds {
    const TarnEllipse& e;
    double irx, iry, rx2, ry2, minor, iMinor2;
    explicit SampleBounds(const TarnEllipse& large)
        : e(large), irx(large.RadiusX() > 0 ? 1 / large.RadiusX() : 0),
          iry(large.RadiusY() > 0 ? 1 / large.RadiusY() : 0), rx2(large.RadiusX() * large.RadiusX()),
          ry2(large.RadiusY() * large.RadiusY()), minor(std::min(large.RadiusX(), large.RadiusY())),
          iMinor2(minor > 0 ? 1 / (minor * minor) : 0)
    {
    }

    // `q` is the point in the ellipse's axes; `start` comes back in the same axes.
    // For a point inside, `rise` = (1 - ρ²)/2 and `slope` = w give the lower bound
    // rise / (slope + u / (smaller radius)²) of any distance not above u; else both are 0.
    void operator()(const Point2D& q, double& lower, double& upper, Point2D& start, double& rise,
                    double& slope) const
    {
        rise = slope = 0;
        const double ux = q.x * irx, uy = q.y * iry, wx = ux * irx, wy = uy * iry;
        const double rho2 = ux * ux + uy * uy, w2 = wx * wx + wy * wy;
        lower = 0;
        upper = std::numeric_limits<double>::infinity();
        start = q;
        if (!(rho2 > 0 && w2 > 0 && rho2 < std::numeric_limits<double>::infinity() &&
              w2 < std::numeric_limits<double>::infinity()))
            return;
        const double rho = std::sqrt(rho2), iw = 1 / std::sqrt(w2);
        const double off = std::fabs(rho - 1);
        const double gap = off * rho * iw;
        // The outline point whose normal is the point's level-set normal (wx, wy)/w.
        const double nx = wx * iw, ny = wy * iw;
        const double iSupport = 1 / std::sqrt(rx2 * nx * nx + ry2 * ny * ny);
        const Point2D onNormal{rx2 * nx * iSupport, ry2 * ny * iSupport};
        const double toNormal = Distance(q, onNormal);
        Point2D local = onNormal;
        if (rho <= 1) {
            const double iRho = 1 / rho;
            const Point2D onRadial{q.x * iRho, q.y * iRho};
            const double toRadial = Distance(q, onRadial);
            upper = std::min({toNormal, toRadial, gap});
            local = toRadial < toNormal ? onRadial : onNormal;
            // g = ρ² - 1 rises from g(q) to 0 on the way to the nearest outline point, which
            // lies within `upper`; on that way |∇g| <= 2w + 2·upper / (smaller radius)².
            rise = 0.5 * (1 - rho) * (1 + rho);
            slope = w2 * iw;
            lower = std::max((1 - rho) * minor, rise / (slope + upper * iMinor2));
        } else {
            upper = toNormal;
            lower = gap;
            if (toNormal > 0) {
                // One more support line, across the direction from the outline point just
                // found: for a point outside, the normal of the nearest point is the limit
                // of this step.
                const double iTo = 1 / toNormal;
                const Point2D m{(q.x - onNormal.x) * iTo, (q.y - onNormal.y) * iTo};
                const double h = std::sqrt(rx2 * m.x * m.x + ry2 * m.y * m.y), iH = 1 / h;
                lower = std::max(lower, Dot(m, q) - h);
                const Point2D onM{rx2 * m.x * iH, ry2 * m.y * iH};
                const double toM = Distance(q, onM);
                if (toM < upper)
                    upper = toM, local = onM;
            }
        }
        start = local;
        if (!(std::isfinite(lower) && std::isfinite(upper) && std::isfinite(start.x) &&
              std::isfinite(start.y))) {
            lower = 0;
            upper = std::numeric_limits<double>::infinity();
            start = q;
        }
    }
};

} // namespace

double ParameterOf(const TarnEllipse& e, const Point2D& point)
{
    const Point2D l = e.ToLocal(point);
    const double rx = e.RadiusX(), ry = e.RadiusY();
    if (rx > 0 && ry > 0)
        return std::atan2(l.y / ry, l.x / rx);
    if (rx > 0)
        return std::acos(std::clamp(l.x / rx, -1.0, 1.0));
    if (ry > 0)
        return std::asin(std::clamp(l.y / ry, -1.0, 1.0));
    return 0;
}

bool RefinePair(const Outline& oa, const Outline& ob, double& phi, double& psi, Point2D& xa, Point2D& xb)
{
    double ca = std::cos(phi), sa = std::sin(phi), cb = std::cos(psi), sb = std::sin(psi);
    Point2D ta, tb;
    oa.At(ca, sa, xa, ta);
    ob.At(cb, sb, xb, tb);
    Point2D r = xa - xb;
    double f = Dot(r, r);
    double lambda = 0;
    const auto finish = [&](bool converged) {
        // The points from the library's cos and sin of the final angles: the rotated pairs
        // of the steps may have drifted by a few ulps off the unit circle.
        oa.At(std::cos(phi), std::sin(phi), xa, ta);
        ob.At(std::cos(psi), std::sin(psi), xb, tb);
        return converged;
    };
    for (int it = 0; it < kMaxDistanceSteps; ++it) {
        const double g1 = Dot(r, ta), g2 = -Dot(r, tb);
        const double h11 = Dot(ta, ta) - Dot(r, xa - oa.center);
        const double h22 = Dot(tb, tb) + Dot(r, xb - ob.center);
        const double h12 = -Dot(ta, tb);
        const double damp = Dot(ta, ta) + Dot(tb, tb) + std::numeric_limits<double>::min();
        bool accepted = false;
        double step = 0;
        for (int tries = 0; tries < 40 && !accepted; ++tries) {
            const double a11 = h11 + lambda * damp, a22 = h22 + lambda * damp;
            const double det = a11 * a22 - h12 * h12;
            if (!(a11 > 0 && det > 0)) {
                // Indefinite: enough damping to make the matrix diagonally dominant.
                lambda =
                    std::max({4 * lambda, 1e-3, 2 * (std::max({-h11, -h22, 0.0}) + std::fabs(h12)) / damp});
                continue;
            }
            const double d1 = -(a22 * g1 - h12 * g2) / det, d2 = -(a11 * g2 - h12 * g1) / det;
            double nca = ca, nsa = sa, ncb = cb, nsb = sb;
            Turn(nca, nsa, d1);
            Turn(ncb, nsb, d2);
            Point2D nxa, nta, nxb, ntb;
            oa.At(nca, nsa, nxa, nta);
            ob.At(ncb, nsb, nxb, ntb);
            const Point2D nr = nxa - nxb;
            const double nf = Dot(nr, nr);
            if (nf <= f) {
                accepted = true;
                step = std::max(std::fabs(d1), std::fabs(d2));
                phi += d1, psi += d2;
                ca = nca, sa = nsa, cb = ncb, sb = nsb;
                xa = nxa, xb = nxb, ta = nta, tb = ntb, r = nr, f = nf;
                lambda *= 0.25;
            } else {
                lambda = std::max(4 * lambda, 1e-3);
            }
        }
        if (!accepted)
            return finish(false);
        if (step <= kAngleResolution)
            return finish(true);
    }
    return finish(false);
}

int PointsInside(const TarnEllipse& a, const TarnEllipse& b)
{
    const double ca = a.CosRotation(), sa = a.SinRotation();
    const double cb = b.CosRotation(), sb = b.SinRotation();
    const double cd = ca * cb + sa * sb, sd = sa * cb - ca * sb;
    const Point2D p0 = b.ToLocal({a.CenterX(), a.CenterY()});
    const double irx = 1 / b.RadiusX(), iry = 1 / b.RadiusY();
    const Point2D p{p0.x * irx, p0.y * iry}, A{a.RadiusX() * cd * irx, a.RadiusX() * sd * iry},
        B{-a.RadiusY() * sd * irx, a.RadiusY() * cd * iry};
    const AngleTables& t = Tables();
    int inside = 0;
    for (std::size_t k = 0; k < kStartPieces; ++k) {
        const double c = t.sampleCos[k], s = t.sampleSin[k];
        const Point2D v{p.x + A.x * c + B.x * s, p.y + A.y * c + B.y * s};
        inside += v.x * v.x + v.y * v.y <= 1 ? 1 : 0;
    }
    return inside;
}

double DistanceBySampling(const TarnEllipse& small, const TarnEllipse& large, Point2D& onSmall,
                          Point2D& onLarge)
{
    const AngleTables& t = Tables();
    constexpr int n = kDistanceSamples;
    static_assert(kStartPieces == kDistanceSamples);
    // Each sample first gets cheap bounds of its distance (see SampleBounds); only those
    // whose lower bound does not exceed the least upper bound can hold the sampled minimum
    // and are measured exactly. The others keep their lower bound, which already places
    // them above that minimum.
    std::array<double, n> dist, upper, rise, slope;
    std::array<Point2D, n> sample, nearest, angle; // angle: cos and sin of the sample's angle
    std::array<bool, n> exact;
    const bool bounded = !Flat(large);
    const SampleBounds bounds(large);
    // The smaller outline in the larger one's axes: q(φ) = p + A cos φ + B sin φ.
    const double cd = small.CosRotation() * large.CosRotation() + small.SinRotation() * large.SinRotation();
    const double sd = small.SinRotation() * large.CosRotation() - small.CosRotation() * large.SinRotation();
    const Point2D p = large.ToLocal({small.CenterX(), small.CenterY()});
    const Point2D A{small.RadiusX() * cd, small.RadiusX() * sd},
        B{-small.RadiusY() * sd, small.RadiusY() * cd};
    double leastUpper = std::numeric_limits<double>::infinity();
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const double c = t.sampleCos[k], s = t.sampleSin[k];
        angle[k] = {c, s};
        sample[k] = {p.x + A.x * c + B.x * s, p.y + A.y * c + B.y * s};
        if (bounded) {
            bounds(sample[k], dist[k], upper[k], nearest[k], rise[k], slope[k]);
            leastUpper = std::min(leastUpper, upper[k]);
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        // A sample inside no farther than the least upper bound U has its way out within U:
        // so its distance is at least the smaller of U and the slope bound taken with U.
        if (bounded && rise[k] > 0)
            dist[k] =
                std::max(dist[k], std::min(leastUpper, rise[k] / (slope[k] + leastUpper * bounds.iMinor2)));
        // The margin covers the rounding of the bounds, which meet for circles.
        exact[k] = !bounded || dist[k] <= leastUpper * (1 + 1e-9);
        if (exact[k]) {
            // Measured from the sample as the outline formula gives it in world coordinates.
            dist[k] = large.DistanceToPoint(OutlinePoint(small, angle[k].x, angle[k].y), nearest[k]);
        } else {
            nearest[k] = large.ToWorld(nearest[k]);
        }
    }
    std::array<int, kDistanceStarts> starts;
    int startCount = 0;
    for (int i = 0; i < n; ++i) {
        const double v = dist[static_cast<std::size_t>(i)];
        if (v > dist[static_cast<std::size_t>((i + n - 1) % n)] ||
            v > dist[static_cast<std::size_t>((i + 1) % n)])
            continue;
        // Keep the kDistanceStarts nearest, sorted.
        int pos = std::min(startCount, kDistanceStarts - 1);
        if (startCount == kDistanceStarts &&
            v >= dist[static_cast<std::size_t>(starts[static_cast<std::size_t>(pos)])])
            continue;
        while (pos > 0 && dist[static_cast<std::size_t>(starts[static_cast<std::size_t>(pos - 1)])] > v) {
            starts[static_cast<std::size_t>(pos)] = starts[static_cast<std::size_t>(pos - 1)];
            --pos;
        }
        starts[static_cast<std::size_t>(pos)] = i;
        startCount = std::min(startCount + 1, kDistanceStarts);
    }
    const Outline os{small, {small.CenterX(), small.CenterY()}},
        ol{large, {large.CenterX(), large.CenterY()}};
    double best = std::numeric_limits<double>::infinity();
    // The distance changes along the smaller outline by at most the arc length, and the
    // samples lie at most this far apart along it: a start whose neighbourhood lies beyond
    // the best pair found by more than half of that cannot hold a nearer pair.
    const double sampleArc = kTwoPi / n * std::max(small.RadiusX(), small.RadiusY());
    for (int k = 0; k < startCount; ++k) {
        const int i = starts[static_cast<std::size_t>(k)];
        const double around =
            std::min({dist[static_cast<std::size_t>((i + n - 1) % n)], dist[static_cast<std::size_t>(i)],
                      dist[static_cast<std::size_t>((i + 1) % n)]});
        if (around - 0.5 * sampleArc > best)
            continue;
        double phi = kTwoPi * i / n, psi = ParameterOf(large, nearest[static_cast<std::size_t>(i)]);
        Point2D x, y;
        const bool converged = RefinePair(os, ol, phi, psi, x, y);
        double d = Distance(x, y);
        if (!converged) {
            Point2D xs, ys;
            const double ds =
                BracketedMinimum(small, large, kTwoPi * (i - 1) / n, kTwoPi * (i + 1) / n, xs, ys);
            if (ds < d) {
                d = ds;
                x = xs;
                y = ys;
            }
        }
        if (d < best) {
            best = d;
            onSmall = x;
            onLarge = y;
        }
    }
    return best;
}

} // namespace Ostrel::Vision::Private::EllipsePair
