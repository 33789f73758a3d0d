#include <Ostrel/Vision/Private/RoundShapes.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>

namespace Ostrel::Vision::Private {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Subdivision of the angle parameter: 16 starting pieces, each halved at most 40 times
// (pieces of 6e-13 rad, below the resolution the tangency band needs), and a cap on the
// pieces examined in all that guards against rounding noise near coincident outlines.
constexpr int kStartPieces = 16;
constexpr int kMaxDepth = 40;
constexpr int kMaxPieces = 20000;
// Bisection-Newton steps to refine a bracketed root to the last bits of the angle.
constexpr int kMaxRefineSteps = 80;

// The outline of `a`, X(φ) = centre + R(θa)·(rx cos φ, ry sin φ), seen in the frame of `b`
// scaled so that b's outline is the unit circle: v(φ) = p + A cos φ + B sin φ. Then
// g(φ) = |v|² - 1 is negative inside b, and its roots are the crossings.
struct OutlineInFrame {
    Point2D p, A, B;
    double spread; // |A| + |B|: bounds |v'| and |v''|

    OutlineInFrame(const TarnEllipse& a, const TarnEllipse& b)
    {
        const double ca = std::cos(a.Rotation()), sa = std::sin(a.Rotation());
        const double cb = std::cos(b.Rotation()), sb = std::sin(b.Rotation());
        const double cd = ca * cb + sa * sb, sd = sa * cb - ca * sb; // rotation of a in b's frame
        const Point2D p0 = b.ToLocal({a.CenterX(), a.CenterY()});
        const double rxb = b.RadiusX(), ryb = b.RadiusY();
        p = {p0.x / rxb, p0.y / ryb};
        A = {a.RadiusX() * cd / rxb, a.RadiusX() * sd / ryb};
        B = {-a.RadiusY() * sd / rxb, a.RadiusY() * cd / ryb};
        spread = Length(A) + Length(B);
    }
    void Eval(double phi, double& g, double& dg, Point2D& v, Point2D& dv) const
    {
        const double c = std::cos(phi), s = std::sin(phi);
        v = {p.x + A.x * c + B.x * s, p.y + A.y * c + B.y * s};
        dv = {B.x * c - A.x * s, B.y * c - A.y * s};
        const double len = Length(v);
        g = (len - 1) * (len + 1);
        dg = 2 * Dot(v, dv);
    }
    double G(double phi) const
    {
        double g, dg;
        Point2D v, dv;
        Eval(phi, g, dg, v, dv);
        return g;
    }
};

Point2D OutlinePoint(const TarnEllipse& e, double phi)
{
    return e.ToWorld({e.RadiusX() * std::cos(phi), e.RadiusY() * std::sin(phi)});
}

// Root of g in [lo, hi] where g(lo) and g(hi) differ in sign: Newton steps kept inside the
// shrinking bracket, bisection when a step leaves it.
double RefineRoot(const OutlineInFrame& f, double lo, double hi, double glo)
{
    double x = 0.5 * (lo + hi);
    for (int i = 0; i < kMaxRefineSteps && hi - lo > 4e-16 * std::max(1.0, std::fabs(x)); ++i) {
        double g, dg;
        Point2D v, dv;
        f.Eval(x, g, dg, v, dv);
        if (g == 0)
            return x;
        if ((g < 0) == (glo < 0))
            lo = x, glo = g;
        else
            hi = x;
        const double next = dg != 0 ? x - g / dg : lo;
        x = next > lo && next < hi ? next : 0.5 * (lo + hi);
    }
    return x;
}

int IntersectProper(const TarnEllipse& a, const TarnEllipse& b, std::array<Point2D, 4>& out)
{
    const OutlineInFrame f(a, b);
    const double size = std::max({a.RadiusX(), a.RadiusY(), b.RadiusX(), b.RadiusY()});
    const double band = TarnEllipse::kTangencyBand * size;
    // Coincident outlines: g vanishes everywhere; there is no isolated crossing.
    bool coincident = true;
    for (int i = 0; i < 8 && coincident; ++i)
        coincident = std::fabs(f.G(kTwoPi * i / 8)) <= 1e-13;
    if (coincident)
        return 0;
    struct Piece {
        double lo, hi;
        int depth;
    };
    std::vector<Piece> stack;
    for (int i = kStartPieces - 1; i >= 0; --i)
        stack.push_back({kTwoPi * i / kStartPieces, kTwoPi * (i + 1) / kStartPieces, 0});
    std::vector<double> roots;
    for (int examined = 0; !stack.empty() && examined < kMaxPieces; ++examined) {
        const Piece piece = stack.back();
        stack.pop_back();
        const double m = 0.5 * (piece.lo + piece.hi), w = 0.5 * (piece.hi - piece.lo);
        double g, dg;
        Point2D v, dv;
        f.Eval(m, g, dg, v, dv);
        // Bound of |g''| = |2|v'|² + 2 v·v''| over the piece, from |v'|, |v| and
        // |v''| = |v - p| at the middle plus their largest change (spread · w).
        const double sw = f.spread * w;
        const double lenDv = Length(dv) + sw, lenV = Length(v) + sw, lenDdv = Length(v - f.p) + sw;
        const double m2 = 2 * lenDv * lenDv + 2 * lenV * lenDdv;
        const double slack = 1e-15 * (1 + lenV * lenV);
        if (std::fabs(g) > std::fabs(dg) * w + 0.5 * m2 * w * w + slack)
            continue; // no root in the piece
        if (std::fabs(dg) > m2 * w + slack) {
            // Monotone: one root at most, present when the ends differ in sign (a zero
            // counts as positive, so a root on a shared end is found once).
            const double glo = f.G(piece.lo), ghi = f.G(piece.hi);
            if ((glo < 0) != (ghi < 0))
                roots.push_back(RefineRoot(f, piece.lo, piece.hi, glo));
            continue;
        }
        if (piece.depth >= kMaxDepth) {
            // Neither excluded nor monotone at the finest resolution: a touching point when
            // it lies on b within the tangency band.
            Point2D c;
            if (b.DistanceToPoint(OutlinePoint(a, m), c) <= band)
                roots.push_back(m);
            continue;
        }
        stack.push_back({m, piece.hi, piece.depth + 1});
        stack.push_back({piece.lo, m, piece.depth + 1});
    }
    std::sort(roots.begin(), roots.end());
    int count = 0;
    for (double phi : roots) {
        const Point2D point = OutlinePoint(a, phi);
        // Pieces next to one touching point report it more than once.
        if ((count > 0 && Distance(point, out[static_cast<std::size_t>(count - 1)]) <= 1e3 * band) ||
            (count > 0 && Distance(point, out[0]) <= 1e3 * band))
            continue;
        if (count == 4)
            break;
        out[static_cast<std::size_t>(count++)] = point;
    }
    return count;
}

// A zero-width ellipse as the segment it is.
Segment2D AsSegment(const TarnEllipse& e)
{
    const Point2D end = e.RadiusX() >= e.RadiusY() ? Point2D{e.RadiusX(), 0} : Point2D{0, e.RadiusY()};
    return {e.ToWorld({-end.x, -end.y}), e.ToWorld(end)};
}

bool Flat(const TarnEllipse& e)
{
    return e.RadiusX() == 0 || e.RadiusY() == 0;
}

} // namespace

bool IntersectEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, int& count, Point2D& p1, Point2D& p2,
                             Point2D& p3, Point2D& p4)
{
    std::array<Point2D, 4> found{p1, p2, p3, p4};
    if (!Flat(b)) {
        count = IntersectProper(a, b, found);
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

double DistanceEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, Point2D& onA, Point2D& onB)
{
    int count = 0;
    Point2D p2, p3, p4;
    if (IntersectEllipseEllipse(a, b, count, onA, p2, p3, p4)) {
        onB = onA;
        return 0;
    }
    // The outlines do not meet. The distance from a's outline point X(φ) to b's outline is
    // smooth in φ; its minima are where X'(φ) is normal to X(φ) - Y(φ) (Y the closest
    // point of b). Sample the outline, then refine the best sampled minima by bracketing
    // the zero of h(φ) = X'(φ)·(X(φ) - Y(φ)).
    constexpr int kSamples = 64;
    constexpr int kCandidates = 3;
    const auto distanceAt = [&](double phi, Point2D& x, Point2D& y) {
        x = OutlinePoint(a, phi);
        return b.DistanceToPoint(x, y);
    };
    const auto slopeAt = [&](double phi) {
        Point2D x, y;
        distanceAt(phi, x, y);
        const Point2D tangent =
            OutlinePoint(a, phi + std::numbers::pi / 2) - Point2D{a.CenterX(), a.CenterY()};
        return Dot(tangent, x - y);
    };
    std::array<double, kSamples> dist{};
    for (int i = 0; i < kSamples; ++i) {
        Point2D x, y;
        dist[static_cast<std::size_t>(i)] = distanceAt(kTwoPi * i / kSamples, x, y);
    }
    std::vector<int> minima;
    for (int i = 0; i < kSamples; ++i) {
        const double d = dist[static_cast<std::size_t>(i)];
        if (d <= dist[static_cast<std::size_t>((i + kSamples - 1) % kSamples)] &&
            d <= dist[static_cast<std::size_t>((i + 1) % kSamples)])
            minima.push_back(i);
    }
    std::sort(minima.begin(), minima.end(), [&](int i, int j) {
        return dist[static_cast<std::size_t>(i)] < dist[static_cast<std::size_t>(j)];
    });
    if (minima.size() > kCandidates)
        minima.resize(kCandidates);
    double best = std::numeric_limits<double>::infinity();
    for (int i : minima) {
        double lo = kTwoPi * (i - 1) / kSamples, hi = kTwoPi * (i + 1) / kSamples;
        double slo = slopeAt(lo), shi = slopeAt(hi);
        double phi = kTwoPi * i / kSamples;
        if (slo <= 0 && shi >= 0) {
            // Bisection with a secant guess, bounded: the bracket shrinks each step.
            for (int k = 0; k < kMaxRefineSteps && hi - lo > 1e-15 * kTwoPi; ++k) {
                double mid = slo != shi ? lo + (hi - lo) * (slo / (slo - shi)) : 0.5 * (lo + hi);
                if (!(mid > lo + 0.05 * (hi - lo) && mid < hi - 0.05 * (hi - lo)))
                    mid = 0.5 * (lo + hi);
                const double s = slopeAt(mid);
                if (s == 0) {
                    lo = hi = mid;
                    break;
                }
                (s < 0 ? lo : hi) = mid;
                (s < 0 ? slo : shi) = s;
            }
            phi = 0.5 * (lo + hi);
        }
        Point2D x, y;
        const double d = distanceAt(phi, x, y);
        if (d < best) {
            best = d;
            onA = x;
            onB = y;
        }
    }
    return best;
}

} // namespace Ostrel::Vision::Private
