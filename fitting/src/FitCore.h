// The fits behind the C interface. Every routine works on points already moved so that their
// mean is near the origin (the interface subtracts a reference point and adds it back), so
// that coordinates 1e5 pixels from the origin lose no accuracy in the squared sums.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <korm/korm.h>

namespace korm::core {

struct Vec {
    double x = 0, y = 0;
};

struct LineModel {
    double px = 0, py = 0; // a point of the line
    double ux = 1, uy = 0; // unit direction
};
struct CircleModel {
    double cx = 0, cy = 0, r = 0;
};
struct EllipseModel {
    double cx = 0, cy = 0, a = 0, b = 0, theta = 0; // a along (cos theta, sin theta)
};

// Ratio of the smallest to the largest spread (standard deviation) below which points count
// as lying on one line: far below any real noise level, far above rounding.
inline constexpr double kCollinearRatio = 1e-9;

// Sum of squares of the centred coordinates; the principal spreads tell lines from points.
struct Spread {
    double mx = 0, my = 0, sxx = 0, sxy = 0, syy = 0;
    double Large() const;
    double Small() const;
};
Spread ComputeSpread(std::span<const Vec> p);

// Orthogonal least-squares line; nullopt when all points coincide.
std::optional<LineModel> FitLine(std::span<const Vec> p);
// The line through the centroid along the principal direction of the centred moments.
LineModel LineFromSpread(const Spread& s);

// Orthogonal line of all the caller's points, read in place: no copy, no allocation, two
// passes. The model's point is relative to points[0]; sumSq is the sum of the squared
// distances. nullopt when the points coincide or a sum is not finite (a coordinate NaN or
// infinite, or squares beyond the double range): the caller then takes the checked path.
struct DirectLine {
    LineModel model;
    double sumSq = 0;
};
std::optional<DirectLine> FitLineInPlace(const korm_vect* points, int count);
inline double Distance(const LineModel& m, Vec p)
{
    return std::abs(m.ux * (p.y - m.py) - m.uy * (p.x - m.px));
}

// Hyper algebraic circle (unbiased in the leading order of the noise); nullopt when the
// points are collinear.
std::optional<CircleModel> FitCircleHyper(std::span<const Vec> p);
// Circle through three points; nullopt when they are (nearly) collinear.
std::optional<CircleModel> CircleThrough(Vec a, Vec b, Vec c);
// Levenberg–Marquardt on the orthogonal distances, from `start`; the radius is held at
// start.r when fixedRadius. Returns the iteration count used.
int RefineCircle(std::span<const Vec> p, CircleModel& m, bool fixedRadius, int maxIterations, double tol);
// The length of (x, y): the plain root where the squares are safely in range (always, for
// the fits' scaled points and proper shapes), hypot's careful and slower one elsewhere.
inline double Length(double x, double y)
{
    const double l2 = x * x + y * y;
    return l2 > 1e-290 && l2 < 1e290 ? std::sqrt(l2) : std::hypot(x, y);
}
inline double Distance(const CircleModel& m, Vec p)
{
    return std::abs(Length(p.x - m.cx, p.y - m.cy) - m.r);
}

// Taubin conic fit, Halir–Flusser when that conic is not an ellipse; nullopt when no ellipse
// fits the points. With a fixed rotation the conic has no cross term in the rotated frame.
std::optional<EllipseModel> FitEllipseAlgebraic(std::span<const Vec> p, std::optional<double> fixedTheta);
// Conic through five points, when it is an ellipse.
std::optional<EllipseModel> EllipseThrough(std::span<const Vec, 5> p);
// Levenberg–Marquardt on the orthogonal distances; theta held when fixedTheta. Returns the
// iteration count, or -1 when the ellipse degenerates (a radius tending to 0 or infinity);
// sumSq, when given, receives the sum of the squared distances to the returned ellipse, and
// startSumSq that to the ellipse it started from. The iterations stop early once the larger
// radius exceeds stopRadius, for a caller that would discard such a fit.
int RefineEllipse(std::span<const Vec> p, EllipseModel& m, bool fixedTheta, int maxIterations, double tol,
                  double* sumSq = nullptr, double* startSumSq = nullptr, double stopRadius = HUGE_VAL);

// Closest point of an ellipse given in its own frame (semi-axes a, b along x and y) to
// (u, v); returns the foot point. Exact to rounding for every position, centre included.
Vec EllipseFoot(double a, double b, double u, double v);
// The foot point as the angle t of (a cos t, b sin t): Newton's method from the radial
// projection, the exact solver where that is not safe. The angle is within 1e-12 of the
// exact one, which moves the distance in the second order only.
struct EllipseFootAngle {
    double c = 1, s = 0; // cos t, sin t
};
EllipseFootAngle FootAngle(double a, double b, double u, double v);
// The foot-point solver of one ellipse, its constants computed once for many points; From
// starts at a given angle, such as the foot on a nearby ellipse.
class EllipseFootSolver {
public:
    EllipseFootSolver(double a, double b);
    EllipseFootAngle Cold(double u, double v) const; // from the radial projection
    EllipseFootAngle From(double u, double v, EllipseFootAngle start) const;

private:
    double a_, b_, e_, invA_, invB_, ratio2_;
};
double Distance(const EllipseModel& m, Vec p);
double Distance(const EllipseModel& m, double cosTheta, double sinTheta, Vec p);
// Sampson's first-order distance: cheap, used to rank points while searching for outliers.
double SampsonDistance(const EllipseModel& m, Vec p);
// The same with the cosine and sine of the model's rotation given.
double SampsonDistance(const EllipseModel& m, double c, double s, Vec p);

// Deterministic pseudo-random numbers (splitmix64) for the outlier search.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

} // namespace korm::core
