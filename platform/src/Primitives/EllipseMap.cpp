// The image of an ellipse under an affine map, in closed form.
#include <Ostrel/Vision/Private/EllipseMap.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision::Private {

namespace {

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
    const double m = Scale(t);
    const auto bits = std::bit_cast<std::uint64_t>(m) & (std::uint64_t{0x7ff} << 52);
    return bits != 0 ? std::bit_cast<double>(bits) : std::ldexp(1.0, std::ilogb(m)); // subnormal: ldexp
}

// 2^-ilogb(m) for m > 0 (so that m times it lies in [1, 2)), from the exponent bits when
// both m and the result are normal numbers, else by ldexp.
double InversePowerOfTwo(double m)
{
    const auto biased = static_cast<std::uint64_t>(std::bit_cast<std::uint64_t>(m) >> 52) & 0x7ff;
    if (biased >= 1 && biased <= 2045)
        return std::bit_cast<double>((2046 - biased) << 52);
    return std::ldexp(1.0, -std::ilogb(m));
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

void CheckTransform(const Transform2DLinear& t)
{
    if (!std::isfinite(t.A()) || !std::isfinite(t.B()) || !std::isfinite(t.C()) || !std::isfinite(t.D()) ||
        !std::isfinite(t.TX()) || !std::isfinite(t.TY()))
        throw ArgumentException("The transform cannot map the shape: its entries must be finite numbers.");
}

EllipseGeometry MapEllipse(const Transform2DLinear& t, const EllipseGeometry& e)
{
    return MapEllipse(t, e, std::cos(e.rotation), std::sin(e.rotation));
}

EllipseGeometry MapEllipse(const Transform2DLinear& t, const EllipseGeometry& e, double cosRotation,
                           double sinRotation)
{
    const double scale = Scale(t) > 0 ? BinaryScale(t) : 1.0;
    const double det = ScaledDeterminant(t, scale);  // det A / scale²
    // The largest entry over `scale` lies in [1, 2), so this is InverseLinear's bound
    // within a factor of four.
    if (!(std::abs(det) > SingularTolerance))
        throw ShapeException("The transform is singular: it would flatten the round shape onto a segment.");

    EllipseGeometry out;
    t.MapPoint(e.centerX, e.centerY, out.centerX, out.centerY);
    const double c = cosRotation, s = sinRotation;
    // The image of the X axis direction.
    const double ux = t.A() * c + t.B() * s;
    const double uy = t.C() * c + t.D() * s;

    if (SimilarityOf(t) != Similarity::None) {
        const double k = std::hypot(t.A(), t.C());
        out.radiusX = k * e.radiusX;
        out.radiusY = k * e.radiusY;
        out.rotation = MapAngle(t, e.rotation);
        out.cosRotation = ux / k;
        out.sinRotation = uy / k;
        return out;
    }

    // M = A·R(θ)·diag(rx, ry).
    const double vx = -t.A() * s + t.B() * c;
    const double vy = -t.C() * s + t.D() * c;
    const double m00 = ux * e.radiusX, m01 = vx * e.radiusY;
    const double m10 = uy * e.radiusX, m11 = vy * e.radiusY;

    const double E = 0.5 * (m00 + m11), F = 0.5 * (m00 - m11);
    const double G = 0.5 * (m10 + m01), H = 0.5 * (m10 - m01);
    // Lengths and directions from E..H and u divided by powers of two (exact), so that
    // their squares neither overflow nor underflow and plain square roots serve.
    const double mM = std::max({std::abs(E), std::abs(F), std::abs(G), std::abs(H)});
    const double kM = mM > 0 ? InversePowerOfTwo(mM) : 1.0;
    const double Es = E * kM, Fs = F * kM, Gs = G * kM, Hs = H * kM;
    const double Qs = std::sqrt(Es * Es + Hs * Hs), Rs = std::sqrt(Fs * Fs + Gs * Gs);
    const double major = (Qs + Rs) / kM;
    // σ2 = |det A|·rx·ry / σ1, grouped so that no factor overflows unless the result does.
    const double minor = major > 0 ? std::abs(det) * (e.radiusX / major * scale) * (e.radiusY * scale) : 0.0;
    if (Rs <= RoundTolerance * Qs || major == 0) {
        const double mU = std::max(std::abs(ux), std::abs(uy));
        const double kU = mU > 0 ? InversePowerOfTwo(mU) : 1.0;
        const double inv = 1 / std::sqrt((ux * kU) * (ux * kU) + (uy * kU) * (uy * kU));
        out.radiusX = major;
        out.radiusY = minor;
        out.rotation = NormalizeAngle(std::atan2(uy, ux));
        out.cosRotation = ux * kU * inv;
        out.sinRotation = uy * kU * inv;
        return out;
    }

    // The major axis runs at half the angle sum of (F, G) and (E, H) (a zero vector has
    // angle 0). w below points along the sum, with length |w| = R·Q; the axis runs along
    // w + (|w|, 0), or where w is near -x and that sum cancels, along the perpendicular of
    // w - (|w|, 0) (the same axis).
    const double e1 = Qs > 0 ? Es : 1.0, e2 = Qs > 0 ? Hs : 0.0, lenW = Rs * (Qs > 0 ? Qs : 1.0);
    const double wx = Fs * e1 - Gs * e2, wy = Gs * e1 + Fs * e2;
    const double px = wx >= 0 ? lenW + wx : wy, py = wx >= 0 ? wy : lenW - wx; // length >= |w|
    const double invP = 1 / std::sqrt(px * px + py * py);
    const double ax = px * invP, ay = py * invP; // the major axis, unit, either sense
    // X takes the major axis when the image of X lies within an eighth of a turn of it.
    const double along = ux * ax + uy * ay, across = ux * ay - uy * ax;
    const bool xMajor = std::abs(along) >= std::abs(across);
    out.radiusX = xMajor ? major : minor;
    out.radiusY = xMajor ? minor : major;
    // The sense of the chosen axis nearest the image of the X axis.
    double rx = xMajor ? ax : -ay, ry = xMajor ? ay : ax;
    if ((xMajor ? along : -across) < 0)
        rx = -rx, ry = -ry;
    out.cosRotation = rx;
    out.sinRotation = ry;
    out.rotation = NormalizeAngle(std::atan2(ry, rx));
    return out;
}

} // namespace Ostrel::Vision::Private
