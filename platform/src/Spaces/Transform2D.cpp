#include <cmath>
#include <numbers>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Transform2D.h>

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
    // Relative to the size of the matrix, so that a transform in millimetres and one in
    // micrometres are judged alike.
    const double scale = std::max({std::abs(a_), std::abs(b_), std::abs(c_), std::abs(d_)});
    if (!std::isfinite(det) || !std::isfinite(tx_) || !std::isfinite(ty_) || scale == 0 ||
        std::abs(det) <= 1e-14 * scale * scale)
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

} // namespace Ostrel::Vision
