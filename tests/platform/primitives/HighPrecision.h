#pragma once
// 50-digit references for crossings near tangency, written independently of the code under
// test: the ellipse pair as the real roots of two quartics, found by isolating the roots of
// each derivative in turn and bisecting, and the circle pair in closed form.

#include <algorithm>
#include <vector>

#include <boost/multiprecision/cpp_bin_float.hpp>

#include <Ostrel/Vision/Private/Geometry2D.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>

namespace HighPrecision {

using Ostrel::Vision::Private::Point2D;
using Ostrel::Vision::Private::TarnEllipse;
using Real = boost::multiprecision::cpp_bin_float_50;

struct RVec {
    Real x, y;
};

// An ellipse with the 50-digit cos and sin of its rotation.
struct Frame {
    Real cx, cy, c, s, rx, ry;
    explicit Frame(const TarnEllipse& e)
        : cx(e.CenterX()), cy(e.CenterY()), c(cos(Real(e.Rotation()))), s(sin(Real(e.Rotation()))),
          rx(e.RadiusX()), ry(e.RadiusY())
    {
    }
    // A world point in the frame scaled so that the outline is the unit circle.
    RVec Unit(const RVec& w) const
    {
        const Real dx = w.x - cx, dy = w.y - cy;
        return {(c * dx + s * dy) / rx, (c * dy - s * dx) / ry};
    }
    RVec Outline(const Real& phi) const
    {
        const Real lx = rx * cos(phi), ly = ry * sin(phi);
        return {cx + c * lx - s * ly, cy + s * lx + c * ly};
    }
    // Distance of a point near the outline from it, to first order: |G| / |grad G| for the
    // implicit form G = |Unit(w)|² - 1.
    Real Offset(const RVec& w) const
    {
        const RVec u = Unit(w);
        return abs(u.x * u.x + u.y * u.y - 1) / (2 * sqrt(u.x * u.x / (rx * rx) + u.y * u.y / (ry * ry)));
    }
};

inline RVec Promote(Point2D p)
{
    return {p.x, p.y};
}

inline Real Horner(const std::vector<Real>& c, const Real& t)
{
    Real v = 0;
    for (auto k = c.size(); k-- > 0;)
        v = v * t + c[k];
    return v;
}

// The real roots of odd multiplicity of the polynomial with coefficients c (lowest first),
// in increasing order: between neighbouring sign changes of the derivative the polynomial
// is monotone, so each piece holds at most one root, found by bisection.
inline std::vector<Real> SignChanges(std::vector<Real> c)
{
    while (!c.empty() && c.back() == 0)
        c.pop_back();
    if (c.size() < 2)
        return {};
    std::vector<Real> d;
    for (std::size_t k = 1; k < c.size(); ++k)
        d.push_back(c[k] * static_cast<int>(k));
    Real bound = 0;
    for (const Real& x : c)
        bound = std::max(bound, Real(abs(x / c.back())));
    std::vector<Real> ends = SignChanges(d);
    ends.insert(ends.begin(), -(bound + 1));
    ends.push_back(bound + 1);
    std::vector<Real> roots;
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        Real lo = ends[i], hi = ends[i + 1];
        const bool rising = Horner(c, lo) < 0;
        if (rising == (Horner(c, hi) < 0))
            continue;
        for (int k = 0; k < 400; ++k) {
            const Real mid = (lo + hi) / 2;
            if (mid == lo || mid == hi)
                break;
            ((Horner(c, mid) < 0) == rising ? lo : hi) = mid;
        }
        roots.push_back((lo + hi) / 2);
    }
    return roots;
}

// The outline of a seen from b: v(φ) = p + A cos φ + B sin φ in b's unit frame and
// g = |v|² - 1 = k0 + k1 cos φ + k2 sin φ + k3 cos 2φ + k4 sin 2φ, negative inside b.
// Its roots of odd multiplicity are the crossings, its extrema the places of nearest
// approach (or deepest overlap) along a's outline.
struct Feature {
    Real angle;
    RVec point;
    bool root;
    Real offset; // of an extremum: its distance from b's outline, to first order
};

inline std::vector<Feature> PairFeatures(const TarnEllipse& ea, const TarnEllipse& eb)
{
    const Frame a(ea), b(eb);
    const RVec p = b.Unit({a.cx, a.cy}), o = b.Unit({0, 0});
    const RVec ax = b.Unit({a.c * a.rx, a.s * a.rx}), ay = b.Unit({-a.s * a.ry, a.c * a.ry});
    const RVec A{ax.x - o.x, ax.y - o.y}, B{ay.x - o.x, ay.y - o.y};
    const auto dot = [](const RVec& u, const RVec& v) { return u.x * v.x + u.y * v.y; };
    const Real k0 = dot(p, p) + (dot(A, A) + dot(B, B)) / 2 - 1, k1 = 2 * dot(p, A), k2 = 2 * dot(p, B),
               k3 = (dot(A, A) - dot(B, B)) / 2, k4 = dot(A, B);
    // t = tan((φ - φ0) / 2) turns a0 + a1 cos φ + b1 sin φ + a2 cos 2φ + b2 sin 2φ, times
    // (1 + t²)², into a quartic; the offset φ0 keeps the roots away from t = ∞.
    const Real phi0 = Real(0.7390851332151607);
    const auto quartic = [&](Real a0, Real a1, Real b1, Real a2, Real b2) {
        const Real c1 = cos(phi0), s1 = sin(phi0), c2 = cos(2 * phi0), s2 = sin(2 * phi0);
        const Real p1 = a1 * c1 + b1 * s1, q1 = b1 * c1 - a1 * s1, p2 = a2 * c2 + b2 * s2,
                   q2 = b2 * c2 - a2 * s2;
        return std::vector<Real>{a0 + p1 + p2, 2 * q1 + 4 * q2, 2 * a0 - 6 * p2, 2 * q1 - 4 * q2,
                                 a0 - p1 + p2};
    };
    std::vector<Feature> out;
    const Real twoPi = 2 * boost::math::constants::pi<Real>();
    const auto add = [&](const Real& t, bool root) {
        Real phi = phi0 + 2 * atan(t);
        if (phi < 0)
            phi += twoPi;
        if (phi >= twoPi)
            phi -= twoPi;
        const RVec point = a.Outline(phi);
        out.push_back({phi, point, root, root ? Real(0) : b.Offset(point)});
    };
    for (const Real& t : SignChanges(quartic(k0, k1, k2, k3, k4)))
        add(t, true);
    for (const Real& t : SignChanges(quartic(0, k2, -k1, 2 * k4, -2 * k3)))
        add(t, false);
    std::sort(out.begin(), out.end(), [](const Feature& x, const Feature& y) { return x.angle < y.angle; });
    return out;
}

// The contacts and crossings as the primitives are to report them, with a band `band`:
// the features in order around the outline, split at every extremum farther than the band
// from b; each stretch between splits that holds a root or an extremum is one point. The
// features of each stretch are returned (a stretch across the seam of the angle is one).
inline std::vector<std::vector<Feature>> Stretches(const std::vector<Feature>& features, const Real& band)
{
    std::vector<std::vector<Feature>> out;
    const auto split = std::find_if(features.begin(), features.end(),
                                    [&](const Feature& f) { return !f.root && f.offset > band; });
    if (split == features.end())
        return out; // the outlines never part by more than the band: coincident
    const auto n = features.size();
    const auto first = static_cast<std::size_t>(split - features.begin());
    std::vector<Feature> current;
    for (std::size_t k = 1; k <= n; ++k) {
        const Feature& f = features[(first + k) % n];
        if (f.root || f.offset <= band) {
            current.push_back(f);
        } else if (!current.empty()) {
            out.push_back(current);
            current.clear();
        }
    }
    return out;
}

} // namespace HighPrecision
