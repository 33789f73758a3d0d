#pragma once
// Plane transforms between coordinate spaces. A Transform2D maps points; its linear form
// at a point is the affine map that agrees with it to first order there (for an affine
// transform, the transform itself). Transforms are immutable once built, so that trees,
// images and composed transforms may share them.
//
// Concrete transforms: Transform2DLinear (affine, below), Transform2DComposed
// (Transform2DComposed.h) and Transform2DLensDistortion (Transform2DLensDistortion.h).

#include <memory>

#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/Archive.h>

namespace Ostrel::Vision {

class Transform2DLinear;

class Transform2D : public Quill::ShareableBase {
public:
    ~Transform2D() override = default;

    virtual void MapPoint(double x, double y, double& xOut, double& yOut) const = 0;
    // The affine map tangent to this transform at (x, y): exact Jacobian and offset.
    virtual Transform2DLinear LinearTransform(double x, double y) const = 0;
    // Throws ArgumentException when the transform cannot be inverted. A non-linear
    // transform that is invertible only in part throws instead from the inverse's
    // MapPoint and LinearTransform at the points that have no preimage.
    virtual std::shared_ptr<Transform2D> Inverse() const = 0;
    virtual bool IsLinear() const { return false; }

    // this ∘ inner: maps a point first by inner, then by this. Two linear transforms
    // compose into one Transform2DLinear; otherwise the result is a Transform2DComposed
    // whose linear form follows the chain rule and whose inverse is inner⁻¹ ∘ this⁻¹.
    // Throws ArgumentNullException for a null inner, and InvalidOperationException when
    // this is non-linear and not held by a shared pointer (objects made by Create are).
    std::shared_ptr<Transform2D> Compose(const std::shared_ptr<const Transform2D>& inner) const;

protected:
    Transform2D() = default;
    Transform2D(const Transform2D&) = default;

    template <class Archive>
    void serialize(Archive&, std::uint32_t) {}
    friend class cereal::access;

    RTTR_ENABLE(Quill::ShareableBase)
};

// A matrix counts as singular, and a direction as collapsed by it, below this fraction of
// the matrix's size (its largest entry, squared for a determinant): a few hundred ulps,
// where rounding has eaten the digits that would tell the map apart from a singular one.
// Relative, so that a transform in millimetres and one in micrometres are judged alike;
// the one bound of inversion, shape mapping and angle mapping, so that a transform that
// maps a shape can also map it back.
inline constexpr double SingularTolerance = 1e-14;

// The affine map (x, y) -> (a·x + b·y + tx, c·x + d·y + ty). Also a value type.
class Transform2DLinear : public Transform2D {
public:
    Transform2DLinear() = default;  // identity
    Transform2DLinear(double a, double b, double c, double d, double tx, double ty)
        : a_(a), b_(b), c_(c), d_(d), tx_(tx), ty_(ty) {}
    Transform2DLinear(const Transform2DLinear&) = default;
    Transform2DLinear& operator=(const Transform2DLinear& o)
    {
        a_ = o.a_; b_ = o.b_; c_ = o.c_; d_ = o.d_; tx_ = o.tx_; ty_ = o.ty_;
        return *this;
    }

    static Transform2DLinear Identity() { return {}; }
    static Transform2DLinear Translation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
    // Scale, then rotate by `rotation` radians, then translate.
    static Transform2DLinear ScaleRotationTranslation(double scaleX, double scaleY, double rotation,
                                                      double tx, double ty);

    double A() const { return a_; }
    double B() const { return b_; }
    double C() const { return c_; }
    double D() const { return d_; }
    double TX() const { return tx_; }
    double TY() const { return ty_; }
    double Determinant() const { return a_ * d_ - b_ * c_; }

    void MapPoint(double x, double y, double& xOut, double& yOut) const override
    {
        const double mx = a_ * x + b_ * y + tx_;
        const double my = c_ * x + d_ * y + ty_;
        xOut = mx;
        yOut = my;
    }
    // Maps a direction vector (no translation).
    void MapVector(double x, double y, double& xOut, double& yOut) const
    {
        const double mx = a_ * x + b_ * y;
        const double my = c_ * x + d_ * y;
        xOut = mx;
        yOut = my;
    }
    // The angle of the image of the direction at `angle` radians, in (-π, π].
    double MapAngle(double angle) const;

    Transform2DLinear LinearTransform(double, double) const override { return *this; }
    std::shared_ptr<Transform2D> Inverse() const override;
    // Throws ArgumentException when the matrix is singular or not finite.
    Transform2DLinear InverseLinear() const;
    bool IsLinear() const override { return true; }

    // this ∘ inner.
    Transform2DLinear operator*(const Transform2DLinear& inner) const;

    // True when all six entries are finite.
    bool IsFinite() const;

private:
    double a_ = 1, b_ = 0, c_ = 0, d_ = 1, tx_ = 0, ty_ = 0;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Transform2DLinear::serialize()");
        ar(cereal::base_class<Transform2D>(this), a_, b_, c_, d_, tx_, ty_);
        if constexpr (Archive::is_loading::value)
            ThrowIfLoadedNotFinite();
    }
    void ThrowIfLoadedNotFinite() const;

    RTTR_ENABLE(Transform2D)
};

} // namespace Ostrel::Vision
