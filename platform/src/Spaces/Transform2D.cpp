#include <cmath>
#include <numbers>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>
#include <Ostrel/Vision/Transform2D.h>
#include <Ostrel/Vision/Transform2DComposed.h>

namespace Ostrel::Vision {

Transform2DLinear Transform2DLinear::ScaleRotationTranslation(double scaleX, double scaleY, double rotation,
                                                              double tx, double ty)
{
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    return {c * scaleX, -s * scaleY, s * scaleX, c * scaleY, tx, ty};
}

double Transform2DLinear::MapAngle(double angle) const
{
    double x, y;
    MapVector(std::cos(angle), std::sin(angle), x, y);
    const double mapped = std::atan2(y, x);
    return mapped == -std::numbers::pi ? std::numbers::pi : mapped;
}

Transform2DLinear Transform2DLinear::InverseLinear() const
{
    const double det = Determinant();
    const double scale = std::max({std::abs(a_), std::abs(b_), std::abs(c_), std::abs(d_)});
    if (!std::isfinite(det) || !std::isfinite(tx_) || !std::isfinite(ty_) || scale == 0 ||
        std::abs(det) <= SingularTolerance * scale * scale)
        throw ArgumentException("The transform cannot be inverted: its matrix is singular or not finite.");
    const double ia = d_ / det, ib = -b_ / det, ic = -c_ / det, id = a_ / det;
    return {ia, ib, ic, id, -(ia * tx_ + ib * ty_), -(ic * tx_ + id * ty_)};
}

std::shared_ptr<Transform2D> Transform2DLinear::Inverse() const
{
    return std::make_shared<Transform2DLinear>(InverseLinear());
}

Transform2DLinear Transform2DLinear::operator*(const Transform2DLinear& in) const
{
    return {a_ * in.a_ + b_ * in.c_, a_ * in.b_ + b_ * in.d_,
            c_ * in.a_ + d_ * in.c_, c_ * in.b_ + d_ * in.d_,
            a_ * in.tx_ + b_ * in.ty_ + tx_, c_ * in.tx_ + d_ * in.ty_ + ty_};
}

bool Transform2DLinear::IsFinite() const
{
    return std::isfinite(a_) && std::isfinite(b_) && std::isfinite(c_) && std::isfinite(d_) &&
           std::isfinite(tx_) && std::isfinite(ty_);
}

void Transform2DLinear::ThrowIfLoadedNotFinite() const
{
    // Entries near the largest double pass the entry check but overflow in the
    // determinant, and then in every inverse and every mapped angle.
    if (!IsFinite() || !std::isfinite(Determinant()))
        throw SerializationException(
            "The archive holds a linear transform with an entry or a determinant that is not finite.");
}

namespace {

// A linear transform as a shared object of its own: a copy, so that the caller's value
// may change later without reaching the composition.
std::shared_ptr<const Transform2D> OwnedPart(const Transform2D& t, const std::shared_ptr<const Transform2D>& held)
{
    if (t.IsLinear())
        return std::make_shared<Transform2DLinear>(t.LinearTransform(0.0, 0.0));
    return held;
}

} // namespace

std::shared_ptr<Transform2D> Transform2D::Compose(const std::shared_ptr<const Transform2D>& inner) const
{
    if (!inner)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"inner"}));
    // A linear transform's linear form at any point is the transform itself.
    if (IsLinear() && inner->IsLinear())
        return std::make_shared<Transform2DLinear>(LinearTransform(0.0, 0.0) * inner->LinearTransform(0.0, 0.0));
    std::shared_ptr<const Transform2D> outer;
    if (!IsLinear()) {
        outer = std::static_pointer_cast<const Transform2D>(weak_from_this().lock());
        if (!outer)
            throw InvalidOperationException("A non-linear transform can be composed only while a shared pointer "
                                            "holds it; make it with Create.");
    }
    return Quill::Create<Transform2DComposed>(OwnedPart(*this, outer), inner);
}

Transform2DComposed::Transform2DComposed(ObjectCreateAccessToken, const std::shared_ptr<const Transform2D>& outer,
                                         const std::shared_ptr<const Transform2D>& inner)
{
    if (!outer)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"outer"}));
    if (!inner)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"inner"}));
    outer_ = OwnedPart(*outer, outer);
    inner_ = OwnedPart(*inner, inner);
}

Transform2DComposed::Transform2DComposed()
    : Transform2DComposed(MakeAccessToken(), std::make_shared<Transform2DLinear>(),
                          std::make_shared<Transform2DLinear>())
{
}

void Transform2DComposed::MapPoint(double x, double y, double& xOut, double& yOut) const
{
    double mx, my;
    inner_->MapPoint(x, y, mx, my);
    outer_->MapPoint(mx, my, xOut, yOut);
}

Transform2DLinear Transform2DComposed::LinearTransform(double x, double y) const
{
    // The tangent map of inner at p sends p to inner(p) exactly, so the tangent map of
    // outer is taken there.
    const Transform2DLinear innerLinear = inner_->LinearTransform(x, y);
    double mx, my;
    inner_->MapPoint(x, y, mx, my);
    return outer_->LinearTransform(mx, my) * innerLinear;
}

std::shared_ptr<Transform2D> Transform2DComposed::Inverse() const
{
    const std::shared_ptr<const Transform2D> outerInverse = outer_->Inverse();
    return inner_->Inverse()->Compose(outerInverse);
}

void Transform2DComposed::SetLoadedParts(const std::shared_ptr<Transform2D>& outer,
                                         const std::shared_ptr<Transform2D>& inner)
{
    if (!outer || !inner)
        throw SerializationException("The archive holds a composed transform with a missing part.");
    outer_ = outer;
    inner_ = inner;
}

} // namespace Ostrel::Vision
