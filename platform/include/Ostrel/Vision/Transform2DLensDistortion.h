#pragma once
// A lens-distortion transform: the radial-tangential polynomial model about a centre, in
// pixel units.
//
// With u = (x − cx) / R, v = (y − cy) / R and r² = u² + v² (R the normalising radius, so
// that the coefficients are dimensionless and of similar size for any sensor), the
// distorting map is
//     u' = u·(1 + k1·r² + k2·r⁴) + 2·p1·u·v + p2·(r² + 2·u²)
//     v' = v·(1 + k1·r² + k2·r⁴) + p1·(r² + 2·v²) + 2·p2·u·v
//     (x', y') = (cx + R·u', cy + R·v').
// All coefficients zero is the identity. k1 < 0 is barrel distortion, k1 > 0 pincushion;
// p1, p2 model a lens tilted against the sensor.
//
// A transform made by the constructor distorts; its Inverse() undistorts, and the inverse
// of that distorts again. Undistorting solves the model for its preimage by Newton's
// method (see MapPoint); LinearTransform of either direction is the exact tangent map
// (analytic Jacobian, offset so that it agrees with the transform at the given point).
//
// The model is meant for the region where it is one-to-one (inside the fold that strong
// barrel distortion makes at large radii). Distorting is defined everywhere; undistorting
// a point that has no preimage inside that region throws ArgumentException.

#include <memory>

#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision {

class Transform2DLensDistortion : public Transform2D {
public:
    // Throws ArgumentException naming the argument when a value is not finite or the
    // normalising radius is not positive.
    Transform2DLensDistortion(ObjectCreateAccessToken, double centerX, double centerY, double normalizingRadius,
                              double k1, double k2, double p1 = 0.0, double p2 = 0.0);

    double CenterX() const { return cx_; }
    double CenterY() const { return cy_; }
    double NormalizingRadius() const { return radius_; }
    double K1() const { return k1_; }
    double K2() const { return k2_; }
    double P1() const { return p1_; }
    double P2() const { return p2_; }
    // False for the distorting direction, true for the undistorting one.
    bool IsInverse() const { return inverse_; }

    // Distorting: the model above. Undistorting: the point q with distort(q) = (x, y), found
    // by Newton's method from q = (x, y), each step halved until it reduces the residual,
    // at most MaxNewtonIterations steps; it stops when a step is below 1e-13 of the
    // point's normalised size (Newton converges quadratically, so the result is then good
    // to the last few bits). Throws ArgumentException when (x, y) is not finite, when the
    // iteration does not converge, or when the model's Jacobian at the solution is
    // singular or reverses orientation (a point beyond the fold).
    void MapPoint(double x, double y, double& xOut, double& yOut) const override;
    // Distorting: the Jacobian of the model at (x, y). Undistorting: the inverse of the
    // model's Jacobian at the preimage of (x, y). Either way offset to agree at (x, y).
    // Throws where MapPoint throws.
    Transform2DLinear LinearTransform(double x, double y) const override;
    std::shared_ptr<Transform2D> Inverse() const override;

    static constexpr int MaxNewtonIterations = 60;

private:
    Transform2DLensDistortion();

    void Validate() const;  // throws ArgumentException naming the bad value
    // The model in normalised coordinates: the distorted point and the Jacobian.
    void Distort(double u, double v, double& uOut, double& vOut) const;
    void Jacobian(double u, double v, double& j11, double& j12, double& j21, double& j22) const;
    // The normalised preimage of the normalised point (u, v); (x, y) is the pixel point,
    // only for messages.
    void Undistort(double u, double v, double x, double y, double& uOut, double& vOut) const;

    double cx_ = 0, cy_ = 0, radius_ = 1, k1_ = 0, k2_ = 0, p1_ = 0, p2_ = 0;
    bool inverse_ = false;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Transform2DLensDistortion::serialize()");
        ar(cereal::base_class<Transform2D>(this), cx_, cy_, radius_, k1_, k2_, p1_, p2_, inverse_);
        if constexpr (Archive::is_loading::value)
            ValidateLoaded();
    }
    void ValidateLoaded() const;  // throws SerializationException

    RTTR_ENABLE(Transform2D)
};

} // namespace Ostrel::Vision
