// Orthogonal line fit and the circle fits (Hyper algebraic start, geometric refinement).
#include "FitCore.h"
#include "LevenbergMarquardt.h"

#include <type_traits>

namespace korm::core {

Spread ComputeSpread(std::span<const Vec> p)
{
    Spread s;
    const double n = static_cast<double>(p.size());
    for (const Vec& q : p) {
        s.mx += q.x;
        s.my += q.y;
    }
    s.mx /= n;
    s.my /= n;
    for (const Vec& q : p) {
        const double dx = q.x - s.mx, dy = q.y - s.my;
        s.sxx += dx * dx;
        s.sxy += dx * dy;
        s.syy += dy * dy;
    }
    return s;
}

// Eigenvalues of the 2x2 scatter matrix, the small one from the determinant so that it keeps
// its relative accuracy when the points are nearly collinear.
double Spread::Large() const
{
    return 0.5 * (sxx + syy) + std::hypot(0.5 * (sxx - syy), sxy);
}
double Spread::Small() const
{
    const double large = Large();
    return large > 0 ? std::max(0.0, (sxx * syy - sxy * sxy) / large) : 0.0;
}

// Principal eigenvector of the scatter matrix in closed form: with d = (sxx - syy) / 2 and
// r = |(d, sxy)|, (d + r, sxy) when d >= 0 and (sxy, r - d) otherwise, each free of
// cancellation. An isotropic spread has no preferred direction; the x axis is taken.
LineModel LineFromSpread(const Spread& s)
{
    const double d = 0.5 * (s.sxx - s.syy), r = std::hypot(d, s.sxy);
    double ux = d >= 0 ? d + r : s.sxy, uy = d >= 0 ? s.sxy : r - d;
    const double len = std::hypot(ux, uy);
    if (len > 0)
        ux /= len, uy /= len;
    else
        ux = 1, uy = 0;
    return LineModel{s.mx, s.my, ux, uy};
}

std::optional<LineModel> FitLine(std::span<const Vec> p)
{
    const Spread s = ComputeSpread(p);
    if (!(s.Large() > 0))
        return std::nullopt;
    return LineFromSpread(s);
}

std::optional<DirectLine> FitLineInPlace(const korm_vect* points, int count)
{
    const double x0 = points[0].x, y0 = points[0].y, n = static_cast<double>(count);
    // Two interleaved sets of sums halve the dependency chains of the additions.
    double sx[2] = {}, sy[2] = {}, sxx[2] = {}, sxy[2] = {}, syy[2] = {};
    int i = 0;
    for (; i + 1 < count; i += 2) {
        for (int j = 0; j < 2; ++j) {
            const double x = points[i + j].x - x0, y = points[i + j].y - y0;
            sx[j] += x, sy[j] += y;
            sxx[j] += x * x, sxy[j] += x * y, syy[j] += y * y;
        }
    }
    if (i < count) {
        const double x = points[i].x - x0, y = points[i].y - y0;
        sx[0] += x, sy[0] += y;
        sxx[0] += x * x, sxy[0] += x * y, syy[0] += y * y;
    }
    Spread s;
    s.mx = (sx[0] + sx[1]) / n;
    s.my = (sy[0] + sy[1]) / n;
    s.sxx = (sxx[0] + sxx[1]) - n * s.mx * s.mx;
    s.sxy = (sxy[0] + sxy[1]) - n * s.mx * s.my;
    s.syy = (syy[0] + syy[1]) - n * s.my * s.my;
    if (!std::isfinite(s.sxx + s.sxy + s.syy))
        return std::nullopt;
    // Moments about a point far from the centroid (relative to the spread) cancel; then they
    // are taken again about the centroid. Bounded by n since points[0] is one of the points.
    const double offset = n * (s.mx * s.mx + s.my * s.my);
    if (offset > 64 * (s.sxx + s.syy)) {
        double cxx = 0, cxy = 0, cyy = 0;
        for (int k = 0; k < count; ++k) {
            const double x = (points[k].x - x0) - s.mx, y = (points[k].y - y0) - s.my;
            cxx += x * x, cxy += x * y, cyy += y * y;
        }
        s.sxx = cxx, s.sxy = cxy, s.syy = cyy;
    }
    if (!(s.Large() > 0))
        return std::nullopt;
    DirectLine fit{LineFromSpread(s), 0};
    const LineModel& m = fit.model;
    const double c = m.ux * m.py - m.uy * m.px;
    double sum[2] = {};
    i = 0;
    for (; i + 1 < count; i += 2) {
        for (int j = 0; j < 2; ++j) {
            const double d = m.ux * (points[i + j].y - y0) - m.uy * (points[i + j].x - x0) - c;
            sum[j] += d * d;
        }
    }
    if (i < count) {
        const double d = m.ux * (points[i].y - y0) - m.uy * (points[i].x - x0) - c;
        sum[0] += d * d;
    }
    fit.sumSq = sum[0] + sum[1];
    return fit;
}

std::optional<CircleModel> CircleThrough(Vec a, Vec b, Vec c)
{
    const double bx = b.x - a.x, by = b.y - a.y, cx = c.x - a.x, cy = c.y - a.y;
    const double d = 2 * (bx * cy - by * cx);
    const double scale = (bx * bx + by * by) + (cx * cx + cy * cy);
    if (!(std::abs(d) > kCollinearRatio * scale))
        return std::nullopt;
    const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    const double ux = (cy * b2 - by * c2) / d, uy = (bx * c2 - cx * b2) / d;
    return CircleModel{a.x + ux, a.y + uy, std::hypot(ux, uy)};
}

// Hyper fit (Al-Sharadqa and Chernov): the algebraic fit whose bias vanishes to second order,
// so that short arcs keep their radius. Newton's method on the characteristic polynomial
// from 0 finds its smallest root.
std::optional<CircleModel> FitCircleHyper(std::span<const Vec> p)
{
    const Spread s = ComputeSpread(p);
    if (!(s.Small() > kCollinearRatio * kCollinearRatio * s.Large()))
        return std::nullopt;
    double mxx = 0, myy = 0, mxy = 0, mxz = 0, myz = 0, mzz = 0;
    for (const Vec& q : p) {
        const double x = q.x - s.mx, y = q.y - s.my, z = x * x + y * y;
        mxx += x * x;
        myy += y * y;
        mxy += x * y;
        mxz += x * z;
        myz += y * z;
        mzz += z * z;
    }
    const double n = static_cast<double>(p.size());
    mxx /= n, myy /= n, mxy /= n, mxz /= n, myz /= n, mzz /= n;
    const double mz = mxx + myy, covXY = mxx * myy - mxy * mxy, varZ = mzz - mz * mz;
    const double a2 = 4 * covXY - 3 * mz * mz - mzz;
    const double a1 = varZ * mz + 4 * covXY * mz - mxz * mxz - myz * myz;
    const double a0 = mxz * (mxz * myy - myz * mxy) + myz * (myz * mxx - mxz * mxy) - varZ * covXY;
    double x = 0, y = a0;
    for (int i = 0; i < 99; ++i) {
        const double dy = a1 + x * (2 * a2 + 16 * x * x);
        const double xNew = x - y / dy;
        if (xNew == x || !std::isfinite(xNew))
            break;
        const double yNew = a0 + xNew * (a1 + xNew * (a2 + 4 * xNew * xNew));
        if (std::abs(yNew) >= std::abs(y))
            break;
        x = xNew;
        y = yNew;
    }
    const double det = x * x - x * mz + covXY;
    if (!(std::abs(det) > 0))
        return std::nullopt;
    const double ux = (mxz * (myy - x) - myz * mxy) / det / 2;
    const double uy = (myz * (mxx - x) - mxz * mxy) / det / 2;
    const double r2 = ux * ux + uy * uy + mz + 2 * x;
    if (!(r2 > 0) || !std::isfinite(r2))
        return std::nullopt;
    return CircleModel{s.mx + ux, s.my + uy, std::sqrt(r2)};
}

int RefineCircle(std::span<const Vec> p, CircleModel& m, bool fixedRadius, int maxIterations, double tol)
{
    // One pass gives the cost and the normal equations of the residuals |q - c| - r, whose
    // gradient in the centre is minus the unit vector to the point (and -1 in the radius).
    const auto evaluate = [&](const CircleModel& c, auto& jtj, auto& jtr) {
        double cost = 0, xx = 0, xy = 0, yy = 0, x = 0, y = 0, rx = 0, ry = 0, r = 0;
        for (const Vec& q : p) {
            const double dx = q.x - c.cx, dy = q.y - c.cy, d = std::sqrt(dx * dx + dy * dy);
            const double id = d > 0 ? 1 / d : 0, gx = -dx * id, gy = -dy * id, e = d - c.r;
            cost += e * e;
            xx += gx * gx, xy += gx * gy, yy += gy * gy, x += gx, y += gy;
            rx += gx * e, ry += gy * e, r += e;
        }
        jtj(0, 0) = xx, jtj(0, 1) = jtj(1, 0) = xy, jtj(1, 1) = yy;
        jtr(0) = rx, jtr(1) = ry;
        if constexpr (std::remove_reference_t<decltype(jtr)>::RowsAtCompileTime == 3) {
            jtj(0, 2) = jtj(2, 0) = -x, jtj(1, 2) = jtj(2, 1) = -y;
            jtj(2, 2) = static_cast<double>(p.size());
            jtr(2) = -r;
        }
        return cost;
    };
    const double scale = m.r + std::abs(m.cx) + std::abs(m.cy);
    double cost;
    if (fixedRadius) {
        return LevenbergMarquardt<2>(
            m, evaluate, [] { return true; },
            [](CircleModel c, const Eigen::Vector2d& s) {
                c.cx += s(0), c.cy += s(1);
                return c;
            },
            maxIterations, tol, scale, cost);
    }
    return LevenbergMarquardt<3>(
        m, evaluate, [] { return true; },
        [](CircleModel c, const Eigen::Vector3d& s) {
            c.cx += s(0), c.cy += s(1), c.r += s(2);
            return c;
        },
        maxIterations, tol, scale, cost);
}

} // namespace korm::core
