// The crossings of two ellipse outlines: the outline of one in the frame of the other,
// where the crossings are the roots of a trigonometric polynomial of degree 2, searched
// over a subdivision of the angle with certified exclusion and monotony tests.
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

// Safeguarded Newton steps to refine a bracketed root; from a certified monotone piece
// Newton converges quadratically, so the bound only guards against rounding noise.
constexpr int kMaxRefineSteps = 60;
// The cos/sin pairs of a piece's middle come from its parent's by a rotation; after 40
// levels they stand for an angle up to a few 1e-14 rad away from the stored middle. The
// exclusion and monotony tests widen each piece by this much to cover that.
constexpr double kAngleDrift = 1e-13;

// Root of g in [lo, hi] where g(lo) and g(hi) differ in sign, from the start x (with cos
// c and sin s): Newton steps kept inside the shrinking bracket, bisection when a step
// leaves it. Ends when the Newton step or the bracket is below the angle resolution, or
// when Newton, close to the root (|g| <= nearRoot), stops converging: its steps then only
// follow the rounding noise of g, and the root is as accurate as g allows. c and s return
// the cos and sin of the root.
double RefineRoot(const OutlineInFrame& f, double lo, double hi, double glo, double x, double& c, double& s,
                  double nearRoot)
{
    double lastStep = std::numeric_limits<double>::infinity();
    for (int i = 0; i < kMaxRefineSteps; ++i) {
        double g, dg, g2;
        f.Eval(c, s, g, dg, g2);
        if (g == 0)
            return x;
        if ((g < 0) == (glo < 0))
            lo = x;
        else
            hi = x;
        const double newtonStep = dg != 0 ? g / dg : std::numeric_limits<double>::infinity();
        if (std::fabs(newtonStep) <= kAngleResolution)
            return x; // at the root to the resolution (the step may not even leave x)
        double next = x - newtonStep;
        const bool newton = next > lo && next < hi;
        if (!newton)
            next = 0.5 * (lo + hi);
        const double step = next - x;
        const bool stalled = newton && std::fabs(g) <= nearRoot && std::fabs(step) > 0.5 * lastStep;
        lastStep = newton ? std::fabs(step) : std::numeric_limits<double>::infinity();
        Turn(c, s, step);
        x = next;
        if (hi - lo <= kAngleResolution || stalled)
            break;
    }
    return x;
}

} // namespace

const AngleTables& Tables()
{
    static const AngleTables tables;
    return tables;
}

void Turn(double& c, double& s, double d)
{
    double cd, sd;
    if (std::fabs(d) > 0.5) {
        cd = std::cos(d);
        sd = std::sin(d);
    } else if (std::fabs(d) <= 1e-3) {
        const double x = d * d;
        cd = 1 - x * (1.0 / 2 - x * (1.0 / 24 - x * (1.0 / 720)));
        sd = d * (1 - x * (1.0 / 6 - x * (1.0 / 120 - x * (1.0 / 5040))));
    } else {
        const double x = d * d;
        cd = 1 - x * (1.0 / 2 -
                      x * (1.0 / 24 -
                           x * (1.0 / 720 -
                                x * (1.0 / 40320 - x * (1.0 / 3628800 - x * (1.0 / 479001600 -
                                                                             x * (1.0 / 87178291200.0)))))));
        sd = d * (1 - x * (1.0 / 6 - x * (1.0 / 120 -
                                          x * (1.0 / 5040 - x * (1.0 / 362880 -
                                                                 x * (1.0 / 39916800 -
                                                                      x * (1.0 / 6227020800.0 -
                                                                           x * (1.0 / 1307674368000.0))))))));
    }
    const double nc = c * cd - s * sd;
    s = s * cd + c * sd;
    c = nc;
}

// The crossings of the outlines of a and b (b not flat) in order of a's angle; with
// `firstOnly` the search ends at the first one found.
int IntersectProper(const TarnEllipse& a, const TarnEllipse& b, const OutlineInFrame& f,
                    std::array<Point2D, 4>& out, bool firstOnly)
{
    const AngleTables& t = Tables();
    const double size = std::max({a.RadiusX(), a.RadiusY(), b.RadiusX(), b.RadiusY()});
    const double band = TarnEllipse::kTangencyBand * size;
    // Rounding allowance of g: a few ulps of |v|·(|p| + |A| + |B|), widened for the
    // drift of the rotated cos/sin pairs.
    const double slackScale = 1e-13 * (1 + f.scale);
    // Where g is this small, a refinement that stops converging has met rounding noise.
    const double nearRoot = 1e-10 * (1 + f.scale);
    struct Piece {
        double lo, hi, c, s; // ends, cos and sin of the middle
        int depth;
    };
    std::array<Piece, kStartPieces + kMaxDepth + 2> stack;
    std::size_t top = 0;
    for (int i = kStartPieces - 1; i >= 0; --i) {
        const auto k = static_cast<std::size_t>(i);
        stack[top++] = {kTwoPi * i / kStartPieces, kTwoPi * (i + 1) / kStartPieces, t.midCos[k], t.midSin[k],
                        0};
    }
    // Coincident outlines: g vanishes everywhere; there is no isolated crossing.
    if (f.coefficientSize <= 1e-13)
        return 0;
    double lastEnd = -1, lastG = 0;
    std::array<double, 64> roots;
    std::array<Point2D, 64> points;
    std::size_t rootCount = 0;
    for (int examined = 0; top > 0 && examined < kMaxPieces && !(firstOnly && rootCount > 0); ++examined) {
        const Piece piece = stack[--top];
        const double w = 0.5 * (piece.hi - piece.lo) + kAngleDrift;
        double g, g1, g2;
        f.Eval(piece.c, piece.s, g, g1, g2);
        // |v| <= 1 + |g|, so this covers a few ulps of |v|·(|p| + |A| + |B|).
        const double slack = slackScale * (2 + std::fabs(g));
        // Taylor about the middle with the global bound of g''': no root when |g| exceeds
        // what the first two terms and the remainder can reach over the piece.
        const double reach3 = f.bound3 * w * w * w / 6;
        if (std::fabs(g) > std::fabs(g1) * w + 0.5 * std::fabs(g2) * w * w + reach3 + slack)
            continue;
        if (std::fabs(g1) > std::fabs(g2) * w + 0.5 * f.bound3 * w * w + slack) {
            // Monotone: one root at most, present when the ends differ in sign (a zero
            // counts as positive, so a root on a shared end is found once).
            // Pieces come in order of angle, so a piece's start is often the end of the
            // last piece whose ends were evaluated.
            const double glo = piece.lo == lastEnd ? lastG : f.G(piece.lo), ghi = f.G(piece.hi);
            lastEnd = piece.hi;
            lastG = ghi;
            if ((glo < 0) != (ghi < 0) && rootCount < roots.size()) {
                // First step: Newton from the middle, with the values already at hand.
                const double m = 0.5 * (piece.lo + piece.hi), start = m - g / g1;
                const double x = start > piece.lo && start < piece.hi ? start : m;
                double c = std::cos(x), s = std::sin(x);
                roots[rootCount] = RefineRoot(f, piece.lo, piece.hi, glo, x, c, s, nearRoot);
                points[rootCount++] = OutlinePoint(a, c, s);
            }
            continue;
        }
        if (piece.depth >= kMaxDepth) {
            // Neither excluded nor monotone at the finest resolution: a touching point when
            // it lies on b within the tangency band.
            const double m = 0.5 * (piece.lo + piece.hi);
            Point2D c;
            const Point2D point = OutlinePoint(a, m);
            if (b.DistanceToPoint(point, c) <= band && rootCount < roots.size()) {
                roots[rootCount] = m;
                points[rootCount++] = point;
            }
            continue;
        }
        const auto d = static_cast<std::size_t>(piece.depth + 1);
        const double hc = t.halfCos[d], hs = t.halfSin[d];
        const double m = 0.5 * (piece.lo + piece.hi);
        stack[top++] = {m, piece.hi, piece.c * hc - piece.s * hs, piece.s * hc + piece.c * hs,
                        piece.depth + 1};
        stack[top++] = {piece.lo, m, piece.c * hc + piece.s * hs, piece.s * hc - piece.c * hs,
                        piece.depth + 1};
    }
    // In order of angle (touching points found at the finest depth may come out of order).
    std::array<std::size_t, 64> order;
    for (std::size_t i = 0; i < rootCount; ++i)
        order[i] = i;
    std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(rootCount),
              [&](std::size_t i, std::size_t j) { return roots[i] < roots[j]; });
    int count = 0;
    for (std::size_t k = 0; k < rootCount; ++k) {
        const Point2D point = points[order[k]];
        // Pieces next to one touching point report it more than once; the last root of
        // the turn may be the first one seen again across the seam.
        if ((count > 0 && Distance(point, out[static_cast<std::size_t>(count - 1)]) <= 1e3 * band) ||
            (count > 0 && Distance(point, out[0]) <= 1e3 * band))
            continue;
        if (count == 4)
            break;
        out[static_cast<std::size_t>(count++)] = point;
    }
    return count;
}

bool ClearOfCrossing(const TarnEllipse& a, const TarnEllipse& b, const OutlineInFrame& f)
{
    const double size = std::max({a.RadiusX(), a.RadiusY(), b.RadiusX(), b.RadiusY()});
    const double margin =
        std::max(1e-9 * (1 + f.scale) * (1 + f.scale), 1e-8 * size / std::min(b.RadiusX(), b.RadiusY()));
    return std::fabs(f.mean) - f.reach > margin;
}

} // namespace Ostrel::Vision::Private::EllipsePair

namespace Ostrel::Vision::Private {

using namespace EllipsePair;

bool IntersectEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, int& count, Point2D& p1, Point2D& p2,
                             Point2D& p3, Point2D& p4)
{
    std::array<Point2D, 4> found{p1, p2, p3, p4};
    if (!Flat(b)) {
        count = IntersectProper(a, b, OutlineInFrame(a, b), found, false);
    } else if (!Flat(a)) {
        count = IntersectEllipseSegment(a, AsSegment(b), count, found[0], found[1]) ? count : 0;
    } else {
        int n = 0;
        IntersectSegmentSegment(AsSegment(a), AsSegment(b), &n, &found[0]);
        count = n < 0 ? 1 : n;
    }
    p1 = found[0];
    p2 = found[1];
    p3 = found[2];
    p4 = found[3];
    return count != 0;
}

} // namespace Ostrel::Vision::Private
