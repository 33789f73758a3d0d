#include <Ostrel/Vision/Private/RoundShapes.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

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
// Safeguarded Newton steps to refine a bracketed root; from a certified monotone piece
// Newton converges quadratically, so the bound only guards against rounding noise.
constexpr int kMaxRefineSteps = 60;
// A Newton step below this (radians) ends a refinement: the outline point then moves by
// less than 1e-15 of the ellipse's size.
constexpr double kAngleResolution = 1e-15;
// The cos/sin pairs of a piece's middle come from its parent's by a rotation; after 40
// levels they stand for an angle up to a few 1e-14 rad away from the stored middle. The
// exclusion and monotony tests widen each piece by this much to cover that.
constexpr double kAngleDrift = 1e-13;

// cos and sin of the middles of the starting pieces, and of the half-width of a piece at
// each depth (the step from a parent's middle to its children's).
struct AngleTables {
    std::array<double, kStartPieces> midCos, midSin;
    std::array<double, kMaxDepth + 2> halfCos, halfSin;
    // cos and sin of the angles 2πk/16, exact on the axes.
    std::array<double, kStartPieces> sampleCos, sampleSin;
    AngleTables()
    {
        for (int i = 0; i < kStartPieces; ++i) {
            const double m = kTwoPi * i / kStartPieces;
            const bool onAxis = i % (kStartPieces / 4) == 0;
            sampleCos[static_cast<std::size_t>(i)] = onAxis ? std::round(std::cos(m)) : std::cos(m);
            sampleSin[static_cast<std::size_t>(i)] = onAxis ? std::round(std::sin(m)) : std::sin(m);
        }
        for (int i = 0; i < kStartPieces; ++i) {
            const double m = kTwoPi * (i + 0.5) / kStartPieces;
            midCos[static_cast<std::size_t>(i)] = std::cos(m);
            midSin[static_cast<std::size_t>(i)] = std::sin(m);
        }
        for (int d = 0; d < kMaxDepth + 2; ++d) {
            const double w = std::ldexp(kTwoPi / kStartPieces / 2, -d);
            halfCos[static_cast<std::size_t>(d)] = std::cos(w);
            halfSin[static_cast<std::size_t>(d)] = std::sin(w);
        }
    }
};

const AngleTables& Tables()
{
    static const AngleTables tables;
    return tables;
}

// The outline of `a`, X(φ) = centre + R(θa)·(rx cos φ, ry sin φ), seen in the frame of `b`
// scaled so that b's outline is the unit circle: v(φ) = p + A cos φ + B sin φ. Then
// g(φ) = |v|² - 1 is negative inside b, and its roots are the crossings. g is a
// trigonometric polynomial of degree 2,
//   g = k0 + k1 cos φ + k2 sin φ + k3 cos 2φ + k4 sin 2φ,
// k1 = 2 p·A, k2 = 2 p·B, k3 = (|A|² - |B|²)/2, k4 = A·B, so its third derivative is
// bounded by |(k1, k2)| + 8 |(k3, k4)| over the whole turn.
struct OutlineInFrame {
    Point2D p, A, B;
    double bound3;          // bound of |g'''|
    double scale;           // |p| + |A| + |B|: bounds |v|
    double coefficientSize; // largest amplitude of the terms of g: 0 when the outlines coincide
    double mean, reach;     // g lies within mean ± reach over the whole turn

    OutlineInFrame(const TarnEllipse& a, const TarnEllipse& b)
    {
        const double ca = a.CosRotation(), sa = a.SinRotation();
        const double cb = b.CosRotation(), sb = b.SinRotation();
        const double cd = ca * cb + sa * sb, sd = sa * cb - ca * sb; // rotation of a in b's frame
        const Point2D p0 = b.ToLocal({a.CenterX(), a.CenterY()});
        const double rxb = b.RadiusX(), ryb = b.RadiusY();
        p = {p0.x / rxb, p0.y / ryb};
        A = {a.RadiusX() * cd / rxb, a.RadiusX() * sd / ryb};
        B = {-a.RadiusY() * sd / rxb, a.RadiusY() * cd / ryb};
        const double k1 = 2 * Dot(p, A), k2 = 2 * Dot(p, B);
        const double k3 = 0.5 * (Dot(A, A) - Dot(B, B)), k4 = Dot(A, B);
        const double k0 = Dot(p, p) + 0.5 * (Dot(A, A) + Dot(B, B)) - 1;
        bound3 = (Hypot(k1, k2) + 8 * Hypot(k3, k4)) * (1 + 1e-12);
        reach = Hypot(k1, k2) + Hypot(k3, k4);
        mean = k0;
        coefficientSize = std::max({std::fabs(k0), Hypot(k1, k2), Hypot(k3, k4)});
        scale = Length(p) + Length(A) + Length(B);
    }
    // g and its first two derivatives at the angle whose cos and sin are c and s.
    void Eval(double c, double s, double& g, double& g1, double& g2) const
    {
        const Point2D v{p.x + A.x * c + B.x * s, p.y + A.y * c + B.y * s};
        const Point2D dv{B.x * c - A.x * s, B.y * c - A.y * s};
        const Point2D ddv = p - v;
        g = (v.x * v.x + v.y * v.y) - 1;
        g1 = 2 * Dot(v, dv);
        g2 = 2 * (Dot(dv, dv) + Dot(v, ddv));
    }
    // g and g' at `phi`, from the library's cos and sin: the same angle always gives the
    // same value, which keeps the sign tests of neighbouring pieces consistent. The end of
    // the turn is its start, so a crossing at the seam φ = 0 is seen once.
    void EvalAt(double phi, double& g, double& g1) const
    {
        if (phi >= kTwoPi)
            phi = 0;
        double g2;
        Eval(std::cos(phi), std::sin(phi), g, g1, g2);
    }
    double G(double phi) const
    {
        double g, g1;
        EvalAt(phi, g, g1);
        return g;
    }
};

Point2D OutlinePoint(const TarnEllipse& e, double c, double s)
{
    return e.ToWorld({e.RadiusX() * c, e.RadiusY() * s});
}

Point2D OutlinePoint(const TarnEllipse& e, double phi)
{
    return OutlinePoint(e, std::cos(phi), std::sin(phi));
}

// Turns the unit vector (c, s) by the angle d. Up to half a radian, Taylor series of cos d
// and sin d to degree 15 (the next terms are below 1e-18) replace the library's calls;
// up to 1e-3, to degree 7 (below 1e-24).
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

// An outline with its parameter: the point, its derivative (tangent) and the offset from
// the centre (minus the second derivative) at the angle with cos c and sin s.
struct Outline {
    const TarnEllipse& e;
    Point2D center;
    void At(double c, double s, Point2D& x, Point2D& dx) const
    {
        const double cr = e.CosRotation(), sr = e.SinRotation();
        const double lx = e.RadiusX() * c, ly = e.RadiusY() * s;
        x = {center.x + (cr * lx - sr * ly), center.y + (sr * lx + cr * ly)};
        const double tx = -e.RadiusX() * s, ty = e.RadiusY() * c;
        dx = {cr * tx - sr * ty, sr * tx + cr * ty};
    }
};

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

// The angle parameter of an outline point of `e`.
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

// Newton's method on the stationarity conditions of F(φ, ψ) = |Xa(φ) - Xb(ψ)|² / 2,
//   (Xa - Xb)·Xa' = 0,  (Xa - Xb)·Xb' = 0,
// damped (Levenberg-Marquardt) so that every accepted step lowers F: from a start in the
// basin of a minimum it converges quadratically, and a saddle or an indefinite Hessian
// only turns the steps towards descent.
// Returns whether the steps shrank below the angle resolution within the step bound.
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

// True when the outline of `a` lies wholly inside or wholly outside the filled `b` (not
// flat; f is a in b's frame), decided over the whole turn at once: g of OutlineInFrame stays within
// k0 ± (|(k1, k2)| + |(k3, k4)|). The margin is far above the rounding of the coefficients,
// and |g| above it keeps the outlines apart by more than 1e-9 of the larger size (g/3 in
// units of b's smaller radius at least), far beyond the tangency band.
bool ClearOfCrossing(const TarnEllipse& a, const TarnEllipse& b, const OutlineInFrame& f)
{
    const double size = std::max({a.RadiusX(), a.RadiusY(), b.RadiusX(), b.RadiusY()});
    const double margin =
        std::max(1e-9 * (1 + f.scale) * (1 + f.scale), 1e-8 * size / std::min(b.RadiusX(), b.RadiusY()));
    return std::fabs(f.mean) - f.reach > margin;
}

// True when a line across the centre line separates the filled ellipses with room to
// spare (far more than the tangency band): the outlines then neither cross nor touch.
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

// How many of the outline points of `a` at the angles 2πk/16 lie in the filled `b` (not
// flat), tested in b's frame scaled to the unit circle.
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

// The distance between outlines that do not meet, by sampling the smaller outline (axis
// ends included) and refining the pairs at the sampled minima of the distance to the
// larger one by damped Newton on both angles; the nearest refined pair wins. Sampling
// the smaller outline keeps the samples dense on the scale of the features that
// separate the candidate minima (the two tips of a small needle, say). Works for flat
// ellipses too.
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

// Gap (relative to the larger size) above which the support search alone settles that the
// outlines neither cross nor touch: far above the tangency band and the rounding of the
// support functions.
constexpr double kClearGap = 1e-9;
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

// The distance between the outlines of two ellipses, both of positive width, that do not
// meet, through their support functions h (about their centres), with n the unit
// direction and Δ = centre of `large` - centre of `small`:
// - apart: the filled ellipses are convex and disjoint, and their distance is the widest
//   gap between parallel support lines, max over n of D(n) = n·Δ - h_small(n) - h_large(n).
//   Where D > 0 it is strictly concave in the angle (D'' <= -D), so it has one maximum
//   there, reached by ascent from any direction with D > 0 (the centre line, when it
//   separates them).
// - nested (small inside large): a point inside a convex shape is as far from its outline
//   as from the nearest support line, so the distance is the narrowest gap between
//   parallel support lines on the same side, min over n of E(n) = n·Δ + h_large(n) -
//   h_small(n), which may have several local minima.
// Either way F = E or -D is minimised. F is sampled at 16 even directions and beside the
// sharp turns of thin supports (below), every pair of neighbouring samples where F' goes
// from falling to rising brackets a local minimum, each is found by safeguarded Newton,
// and the least wins. Apart, a sampled direction with D > 0 is a start for the ascent;
// without one the brackets are searched only with `bracketsApart` (most such pairs cross,
// which the crossing search settles first). The closest points are the touching points of
// the support lines at the best direction. Returns false where the search does not settle
// or does not confirm the case.
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
} // namespace

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

double DistanceEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, Point2D& onA, Point2D& onB)
{
    const bool aSmaller = std::max(a.RadiusX(), a.RadiusY()) <= std::max(b.RadiusX(), b.RadiusY());
    const TarnEllipse& small = aSmaller ? a : b;
    const TarnEllipse& large = aSmaller ? b : a;
    const bool separated = SeparatedAlongCentres(a, b);
    const bool proper = !Flat(a) && !Flat(b);
    Point2D onSmall, onLarge;
    double distance = 0;
    // The support search settles pairs that lie apart or nested with room to spare; a
    // crossing, a touch or a gap too narrow to call is left to the crossing search.
    bool supported = false, apartUnsettled = false;
    if (proper) {
        // Sixteen outline points of each, some inside the other ellipse and some outside,
        // show the outlines crossing. Otherwise the smaller one is nested when its points
        // lie inside, unless the outlines cross between the points.
        int inside = 0;
        if (!separated) {
            inside = PointsInside(small, large);
            if (inside == 0 && PointsInside(large, small) != 0)
                inside = -1;
        }
        if (inside == 0 || inside == kStartPieces)
            supported =
                DistanceBySupport(small, large, inside > 0, separated, false, onSmall, onLarge, distance);
        apartUnsettled = !supported && !separated && inside == 0;
    }
    if (!separated && !(supported && distance > kClearGap * std::max(large.RadiusX(), large.RadiusY()))) {
        int count = 0;
        std::array<Point2D, 4> crossings;
        bool crossing;
        if (Flat(b)) {
            crossing =
                (Flat(large) || !ClearOfCrossing(small, large, OutlineInFrame(small, large))) &&
                IntersectEllipseEllipse(a, b, count, crossings[0], crossings[1], crossings[2], crossings[3]);
        } else {
            const OutlineInFrame f(a, b);
            crossing = !(aSmaller ? ClearOfCrossing(a, b, f) : ClearOfCrossing(b, a, OutlineInFrame(b, a))) &&
                       IntersectProper(a, b, f, crossings, true) > 0;
        }
        if (crossing) {
            onA = onB = crossings[0];
            return 0;
        }
    }
    // Apart after all: the maximum gap is bracketed between samples.
    if (apartUnsettled)
        supported = DistanceBySupport(small, large, false, false, true, onSmall, onLarge, distance);
    if (!supported)
        distance = DistanceBySampling(small, large, onSmall, onLarge);
    (aSmaller ? onA : onB) = onSmall;
    (aSmaller ? onB : onA) = onLarge;
    return distance;
}

} // namespace Ostrel::Vision::Private
