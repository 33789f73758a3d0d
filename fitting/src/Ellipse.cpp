// Ellipse fits: algebraic starts (Taubin, Halir–Flusser), five-point conics, exact foot
// points and the geometric refinement.
#include <algorithm>
#include <cstring>
#include <numbers>

#include "FitCore.h"
#include "LevenbergMarquardt.h"

namespace korm::core {

namespace {

constexpr double kPi = std::numbers::pi;

// Conic A x^2 + B xy + C y^2 + D x + E y + F = 0 to centre, radii and rotation; nullopt
// unless it is a real, non-degenerate ellipse.
std::optional<EllipseModel> ConicToEllipse(double A, double B, double C, double D, double E, double F)
{
    const double det = 4 * A * C - B * B;
    const double size = A * A + B * B + C * C;
    if (!(det > 1e-14 * size))
        return std::nullopt;
    const double x0 = (B * E - 2 * C * D) / det, y0 = (B * D - 2 * A * E) / det;
    double f0 = F + 0.5 * (D * x0 + E * y0);
    if (f0 > 0) {
        A = -A, B = -B, C = -C, f0 = -f0;
    }
    // Along (cos t, sin t) the form is (A+C)/2 + R cos(2t - alpha): largest at t = alpha/2.
    const double alpha = std::atan2(B, A - C), mean = 0.5 * (A + C), rad = std::hypot(0.5 * (A - C), 0.5 * B);
    const double along = mean + rad, across = mean - rad;
    if (!(across > 0) || !(f0 < 0))
        return std::nullopt;
    EllipseModel m{x0, y0, std::sqrt(-f0 / along), std::sqrt(-f0 / across), 0.5 * alpha};
    if (!std::isfinite(m.a) || !std::isfinite(m.b) || !std::isfinite(m.cx) || !std::isfinite(m.cy))
        return std::nullopt;
    return m;
}

// The symmetric eigenproblems of the fits (3 to 6 unknowns) share one matrix type of
// run-time size, held in place: one instantiation of the solvers instead of one per size,
// which halves the compile time of this file at no measurable cost per fit.
using SmallMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, 6, 6>;

struct Normalised {
    double mx, my, s;
};
Normalised Normalise(const Spread& sp, std::size_t count)
{
    const double s = std::sqrt((sp.sxx + sp.syy) / (2.0 * static_cast<double>(count)));
    return {sp.mx, sp.my, s > 0 ? s : 1.0};
}

EllipseModel Denormalise(EllipseModel m, const Normalised& n)
{
    return {n.mx + n.s * m.cx, n.my + n.s * m.cy, n.s * m.a, n.s * m.b, m.theta};
}

// Taubin's fit: the conic minimising the algebraic residuals over their mean squared
// gradient, on centred, scaled data. Features (x^2, xy, y^2, x, y); the constant is
// eliminated. Without the xy feature the conic is axis-aligned in the given frame.
// Every entry of the features' scatter and of their gradients' scatter is a sum of one
// monomial of degree 1 to 4 in the point, so one pass gathers 14 sums and the matrices are
// assembled from them.
template <int K>
std::optional<Eigen::Matrix<double, 6, 1>> Taubin(std::span<const Vec> p, const Normalised& nm, double c,
                                                  double s)
{
    using Mat = Eigen::Matrix<double, K, K>;
    using V = Eigen::Matrix<double, K, 1>;
    double x1 = 0, y1 = 0, x2 = 0, xy = 0, y2 = 0, x3 = 0, x2y = 0, xy2 = 0, y3 = 0;
    double x4 = 0, x3y = 0, x2y2 = 0, xy3 = 0, y4 = 0;
    const double inv = 1 / nm.s, cs = c * inv, ss = s * inv; // into the conic's frame, scaled
    for (const Vec& pt : p) {
        const double dx = pt.x - nm.mx, dy = pt.y - nm.my;
        const double x = cs * dx + ss * dy, y = cs * dy - ss * dx;
        const double xx = x * x, xyv = x * y, yy = y * y;
        x1 += x, y1 += y, x2 += xx, xy += xyv, y2 += yy;
        x3 += xx * x, x2y += xx * y, xy2 += x * yy, y3 += yy * y;
        x4 += xx * xx, x3y += xx * xyv, x2y2 += xx * yy, xy3 += xyv * yy, y4 += yy * yy;
    }
    Mat m, q;
    V mean;
    const double n = static_cast<double>(p.size());
    if constexpr (K == 5) {
        m << x4, x3y, x2y2, x3, x2y, //
            x3y, x2y2, xy3, x2y, xy2, //
            x2y2, xy3, y4, xy2, y3,   //
            x3, x2y, xy2, x2, xy,     //
            x2y, xy2, y3, xy, y2;
        q << 4 * x2, 2 * xy, 0, 2 * x1, 0, //
            2 * xy, x2 + y2, 2 * xy, y1, x1, //
            0, 2 * xy, 4 * y2, 0, 2 * y1,    //
            2 * x1, y1, 0, n, 0,             //
            0, x1, 2 * y1, 0, n;
        mean << x2, xy, y2, x1, y1;
    } else {
        m << x4, x2y2, x3, x2y, //
            x2y2, y4, xy2, y3,  //
            x3, xy2, x2, xy,    //
            x2y, y3, xy, y2;
        q << 4 * x2, 0, 2 * x1, 0, //
            0, 4 * y2, 0, 2 * y1,  //
            2 * x1, 0, n, 0,       //
            0, 2 * y1, 0, n;
        mean << x2, y2, x1, y1;
    }
    mean /= n;
    const Mat pm = m / n - mean * mean.transpose();
    q /= n;
    // The conic is the generalized eigenvector of (pm, q) of the smallest eigenvalue. All the
    // eigenvalues are at least 0, and for points near an ellipse the smallest lies far below
    // the next, so inverse iteration from the circle x^2 + y^2 reaches it to rounding in a
    // few solves with one factorisation of pm. Where it does not settle (eigenvalues close
    // together, pm singular) the full eigensolver decides.
    V a;
    if constexpr (K == 5)
        a << 1, 0, 1, 0, 0;
    else
        a << 1, 1, 0, 0;
    a.normalize();
    bool settled = false;
    const Eigen::LDLT<Mat> ldlt(pm);
    for (int i = 0; i < 12 && ldlt.info() == Eigen::Success; ++i) {
        V next = ldlt.solve(q * a);
        const double norm = next.norm();
        if (!(norm > 0) || !std::isfinite(norm))
            break;
        next /= norm;
        if (next.dot(a) < 0)
            next = -next;
        const double change = (next - a).norm();
        a = next;
        if (change <= 1e-13) {
            settled = true;
            break;
        }
    }
    if (!settled) {
        const SmallMatrix pms = pm, qs = q;
        Eigen::GeneralizedSelfAdjointEigenSolver<SmallMatrix> solver(pms, qs);
        if (solver.info() != Eigen::Success)
            return std::nullopt;
        a = solver.eigenvectors().col(0);
    }
    Eigen::Matrix<double, 6, 1> conic;
    if constexpr (K == 5)
        conic << a(0), a(1), a(2), a(3), a(4), -a.dot(mean);
    else
        conic << a(0), 0, a(1), a(2), a(3), -a.dot(mean);
    return conic;
}

// Halir and Flusser's direct ellipse fit on centred, scaled data: always an ellipse when the
// data allow one, but biased on short arcs, so only a fallback. With the linear part
// eliminated, the quadratic part a minimises a'Ma under the ellipse constraint
// a'Ca = 4 a0 a2 - a1^2 = 1: M a = mu C a. M is a scatter matrix (positive definite unless the
// points lie exactly on a conic, which a tiny ridge covers), so the problem is solved as
// C a = nu M a, a symmetric-definite one, and C's one positive eigenvalue makes the largest
// nu the only ellipse.
std::optional<EllipseModel> HalirFlusser(std::span<const Vec> p, const Normalised& nm)
{
    Eigen::Matrix3d s1 = Eigen::Matrix3d::Zero(), s2 = Eigen::Matrix3d::Zero(), s3 = Eigen::Matrix3d::Zero();
    for (const Vec& pt : p) {
        const double x = (pt.x - nm.mx) / nm.s, y = (pt.y - nm.my) / nm.s;
        const Eigen::Vector3d d1(x * x, x * y, y * y), d2(x, y, 1);
        s1.noalias() += d1 * d1.transpose();
        s2.noalias() += d1 * d2.transpose();
        s3.noalias() += d2 * d2.transpose();
    }
    const Eigen::Matrix3d t = -s3.ldlt().solve(s2.transpose());
    Eigen::Matrix3d m = s1 + s2 * t;
    m = 0.5 * (m + m.transpose()).eval();
    m.diagonal().array() += 1e-14 * m.trace();
    SmallMatrix c = SmallMatrix::Zero(3, 3);
    c(0, 2) = c(2, 0) = 2;
    c(1, 1) = -1;
    const SmallMatrix ms = m;
    Eigen::GeneralizedSelfAdjointEigenSolver<SmallMatrix> solver(c, ms);
    if (solver.info() != Eigen::Success || !(solver.eigenvalues()(2) > 0))
        return std::nullopt;
    const Eigen::Vector3d a1 = solver.eigenvectors().col(2);
    const Eigen::Vector3d a2 = t * a1;
    if (auto e = ConicToEllipse(a1(0), a1(1), a1(2), a2(0), a2(1), a2(2)))
        return Denormalise(*e, nm);
    return std::nullopt;
}

} // namespace

std::optional<EllipseModel> FitEllipseAlgebraic(std::span<const Vec> p, std::optional<double> fixedTheta)
{
    if (p.size() < 5)
        return std::nullopt;
    const Spread sp = ComputeSpread(p);
    if (!(sp.Small() > kCollinearRatio * kCollinearRatio * sp.Large()))
        return std::nullopt;
    const Normalised nm = Normalise(sp, p.size());
    if (fixedTheta) {
        const double c = std::cos(*fixedTheta), s = std::sin(*fixedTheta);
        if (auto k = Taubin<4>(p, nm, c, s)) {
            const auto& v = *k;
            if (auto e = ConicToEllipse(v(0), v(1), v(2), v(3), v(4), v(5))) {
                // Back from the rotated frame: the centre rotates, the axes stay on it.
                const double cx = c * e->cx - s * e->cy, cy = s * e->cx + c * e->cy;
                const bool acrossFirst = std::abs(std::cos(e->theta)) < 0.5;
                EllipseModel m{cx, cy, acrossFirst ? e->b : e->a, acrossFirst ? e->a : e->b, *fixedTheta};
                return Denormalise(m, nm);
            }
        }
    } else if (auto k = Taubin<5>(p, nm, 1, 0)) {
        const auto& v = *k;
        if (auto e = ConicToEllipse(v(0), v(1), v(2), v(3), v(4), v(5)))
            return Denormalise(*e, nm);
    }
    auto e = HalirFlusser(p, nm);
    if (e && fixedTheta) {
        const bool acrossFirst = std::abs(std::cos(e->theta - *fixedTheta)) < std::sqrt(0.5);
        if (acrossFirst)
            std::swap(e->a, e->b);
        e->theta = *fixedTheta;
    }
    return e;
}

std::optional<EllipseModel> EllipseThrough(std::span<const Vec, 5> p)
{
    const Normalised nm = Normalise(ComputeSpread(p), p.size());
    Eigen::Matrix<double, 5, 6> z;
    for (int i = 0; i < 5; ++i) {
        const double x = (p[i].x - nm.mx) / nm.s, y = (p[i].y - nm.my) / nm.s;
        z.row(i) << x * x, x * y, y * y, x, y, 1;
    }
    // The conic is the null vector of z; a second small eigenvalue of z'z means four of the
    // points on a line or repeated points, through which many conics pass.
    const SmallMatrix zz = z.transpose() * z;
    Eigen::SelfAdjointEigenSolver<SmallMatrix> solver(zz);
    const auto& ev = solver.eigenvalues();
    if (!(ev(1) > 1e-20 * ev(5)))
        return std::nullopt;
    const Eigen::Matrix<double, 6, 1> v = solver.eigenvectors().col(0);
    auto e = ConicToEllipse(v(0), v(1), v(2), v(3), v(4), v(5));
    if (!e)
        return std::nullopt;
    return Denormalise(*e, nm);
}

// Eberly's closest point on an ellipse, worked in the first quadrant with the longer axis
// first. With r0 = (e0/e1)^2 and z = (y0/e0, y1/e1), the foot point of (y0, y1) is
// (r0 y0 / (s + r0), y1 / (s + 1)), s the root of G(s) = (r0 z0 / (s + r0))^2 + (z1 / (s + 1))^2 - 1. G is
// convex and decreasing, so Newton's method from a point left of the root climbs to it without overshooting;
// one Newton step from 0 is such a point, and z1 - 1 is one always. The iteration runs on t = s + 1.
Vec EllipseFoot(double a, double b, double u, double v)
{
    const bool swapped = b > a;
    const double e0 = swapped ? b : a, e1 = swapped ? a : b;
    const double y0 = std::abs(swapped ? v : u), y1 = std::abs(swapped ? u : v);
    double x0, x1;
    if (y1 > 0) {
        if (y0 > 0) {
            const double z0 = y0 / e0, z1 = y1 / e1, g = z0 * z0 + z1 * z1 - 1;
            if (g != 0) {
                // Solved for t = s + 1 > 0 rather than s: near the major axis inside the
                // ellipse t is tiny, and s + 1 formed from s would round it to 0 (and the
                // foot to infinity). d = r0 - 1 is formed as a product for the same reason.
                const double r0 = (e0 / e1) * (e0 / e1), n0 = r0 * z0;
                const double d = ((e0 - e1) / e1) * ((e0 + e1) / e1);
                double t = std::max(z1, g / (2 * (z0 * z0 / r0 + z1 * z1)) + 1);
                for (int i = 0; i < 64; ++i) {
                    const double q0 = n0 / (t + d), q1 = z1 / t;
                    const double gs = q0 * q0 + q1 * q1 - 1;
                    if (!(gs > 0))
                        break;
                    const double dt = gs / (2 * (q0 * q0 / (t + d) + q1 * q1 / t));
                    if (!(dt > 1e-16 * t))
                        break;
                    t += dt;
                }
                x0 = r0 * y0 / (t + d);
                x1 = y1 / t;
            } else {
                x0 = y0;
                x1 = y1;
            }
        } else {
            x0 = 0;
            x1 = e1;
        }
    } else {
        const double numer = e0 * y0, denom = e0 * e0 - e1 * e1;
        if (numer < denom) {
            const double xde0 = numer / denom;
            x0 = e0 * xde0;
            x1 = e1 * std::sqrt(std::max(0.0, 1 - xde0 * xde0));
        } else {
            x0 = e0;
            x1 = 0;
        }
    }
    x0 = std::copysign(x0, swapped ? v : u);
    x1 = std::copysign(x1, swapped ? u : v);
    return swapped ? Vec{x1, x0} : Vec{x0, x1};
}

// The foot point by Newton's method on the angle t of X(t) = (a cos t, b sin t), which is
// cheap and, for points near the ellipse, converges in a few steps from the radial projection
// (exact on the ellipse itself) and in one or two from the foot on a nearby ellipse.
// g(t) = (a^2 - b^2) cos t sin t - a u sin t + b v cos t vanishes where q - X(t) is normal to
// the ellipse, and g' < 0 at a minimum of the distance. A point farther off than about half
// the smallest radius of curvature (where a second minimum may lie near), a step that heads
// for a maximum or one near the evolute (g' close to 0, where two feet merge), or no
// convergence hands the point to the exact solver. A step dt turns (cos t, sin t) by
// atan(dt), which differs from dt in the third order and keeps the convergence quadratic.
EllipseFootSolver::EllipseFootSolver(double a, double b)
    : a_(a), b_(b), e_(a * a - b * b), invA_(1 / a), invB_(1 / b),
      ratio2_((std::min(a, b) / std::max(a, b)) * (std::min(a, b) / std::max(a, b)))
{
}

EllipseFootAngle EllipseFootSolver::From(double u, double v, EllipseFootAngle start) const
{
    const double ru = u * invA_, rv = v * invB_;
    if (std::abs(ru * ru + rv * rv - 1) < ratio2_) {
        double c = start.c, s = start.s;
        const double au = a_ * u, bv = b_ * v;
        const double size = std::abs(e_) + std::abs(au) + std::abs(bv);
        for (int i = 0; i < 8; ++i) {
            const double g = e_ * c * s - au * s + bv * c;
            const double gp = e_ * (c * c - s * s) - au * c - bv * s;
            if (!(gp < -1e-2 * size))
                break;
            const double dt = -g / gp, t2 = dt * dt;
            // 1 / sqrt(1 + dt^2); its series to dt^6 is exact to rounding for |dt| < 1e-2,
            // which saves the square root in the last steps.
            const double n = t2 < 1e-4 ? 1 - t2 * (0.5 - t2 * (0.375 - t2 * 0.3125)) : 1 / std::sqrt(1 + t2);
            const double cn = (c - s * dt) * n, sn = (s + c * dt) * n;
            c = cn, s = sn;
            // The error left after a step is about (g'' / 2g') dt^2, below 1e-12 here.
            if (std::abs(dt) <= 1e-7)
                return {c, s};
        }
    }
    const Vec f = EllipseFoot(a_, b_, u, v);
    // The exact foot as an angle; on a radius-0 axis any angle with the right sign serves.
    const double fc = f.x * invA_, fs = f.y * invB_, len = std::sqrt(fc * fc + fs * fs);
    return len > 0 ? EllipseFootAngle{fc / len, fs / len} : EllipseFootAngle{1, 0};
}

EllipseFootAngle EllipseFootSolver::Cold(double u, double v) const
{
    const double ru = u * invA_, rv = v * invB_, len = std::sqrt(ru * ru + rv * rv);
    return From(u, v, len > 0 ? EllipseFootAngle{ru / len, rv / len} : EllipseFootAngle{1, 0});
}

EllipseFootAngle FootAngle(double a, double b, double u, double v)
{
    return EllipseFootSolver(a, b).Cold(u, v);
}

double Distance(const EllipseModel& m, Vec p)
{
    return Distance(m, std::cos(m.theta), std::sin(m.theta), p);
}

double Distance(const EllipseModel& m, double c, double s, Vec p)
{
    const double dx = p.x - m.cx, dy = p.y - m.cy;
    const double u = c * dx + s * dy, v = -s * dx + c * dy;
    const EllipseFootAngle t = FootAngle(m.a, m.b, u, v);
    const double ex = u - m.a * t.c, ey = v - m.b * t.s;
    return std::sqrt(ex * ex + ey * ey);
}

double SampsonDistance(const EllipseModel& m, Vec p)
{
    return SampsonDistance(m, std::cos(m.theta), std::sin(m.theta), p);
}

double SampsonDistance(const EllipseModel& m, double c, double s, Vec p)
{
    const double dx = p.x - m.cx, dy = p.y - m.cy;
    const double u = (c * dx + s * dy) / m.a, v = (-s * dx + c * dy) / m.b;
    const double f = u * u + v * v - 1;
    const double g = Length(2 * u / m.a, 2 * v / m.b);
    return g > 0 ? std::abs(f) / g : std::max(m.a, m.b);
}

namespace {

// Points are taken in blocks of structure-of-arrays: the foot angles of a block are found
// first, step by step over all its points (independent work the processor overlaps and the
// compiler may run over several points at once), then the residuals and Jacobian rows, and
// only then the sums. A short last block is padded to a multiple of four with a point on
// the ellipse, whose values are not used.
constexpr int kBlock = 64;

// Newton's method on the foot angle (see EllipseFootSolver) with a fixed number of steps for
// every point of a block, and a flag telling whether the result may be used as it is: the
// point lies near the ellipse, every step headed for a minimum away from the evolute, and the
// last step was below 1e-7, which leaves an error of about 1e-14. Each step turns
// (cos t, sin t) by atan(dt), dt = -g / g', whose cosine and sine are -g' / h and g / h with
// h = sqrt(g^2 + g'^2): one square root and one division per step.
struct FootBlock {
    double u[kBlock], v[kBlock], c[kBlock], s[kBlock];
    double g[kBlock], gp[kBlock], worst[kBlock]; // the last step's g and g'; the largest g' / size
    bool ok[kBlock];   // the angle may be used as it is
    bool sound[kBlock]; // near the ellipse, every step towards a minimum: only not yet converged
};

void NewtonFeet(FootBlock& b, int span, int steps, double a, double bRadius, double invA, double invB, double ratio2)
{
    const double e = a * a - bRadius * bRadius;
    for (int k = 0; k < span; ++k)
        b.worst[k] = -HUGE_VAL;
    for (int i = 0; i < steps; ++i) {
        for (int k = 0; k < span; ++k) {
            const double u = b.u[k], v = b.v[k], c = b.c[k], s = b.s[k];
            const double au = a * u, bv = bRadius * v;
            const double g = e * c * s - au * s + bv * c;
            const double gp = e * (c * c - s * s) - au * c - bv * s;
            const double size = std::abs(e) + std::abs(au) + std::abs(bv);
            b.worst[k] = std::max(b.worst[k], gp + 1e-2 * size);
            const double h = 1 / std::sqrt(g * g + gp * gp);
            b.c[k] = -(gp * c + g * s) * h;
            b.s[k] = (g * c - gp * s) * h;
            b.g[k] = g, b.gp[k] = gp;
        }
    }
    for (int k = 0; k < span; ++k) {
        const double ru = b.u[k] * invA, rv = b.v[k] * invB;
        b.sound[k] = std::abs(ru * ru + rv * rv - 1) < ratio2 && b.worst[k] < 0;
        b.ok[k] = b.sound[k] && std::abs(b.g[k]) <= 1e-7 * std::abs(b.gp[k]);
    }
}

// Residuals and Jacobian rows of a block (see RefineEllipse), and their sums in two lanes
// (even and odd points) that the compiler may keep in one vector register each.
template <int K> struct RowBlock {
    double r[kBlock], j[K][kBlock];
};

template <int K> void Rows(const FootBlock& b, int span, RowBlock<K>& out, double a, double bRadius, double c, double s)
{
    for (int k = 0; k < span; ++k) {
        const double tc = b.c[k], ts = b.s[k];
        const double fx = a * tc, fy = bRadius * ts;
        double nx = tc * bRadius, ny = ts * a;
        const double nn = 1 / std::sqrt(nx * nx + ny * ny);
        nx *= nn, ny *= nn;
        out.r[k] = nx * (b.u[k] - fx) + ny * (b.v[k] - fy);
        out.j[0][k] = -(c * nx - s * ny);
        out.j[1][k] = -(s * nx + c * ny);
        out.j[2][k] = -nx * tc;
        out.j[3][k] = -ny * ts;
        if constexpr (K == 5)
            out.j[4][k] = nx * fy - ny * fx;
    }
}

// Two doubles side by side, one point in each: the compiler keeps them in one vector register
// (or in two scalar ones without vector instructions, with the same results).
using Pair = double __attribute__((vector_size(16)));

inline Pair LoadPair(const double* x)
{
    Pair p;
    std::memcpy(&p, x, sizeof p);
    return p;
}

template <int K> struct Sums {
    Pair h[K][K] = {}, g[K] = {}, cost = {};
};

template <int K> void AddRows(const Pair* j, Pair r, Sums<K>& sums)
{
#pragma GCC unroll 5
    for (int row = 0; row < K; ++row) {
#pragma GCC unroll 5
        for (int col = 0; col <= row; ++col)
            sums.h[row][col] += j[row] * j[col];
        sums.g[row] += r * j[row];
    }
    sums.cost += r * r;
}

template <int K> void Accumulate(const RowBlock<K>& rb, int count, Sums<K>& sums)
{
    // The points in pairs, even ones in the first lane; the padding is not summed, so the
    // sums are those of the points alone, in the same lanes whatever the block.
    Pair j[K];
    int k = 0;
    for (; k + 1 < count; k += 2) {
        for (int row = 0; row < K; ++row)
            j[row] = LoadPair(&rb.j[row][k]);
        AddRows<K>(j, LoadPair(&rb.r[k]), sums);
    }
    if (k < count) {
        for (int row = 0; row < K; ++row)
            j[row] = Pair{rb.j[row][k], 0};
        AddRows<K>(j, Pair{rb.r[k], 0}, sums);
    }
}

} // namespace

int RefineEllipse(std::span<const Vec> p, EllipseModel& m, bool fixedTheta, int maxIterations, double tol,
                  double* sumSq, double* startSumSq, double stopRadius)
{
    double cost = 0, evaluatedCost = 0, startCost = 0;
    // Signed distance n . (q - X(t)), n the outward unit normal at the foot X(t). Moving a
    // parameter moves the foot point at fixed t; the foot point's own slide along the ellipse
    // is orthogonal to n and drops out, so dd/dparam = -n . dX/dparam. One pass gives the cost
    // and the normal equations; K = 4 leaves the rotation out.
    // The foot angles of the last accepted model start the next evaluation's Newton steps;
    // the trial's own are kept in a second pair of arrays until the trial is accepted.
    const std::size_t n = p.size();
    std::vector<double> footC(n), footS(n), trialC(n), trialS(n);
    bool warm = false;
    EllipseModel last, evaluated; // the model of the feet in footC/footS; the latest trial
    auto evaluate = [&]<int K>(const EllipseModel& e, Eigen::Matrix<double, K, K>& jtj,
                               Eigen::Matrix<double, K, 1>& jtr) {
        evaluated = e;
        if (!(e.a > 0) || !(e.b > 0))
            return evaluatedCost = HUGE_VAL;
        const double c = std::cos(e.theta), s = std::sin(e.theta);
        const EllipseFootSolver solver(e.a, e.b);
        const double invA = 1 / e.a, invB = 1 / e.b;
        const double ratio2 =
            (std::min(e.a, e.b) / std::max(e.a, e.b)) * (std::min(e.a, e.b) / std::max(e.a, e.b));
        // Newton converges quadratically: from the radial projection, or from the feet of a
        // model the trial differs from by a step of relative size d, the angles start about d
        // off, and the steps needed to reach the check's 1e-7 in the last step follow from it.
        int steps = 3;
        if (warm) {
            const double d = (std::abs(e.cx - last.cx) + std::abs(e.cy - last.cy) + std::abs(e.a - last.a) +
                              std::abs(e.b - last.b)) /
                                 std::min(e.a, e.b) +
                             std::abs(e.theta - last.theta) * std::max(e.a, e.b) / std::min(e.a, e.b);
            steps = d < 1e-7 ? 1 : d < 3e-3 ? 2 : 3;
        }
        FootBlock b;
        RowBlock<K> rb;
        Sums<K> sums;
        for (std::size_t base = 0; base < n; base += kBlock) {
            const int count = static_cast<int>(std::min<std::size_t>(kBlock, n - base));
            for (int k = 0; k < count; ++k) {
                const Vec& q = p[base + k];
                const double dx = q.x - e.cx, dy = q.y - e.cy;
                const double u = c * dx + s * dy, v = -s * dx + c * dy;
                b.u[k] = u, b.v[k] = v;
                if (warm) {
                    b.c[k] = footC[base + k], b.s[k] = footS[base + k];
                } else {
                    const double ru = u * invA, rv = v * invB, len = std::sqrt(ru * ru + rv * rv);
                    const double il = len > 0 ? 1 / len : 0; // 0 fails the check below
                    b.c[k] = ru * il, b.s[k] = rv * il;
                }
            }
            const int span = std::min(kBlock, (count + 3) & ~3);
            for (int k = count; k < span; ++k)
                b.u[k] = e.a, b.v[k] = 0, b.c[k] = 1, b.s[k] = 0;
            NewtonFeet(b, span, steps, e.a, e.b, invA, invB, ratio2);
            for (int k = 0; k < count; ++k) {
                if (!b.ok[k]) {
                    // Steps that only fell short go on from where they are; anything else
                    // starts again from the start angle, with the exact solver behind it.
                    const EllipseFootAngle t =
                        b.sound[k] ? solver.From(b.u[k], b.v[k], {b.c[k], b.s[k]})
                        : warm     ? solver.From(b.u[k], b.v[k], {footC[base + k], footS[base + k]})
                                   : solver.Cold(b.u[k], b.v[k]);
                    b.c[k] = t.c, b.s[k] = t.s;
                }
                trialC[base + k] = b.c[k], trialS[base + k] = b.s[k];
            }
            Rows<K>(b, span, rb, e.a, e.b, c, s);
            Accumulate<K>(rb, count, sums);
        }
        for (int row = 0; row < K; ++row) {
            jtr(row) = sums.g[row][0] + sums.g[row][1];
            for (int col = 0; col <= row; ++col)
                jtj(row, col) = jtj(col, row) = sums.h[row][col][0] + sums.h[row][col][1];
        }
        evaluatedCost = sums.cost[0] + sums.cost[1];
        return evaluatedCost;
    };
    const Spread sp = ComputeSpread(p);
    const double extent = std::sqrt((sp.sxx + sp.syy) / static_cast<double>(p.size()));
    const double scale = extent + std::abs(m.cx) + std::abs(m.cy) + m.a + m.b;
    auto accept = [&] {
        if (!warm)
            startCost = evaluatedCost;
        footC.swap(trialC);
        footS.swap(trialS);
        last = evaluated;
        warm = true;
        return std::max(std::abs(evaluated.a), std::abs(evaluated.b)) <= stopRadius;
    };
    // The start is an algebraic fit near the minimum, where Gauss–Newton steps are good, so
    // the damping starts all but off. Starting it at 1e-3 of the diagonal costs several
    // iterations on short arcs: the smallest eigenvalue of JtJ, along the direction the arc
    // hardly constrains, lies far below that, and the damped steps crawl along it until the
    // damping has fallen by ten per iteration. A damping just raised is kept: lowering it
    // again would repeat the rejected trial, one wasted evaluation per iteration along that
    // valley. For the same reason a rejected step is halved at least before the next
    // evaluation: from a start far along the valley the first steps overshoot by a factor of
    // ten or more, and each tenfold rise of so small a damping barely shortens them.
    constexpr Damping kDamping{1e-9, true, true};
    int iterations;
    if (fixedTheta) {
        iterations = LevenbergMarquardt<4>(
            m,
            [&](const EllipseModel& e, Eigen::Matrix4d& jtj, Eigen::Vector4d& jtr) {
                return evaluate.template operator()<4>(e, jtj, jtr);
            },
            accept,
            [](EllipseModel e, const Eigen::Vector4d& s) {
                e.cx += s(0), e.cy += s(1), e.a += s(2), e.b += s(3);
                return e;
            },
            maxIterations, tol, scale, cost, kDamping);
    } else {
        iterations = LevenbergMarquardt<5>(
            m,
            [&](const EllipseModel& e, Eigen::Matrix<double, 5, 5>& jtj, Eigen::Matrix<double, 5, 1>& jtr) {
                return evaluate.template operator()<5>(e, jtj, jtr);
            },
            accept,
            [](EllipseModel e, const Eigen::Matrix<double, 5, 1>& s) {
                e.cx += s(0), e.cy += s(1), e.a += s(2), e.b += s(3), e.theta += s(4);
                return e;
            },
            maxIterations, tol, scale, cost, kDamping);
    }
    m.a = std::abs(m.a);
    m.b = std::abs(m.b);
    // Radii that collapse or run away mean the points lie on no proper ellipse.
    if (!(std::min(m.a, m.b) > 1e-9 * std::max(m.a, m.b)) || !(std::max(m.a, m.b) < 1e6 * extent))
        return -1;
    if (!fixedTheta) {
        m.theta = std::remainder(m.theta, kPi); // [-pi/2, pi/2]
        if (m.theta <= -kPi / 2)
            m.theta += kPi;
    }
    if (sumSq)
        *sumSq = cost;
    if (startSumSq)
        *startSumSq = startCost;
    return iterations;
}

} // namespace korm::core
