#pragma once
// The pieces that the three ellipse-pair algorithms share: the crossing search
// (EllipseCrossings.cpp), the distance from the support functions (EllipseSupport.cpp) and
// the distance by sampling the smaller outline (EllipseSampling.cpp). The two entry points,
// IntersectEllipseEllipse and DistanceEllipseEllipse, choose among them.

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include <Ostrel/Vision/Private/RoundShapes.h>

namespace Ostrel::Vision::Private::EllipsePair {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Subdivision of the angle parameter: 16 starting pieces, each halved at most 40 times
// (pieces of 6e-13 rad, below the resolution the tangency band needs), and a cap on the
// pieces examined in all that guards against rounding noise near coincident outlines.
constexpr int kStartPieces = 16;
constexpr int kMaxDepth = 40;
constexpr int kMaxPieces = 20000;
// A Newton step below this (radians) ends a refinement: the outline point then moves by
// less than 1e-15 of the ellipse's size.
constexpr double kAngleResolution = 1e-15;

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

const AngleTables& Tables();

// The outline of `a`, X(φ) = centre + R(θa)·(rx cos φ, ry sin φ), seen in the frame of `b`
// scaled so that b's outline is the unit circle: v(φ) = p + A cos φ + B sin φ. Then
// g(φ) = |v|² - 1 is negative inside b, and its roots are the crossings. g is a
// trigonometric polynomial of degree 2,
//   g = k0 + k1 cos φ + k2 sin φ + k3 cos 2φ + k4 sin 2φ,
// k1 = 2 p·A, k2 = 2 p·B, k3 = (|A|² - |B|²)/2, k4 = A·B, so its n-th derivative (n >= 1)
// is bounded by |(k1, k2)| + 2^n |(k3, k4)| over the whole turn.
struct OutlineInFrame {
    Point2D p, A, B;
    double bound3;          // bound of |g'''|
    double bound5;          // bound of the fifth derivative, which also bounds the fourth
    double scale;           // |p| + |A| + |B|: bounds |v|
    double coefficientSize; // largest amplitude of the terms of g: 0 when the outlines coincide
    double mean, reach;     // g lies within mean ± reach over the whole turn
    double invRx, invRy;    // 1 / b's radii

    OutlineInFrame(const TarnEllipse& a, const TarnEllipse& b)
    {
        const double ca = a.CosRotation(), sa = a.SinRotation();
        const double cb = b.CosRotation(), sb = b.SinRotation();
        const double cd = ca * cb + sa * sb, sd = sa * cb - ca * sb; // rotation of a in b's frame
        const Point2D p0 = b.ToLocal({a.CenterX(), a.CenterY()});
        const double rxb = b.RadiusX(), ryb = b.RadiusY();
        invRx = 1 / rxb;
        invRy = 1 / ryb;
        p = {p0.x / rxb, p0.y / ryb};
        A = {a.RadiusX() * cd / rxb, a.RadiusX() * sd / ryb};
        B = {-a.RadiusY() * sd / rxb, a.RadiusY() * cd / ryb};
        const double k1 = 2 * Dot(p, A), k2 = 2 * Dot(p, B);
        const double k3 = 0.5 * (Dot(A, A) - Dot(B, B)), k4 = Dot(A, B);
        const double k0 = Dot(p, p) + 0.5 * (Dot(A, A) + Dot(B, B)) - 1;
        const double first = Hypot(k1, k2), second = Hypot(k3, k4);
        bound3 = (first + 8 * second) * (1 + 1e-12);
        bound5 = (first + 32 * second) * (1 + 1e-12);
        reach = first + second;
        mean = k0;
        coefficientSize = std::max({std::fabs(k0), first, second});
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
    // g and its first four derivatives, d[n] the n-th, from v'' = p - v and v''' = -v'.
    void Eval(double c, double s, double (&d)[5]) const
    {
        const Point2D v{p.x + A.x * c + B.x * s, p.y + A.y * c + B.y * s};
        const Point2D dv{B.x * c - A.x * s, B.y * c - A.y * s};
        const Point2D ddv = p - v;
        const double vv = Dot(v, ddv), dd = Dot(dv, dv);
        d[0] = (v.x * v.x + v.y * v.y) - 1;
        d[1] = 2 * Dot(v, dv);
        d[2] = 2 * (dd + vv);
        d[3] = 2 * (3 * Dot(dv, ddv) - Dot(v, dv));
        d[4] = 2 * (3 * Dot(ddv, ddv) - 4 * dd - vv);
    }
    // The distance of the outline point at (c, s) from b's outline, to first order in g:
    // |g| over the length of the gradient of b's implicit form, 2 |(v.x / rx, v.y / ry)|.
    double Offset(double c, double s, double g) const
    {
        const double x = (p.x + A.x * c + B.x * s) * invRx, y = (p.y + A.y * c + B.y * s) * invRy;
        return std::fabs(g) / (2 * std::sqrt(x * x + y * y));
    }
    // g and its first two derivatives at the angle with cos c and sin s, and whether the
    // outline point there lies within `band` of b. The search gives every angle it evaluates
    // one cos/sin pair, so the sign tests of neighbouring pieces see the same value at their
    // shared end.
    void EvalEnd(double c, double s, double band, double& g, double& g1, double& g2, bool& near) const
    {
        Eval(c, s, g, g1, g2);
        // The gradient is at most 2|v| / (b's smaller radius): a cheap test first.
        near =
            std::fabs(g) <= 2 * band * std::max(invRx, invRy) * (1 + std::fabs(g)) && Offset(c, s, g) <= band;
    }
};

inline Point2D OutlinePoint(const TarnEllipse& e, double c, double s)
{
    return e.ToWorld({e.RadiusX() * c, e.RadiusY() * s});
}

inline Point2D OutlinePoint(const TarnEllipse& e, double phi)
{
    return OutlinePoint(e, std::cos(phi), std::sin(phi));
}

// Turns the unit vector (c, s) by the angle d. Up to half a radian, Taylor series of cos d
// and sin d replace the library's calls, to the degree that leaves the next terms below
// 1e-17: 5 up to 1e-3, 11 up to 0.2 (the half-width of the crossing search's starting
// pieces), 15 up to half a radian (in TurnFar, with the library beyond).
void TurnFar(double& c, double& s, double d);
inline void Turn(double& c, double& s, double d)
{
    double cd, sd;
    const double x = d * d;
    if (x <= 1e-6) {
        cd = 1 - x * (1.0 / 2 - x * (1.0 / 24));
        sd = d * (1 - x * (1.0 / 6 - x * (1.0 / 120)));
    } else if (x <= 0.04) {
        // In pairs of terms, which shortens the chain of dependent operations.
        const double x2 = x * x, x4 = x2 * x2;
        cd = (1 - 0.5 * x) + x2 * ((1.0 / 24 - x * (1.0 / 720)) + x2 * (1.0 / 40320 - x * (1.0 / 3628800)));
        sd = d * ((1 - x * (1.0 / 6)) + x2 * (1.0 / 120 - x * (1.0 / 5040)) +
                  x4 * (1.0 / 362880 - x * (1.0 / 39916800)));
    } else {
        TurnFar(c, s, d);
        return;
    }
    const double nc = c * cd - s * sd;
    s = s * cd + c * sd;
    c = nc;
}

// A zero-width ellipse as the segment it is.
inline Segment2D AsSegment(const TarnEllipse& e)
{
    const Point2D end = e.RadiusX() >= e.RadiusY() ? Point2D{e.RadiusX(), 0} : Point2D{0, e.RadiusY()};
    return {e.ToWorld({-end.x, -end.y}), e.ToWorld(end)};
}

inline bool Flat(const TarnEllipse& e)
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

// The angle parameter of an outline point of `e`.
double ParameterOf(const TarnEllipse& e, const Point2D& point);

// Newton's method on the stationarity conditions of F(φ, ψ) = |Xa(φ) - Xb(ψ)|² / 2,
//   (Xa - Xb)·Xa' = 0,  (Xa - Xb)·Xb' = 0,
// damped (Levenberg-Marquardt) so that every accepted step lowers F: from a start in the
// basin of a minimum it converges quadratically, and a saddle or an indefinite Hessian
// only turns the steps towards descent.
// Returns whether the steps shrank below the angle resolution within the step bound.
bool RefinePair(const Outline& oa, const Outline& ob, double& phi, double& psi, Point2D& xa, Point2D& xb);

// ---- The crossing search (EllipseCrossings.cpp) ----

// The crossings and contacts of the outlines of a and b (b not flat) in order of a's angle,
// as IntersectEllipseEllipse reports them; with `firstOnly` the search ends once one is
// certain, and the count is only whether there is one.
int IntersectProper(const TarnEllipse& a, const TarnEllipse& b, const OutlineInFrame& f,
                    std::array<Point2D, 4>& out, bool firstOnly);

// Whether the crossing search of a pair runs along a's outline in b's frame (true) or
// along b's in a's. The frame is the ellipse with the wider minor axis: scaling the other
// by its radii then stretches least, and g has the fewest pieces that need halving. The
// other values break ties, so that both argument orders choose the same search and find
// the same points.
inline bool SearchAlongFirst(const TarnEllipse& a, const TarnEllipse& b)
{
    const auto key = [](const TarnEllipse& e) {
        return std::array{std::min(e.RadiusX(), e.RadiusY()),
                          std::max(e.RadiusX(), e.RadiusY()),
                          e.CenterX(),
                          e.CenterY(),
                          e.CosRotation(),
                          e.SinRotation()};
    };
    return key(a) <= key(b);
}

// True when the outline of `a` lies wholly inside or wholly outside the filled `b` (not
// flat; f is a in b's frame), decided over the whole turn at once: g of OutlineInFrame stays within
// k0 ± (|(k1, k2)| + |(k3, k4)|). The margin is far above the rounding of the coefficients,
// and |g| above it keeps the outlines apart by more than 1e-9 of the larger size (g/3 in
// units of b's smaller radius at least), far beyond the tangency band.
bool ClearOfCrossing(const TarnEllipse& a, const TarnEllipse& b, const OutlineInFrame& f);

// ---- The distance from the support functions (EllipseSupport.cpp) ----

// Gap (relative to the larger size) above which the support search alone settles that the
// outlines neither cross nor touch: far above the tangency band and the rounding of the
// support functions.
constexpr double kClearGap = 1e-9;

// True when a line across the centre line separates the filled ellipses with room to
// spare (far more than the tangency band): the outlines then neither cross nor touch.
bool SeparatedAlongCentres(const TarnEllipse& a, const TarnEllipse& b);

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
                       bool bracketsApart, Point2D& onSmall, Point2D& onLarge, double& distance);

// ---- The distance by sampling (EllipseSampling.cpp) ----

// How many of the outline points of `a` at the angles 2πk/16 lie in the filled `b` (not
// flat), tested in b's frame scaled to the unit circle.
int PointsInside(const TarnEllipse& a, const TarnEllipse& b);

// The distance between outlines that do not meet, by sampling the smaller outline (axis
// ends included) and refining the pairs at the sampled minima of the distance to the
// larger one by damped Newton on both angles; the nearest refined pair wins. Sampling
// the smaller outline keeps the samples dense on the scale of the features that
// separate the candidate minima (the two tips of a small needle, say). Works for flat
// ellipses too.
double DistanceBySampling(const TarnEllipse& small, const TarnEllipse& large, Point2D& onSmall,
                          Point2D& onLarge);

} // namespace Ostrel::Vision::Private::EllipsePair
