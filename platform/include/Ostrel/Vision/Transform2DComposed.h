#pragma once
// The composition outer ∘ inner of two transforms, at least one of them non-linear (two
// linear ones compose into a Transform2DLinear; see Transform2D::Compose, the usual way to
// make one).
//
// MapPoint maps by inner, then by outer. The linear form at p follows the chain rule:
// the tangent map of outer at inner(p) after the tangent map of inner at p, so it agrees
// with the composition at p and has its exact Jacobian there. The inverse is
// inner⁻¹ ∘ outer⁻¹; it fails where either part cannot be inverted.

#include <memory>

#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision {

class Transform2DComposed : public Transform2D {
public:
    // Throws ArgumentNullException when either part is null. Linear parts are copied, so
    // that a caller's later assignment to its Transform2DLinear cannot change this one.
    Transform2DComposed(ObjectCreateAccessToken, const std::shared_ptr<const Transform2D>& outer,
                        const std::shared_ptr<const Transform2D>& inner);

    // The transform applied second.
    std::shared_ptr<const Transform2D> Outer() const { return outer_; }
    // The transform applied first.
    std::shared_ptr<const Transform2D> Inner() const { return inner_; }

    void MapPoint(double x, double y, double& xOut, double& yOut) const override;
    Transform2DLinear LinearTransform(double x, double y) const override;
    std::shared_ptr<Transform2D> Inverse() const override;
    bool IsLinear() const override { return outer_->IsLinear() && inner_->IsLinear(); }

private:
    Transform2DComposed();

    std::shared_ptr<const Transform2D> outer_;
    std::shared_ptr<const Transform2D> inner_;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value) {
            CheckSerializationVersionMismatch(version, 1, "Transform2DComposed::serialize()");
            std::shared_ptr<Transform2D> outer, inner;
            ar(cereal::base_class<Transform2D>(this), outer, inner);
            SetLoadedParts(outer, inner);
        } else {
            ar(cereal::base_class<Transform2D>(this), std::const_pointer_cast<Transform2D>(outer_),
               std::const_pointer_cast<Transform2D>(inner_));
        }
    }
    // Throws SerializationException for a missing part.
    void SetLoadedParts(const std::shared_ptr<Transform2D>& outer, const std::shared_ptr<Transform2D>& inner);

    RTTR_ENABLE(Transform2D)
};

} // namespace Ostrel::Vision
