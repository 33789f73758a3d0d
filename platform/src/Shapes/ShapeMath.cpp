#include "ShapeMath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include <Ostrel/Vision/Exceptions.h>

namespace Ostrel::Vision::Private::ShapeMath {

namespace {

constexpr double Pi = std::numbers::pi;

// A transform is treated as singular, or a direction as collapsed, below this fraction
// of the transform's scale: the same bound as Transform2DLinear::InverseLinear, so that
// a transform that maps a shape can also map it back.
constexpr double SingularTolerance = 1e-14;

// Below this ratio of the two radii' difference to their size, the image is a circle to
// rounding and its axes carry no information.
constexpr double RoundTolerance = 4 * std::numeric_limits<double>::epsilon();

enum class Similarity { None, Rotation, Reflection };

Similarity SimilarityOf(const Transform2DLinear& t)
{
    if (t.A() == t.D() && t.B() == -t.C())
        return Similarity::Rotation;
    if (t.A() == -t.D() && t.B() == t.C())
        return Similarity::Reflection;
    return Similarity::None;
}

double Scale(const Transform2DLinear& t)
{
    return std::max({std::abs(t.A()), std::abs(t.B()), std::abs(t.C()), std::abs(t.D())});
}

// The power of two at or below the largest matrix entry: dividing by it is exact.
double BinaryScale(const Transform2DLinear& t)
{
    return std::ldexp(1.0, std::ilogb(Scale(t)));
}

// The determinant of the matrix divided by the square of `scale`, a power of two, from
// the entries divided by it (so that no product overflows or underflows), with Kahan's
// method: exact to an ulp or so even when the two products nearly cancel.
double ScaledDeterminant(const Transform2DLinear& t, double scale)
{
    const double a = t.A() / scale, b = t.B() / scale, c = t.C() / scale, d = t.D() / scale;
    const double bc = b * c;
    const double error = std::fma(-b, c, bc);
    return std::fma(a, d, -bc) + error;
}

} // namespace

double NormalizeAngle(double angle)
{
    // remainder is exact and lands in [-π, π]; its ties go to the even quotient, so π
    // stays π, and -π is the one value to turn round.
    const double r = std::remainder(angle, 2 * Pi);
    return r == -Pi ? Pi : r;
}

void CheckTransform(const Transform2DLinear& t)
{
    if (!std::isfinite(t.A()) || !std::isfinite(t.B()) || !std::isfinite(t.C()) || !std::isfinite(t.D()) ||
        !std::isfinite(t.TX()) || !std::isfinite(t.TY()))
        throw ArgumentException("The transform cannot map the shape: its entries must be finite numbers.");
}

Transform2DLinear LinearPart(const Transform2DLinear& t)
{
    return {t.A(), t.B(), t.C(), t.D(), 0, 0};
}

double MapDirection(const Transform2DLinear& t, double angle)
{
    const double scale = Scale(t);
    if (scale > 0) {
        switch (SimilarityOf(t)) {
        case Similarity::Rotation:
            return NormalizeAngle(angle + std::atan2(t.C(), t.A()));
        case Similarity::Reflection:
            return NormalizeAngle(std::atan2(t.C(), t.A()) - angle);
        case Similarity::None:
            break;
        }
    }
    double x, y;
    t.MapVector(std::cos(angle), std::sin(angle), x, y);
    if (!(std::hypot(x, y) > SingularTolerance * scale))
        throw ShapeException("The transform collapses the direction of the shape: the mapped shape would have "
                             "no direction.");
    return NormalizeAngle(std::atan2(y, x));
}

EllipseGeometry MapEllipse(const Transform2DLinear& t, const EllipseGeometry& e)
{
    const double scale = Scale(t) > 0 ? BinaryScale(t) : 1.0;
    const double det = ScaledDeterminant(t, scale);  // det A / scale²
    // The largest entry over `scale` lies in [1, 2), so this is InverseLinear's bound
    // within a factor of four.
    if (!(std::abs(det) > SingularTolerance))
        throw ShapeException("The transform is singular: it would flatten the round shape onto a segment.");

    EllipseGeometry out;
    t.MapPoint(e.centerX, e.centerY, out.centerX, out.centerY);

    if (SimilarityOf(t) != Similarity::None) {
        const double s = std::hypot(t.A(), t.C());
        out.radiusX = s * e.radiusX;
        out.radiusY = s * e.radiusY;
        out.rotation = MapDirection(t, e.rotation);
        return out;
    }

    const double c = std::cos(e.rotation);
    const double s = std::sin(e.rotation);
    // The image of the X axis direction, and M = A·R(θ)·diag(rx, ry).
    const double ux = t.A() * c + t.B() * s;
    const double uy = t.C() * c + t.D() * s;
    const double vx = -t.A() * s + t.B() * c;
    const double vy = -t.C() * s + t.D() * c;
    const double m00 = ux * e.radiusX, m01 = vx * e.radiusY;
    const double m10 = uy * e.radiusX, m11 = vy * e.radiusY;

    const double E = 0.5 * (m00 + m11), F = 0.5 * (m00 - m11);
    const double G = 0.5 * (m10 + m01), H = 0.5 * (m10 - m01);
    const double Q = std::hypot(E, H), R = std::hypot(F, G);
    const double major = Q + R;
    // |det A|·rx·ry / σ1, grouped so that no factor overflows unless the result does.
    const double minor = major > 0 ? std::abs(det) * (e.radiusX / major * scale) * (e.radiusY * scale) : 0.0;
    const double xAxis = std::atan2(uy, ux);

    if (R <= RoundTolerance * Q || major == 0) {
        out.radiusX = major;
        out.radiusY = minor;
        out.rotation = NormalizeAngle(xAxis);
        return out;
    }

    const double majorAxis = 0.5 * (std::atan2(G, F) + std::atan2(H, E));
    double axis = majorAxis;
    if (std::abs(std::remainder(xAxis - majorAxis, Pi)) <= 0.25 * Pi) {
        out.radiusX = major;
        out.radiusY = minor;
    } else {
        out.radiusX = minor;
        out.radiusY = major;
        axis = majorAxis + 0.5 * Pi;
    }
    // The axis direction (either sense) nearest the image of the X axis.
    out.rotation = NormalizeAngle(xAxis - std::remainder(xAxis - axis, Pi));
    return out;
}

void CheckMappedFinite(std::initializer_list<double> values)
{
    for (double value : values)
        if (!std::isfinite(value))
            throw ShapeException("The mapped shape cannot be represented: its coordinates exceed the range of "
                                 "double.");
}

} // namespace Ostrel::Vision::Private::ShapeMath
