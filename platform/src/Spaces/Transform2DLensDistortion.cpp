#include <cmath>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/Strings.h>
#include <Ostrel/Vision/Transform2DLensDistortion.h>

namespace Ostrel::Vision {

namespace {

// A Newton step this small against the point's normalised size (at least 1) ends the
// iteration: convergence is quadratic, so the point is then accurate far below it, and
// rounding in the residual keeps later steps near 1e-16 anyway.
constexpr double NewtonStepTolerance = 1e-13;
// Halvings of one Newton step before the step is given up as not reducing the residual.
constexpr int MaxStepHalvings = 40;
// Below this the model's Jacobian (dimensionless, 1 for no distortion) is taken as
// singular: the model folds there and the preimage is not the lens's.
constexpr double MinJacobianDeterminant = 1e-12;

std::string Number(double value) { return Private::MiscUtils::GetFixedPrecisionNumericString(value, 6); }

} // namespace

Transform2DLensDistortion::Transform2DLensDistortion(ObjectCreateAccessToken, double centerX, double centerY,
                                                     double normalizingRadius, double k1, double k2, double p1,
                                                     double p2)
    : cx_(centerX), cy_(centerY), radius_(normalizingRadius), k1_(k1), k2_(k2), p1_(p1), p2_(p2)
{
    Validate();
}

Transform2DLensDistortion::Transform2DLensDistortion()
    : Transform2DLensDistortion(MakeAccessToken(), 0.0, 0.0, 1.0, 0.0, 0.0)
{
}

void Transform2DLensDistortion::Validate() const
{
    const std::pair<const char*, double> values[] = {{"centerX", cx_}, {"centerY", cy_},
                                                     {"normalizingRadius", radius_}, {"k1", k1_},
                                                     {"k2", k2_}, {"p1", p1_}, {"p2", p2_}};
    for (const auto& [name, value] : values)
        if (!std::isfinite(value))
            throw ArgumentException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNotFinite_1, {name}));
    if (!(radius_ > 0.0))
        throw ArgumentException(Strings::Substitute(
            "The argument normalizingRadius must be greater than 0, not %1.", {Number(radius_)}));
}

void Transform2DLensDistortion::ValidateLoaded() const
{
    try {
        Validate();
    } catch (const ArgumentException& e) {
        throw SerializationException("The archive holds an invalid lens-distortion transform: " + e.Message());
    }
}

void Transform2DLensDistortion::Distort(double u, double v, double& uOut, double& vOut) const
{
    const double r2 = u * u + v * v;
    const double radial = 1.0 + r2 * (k1_ + k2_ * r2);
    uOut = u * radial + 2.0 * p1_ * u * v + p2_ * (r2 + 2.0 * u * u);
    vOut = v * radial + p1_ * (r2 + 2.0 * v * v) + 2.0 * p2_ * u * v;
}

void Transform2DLensDistortion::Jacobian(double u, double v, double& j11, double& j12, double& j21,
                                         double& j22) const
{
    // d(radial)/du = 2u·g and d(radial)/dv = 2v·g with g = k1 + 2·k2·r².
    const double r2 = u * u + v * v;
    const double radial = 1.0 + r2 * (k1_ + k2_ * r2);
    const double g = k1_ + 2.0 * k2_ * r2;
    j11 = radial + 2.0 * u * u * g + 2.0 * p1_ * v + 6.0 * p2_ * u;
    j12 = 2.0 * u * v * g + 2.0 * p1_ * u + 2.0 * p2_ * v;
    j21 = 2.0 * u * v * g + 2.0 * p1_ * u + 2.0 * p2_ * v;
    j22 = radial + 2.0 * v * v * g + 6.0 * p1_ * v + 2.0 * p2_ * u;
}

void Transform2DLensDistortion::Undistort(double u, double v, double x, double y, double& uOut,
                                          double& vOut) const
{
    const auto fail = [&](const std::string& why) {
        throw ArgumentException(Strings::Substitute("The lens distortion cannot be undone at (%1, %2): %3",
                                                    {Number(x), Number(y), why}));
    };
    if (!std::isfinite(u) || !std::isfinite(v))
        fail("the point is not finite.");
    const auto residual = [&](double pu, double pv, double& ru, double& rv) {
        Distort(pu, pv, ru, rv);
        ru -= u;
        rv -= v;
        return std::hypot(ru, rv);
    };
    double pu = u, pv = v;  // the distortion is small near the centre: start at the point itself
    double ru, rv;
    double norm = residual(pu, pv, ru, rv);
    for (int iteration = 0; iteration < MaxNewtonIterations; ++iteration) {
        double j11, j12, j21, j22;
        Jacobian(pu, pv, j11, j12, j21, j22);
        const double det = j11 * j22 - j12 * j21;
        if (!std::isfinite(det) || !std::isfinite(norm))
            fail("the model overflows on the way to the solution.");
        if (std::abs(det) <= MinJacobianDeterminant)
            fail("the model's Jacobian is singular on the way to the solution.");
        const double du = -(j22 * ru - j12 * rv) / det;
        const double dv = -(j11 * rv - j21 * ru) / det;
        if (std::hypot(du, dv) <= NewtonStepTolerance * std::max(1.0, std::hypot(pu, pv))) {
            pu += du;
            pv += dv;
            Jacobian(pu, pv, j11, j12, j21, j22);
            if (j11 * j22 - j12 * j21 <= MinJacobianDeterminant)
                fail("the point lies beyond the fold of the model, where it has no preimage that the lens made.");
            uOut = pu;
            vOut = pv;
            return;
        }
        // Damped step: halve until the residual drops, so that a strong distortion far
        // from the centre cannot throw the iteration off.
        double step = 1.0;
        int halvings = 0;
        for (;; ++halvings) {
            double nu, nv;
            const double candidate = residual(pu + step * du, pv + step * dv, nu, nv);
            if (candidate < norm) {
                pu += step * du;
                pv += step * dv;
                ru = nu;
                rv = nv;
                norm = candidate;
                break;
            }
            if (halvings == MaxStepHalvings)
                fail("no step of Newton's method reduces the residual; the point has no preimage near it.");
            step *= 0.5;
        }
    }
    fail(Strings::Substitute("Newton's method did not converge in %1 steps.", {std::to_string(MaxNewtonIterations)}));
}

void Transform2DLensDistortion::MapPoint(double x, double y, double& xOut, double& yOut) const
{
    const double u = (x - cx_) / radius_, v = (y - cy_) / radius_;
    double mu, mv;
    if (inverse_)
        Undistort(u, v, x, y, mu, mv);
    else
        Distort(u, v, mu, mv);
    xOut = cx_ + radius_ * mu;
    yOut = cy_ + radius_ * mv;
}

Transform2DLinear Transform2DLensDistortion::LinearTransform(double x, double y) const
{
    // The normalisation scales by 1/R on the way in and by R on the way out, so the
    // Jacobian in pixels equals the one in normalised coordinates.
    const double u = (x - cx_) / radius_, v = (y - cy_) / radius_;
    double a, b, c, d, mu, mv;
    if (!inverse_) {
        Jacobian(u, v, a, b, c, d);
        Distort(u, v, mu, mv);
    } else {
        Undistort(u, v, x, y, mu, mv);
        double j11, j12, j21, j22;
        Jacobian(mu, mv, j11, j12, j21, j22);
        const double det = j11 * j22 - j12 * j21;  // > MinJacobianDeterminant after Undistort
        a = j22 / det;
        b = -j12 / det;
        c = -j21 / det;
        d = j11 / det;
    }
    const double mx = cx_ + radius_ * mu, my = cy_ + radius_ * mv;
    // Offset so that (x, y) maps to the transform's own image of it.
    return {a, b, c, d, mx - (a * x + b * y), my - (c * x + d * y)};
}

std::shared_ptr<Transform2D> Transform2DLensDistortion::Inverse() const
{
    auto inverse = Quill::Create<Transform2DLensDistortion>(cx_, cy_, radius_, k1_, k2_, p1_, p2_);
    inverse->inverse_ = !inverse_;
    return inverse;
}

} // namespace Ostrel::Vision
