// The three fit results: their shapes made from the library's records, the distance of a
// point from each shape, and the graphics of each shape.
#include <cmath>
#include <numbers>

#include <Geometry/FitCircleResult.h>
#include <Geometry/FitEllipseResult.h>
#include <Geometry/FitLineResult.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Private/Geometry2D.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/RoundShapes.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/StatusMapper.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Geometry {

namespace {

namespace Primitives = Vision::Private;

constexpr double DegreesPerRadian = 360.0 / (2 * std::numbers::pi);

// The line's direction after the fit: the library's angle, turned by π when it points from
// the last fitted point back towards the first, then brought into (−π, π].
double OrientAlongPoints(double rotation, double fitAngle, const korm_vect& first, const korm_vect& last)
{
    if (first.x != last.x || first.y != last.y) {
        korm_vect span, spanUnit, direction;
        double dot = 0;
        ThrowOnFailedStatus(korm_vect_init(&span, last.x - first.x, last.y - first.y));
        ThrowOnFailedStatus(korm_vect_getUnit(&span, &spanUnit));
        ThrowOnFailedStatus(korm_vect_initLengthAngle(&direction, 1.0, fitAngle));
        ThrowOnFailedStatus(korm_vect_dot(&spanUnit, &direction, &dot));
        if (dot < 0)
            rotation += std::numbers::pi;
    }
    // The fit's angle is finite and within a turn of zero, so each loop runs at most twice.
    while (rotation > std::numbers::pi)
        rotation -= 2 * std::numbers::pi;
    while (rotation <= -std::numbers::pi)
        rotation += 2 * std::numbers::pi;
    return rotation;
}

} // namespace

// ---- FitLineResult ----

FitLineResult::FitLineResult(ObjectCreateAccessToken) : line_(Quill::Create<Line>()) {}
FitLineResult::FitLineResult() : FitLineResult(MakeAccessToken()) {}
FitLineResult::~FitLineResult() = default;

FitLineResult::FitLineResult(ObjectCreateAccessToken, const korm_lineFitResult& fit,
                             std::vector<korm_vect> points, const std::string& spaceName)
    : FitResultBase(fit.rmsError, std::move(points), fit.leftOut), line_(Quill::Create<Line>())
{
    double angle = 0;
    ThrowOnFailedStatus(korm_shapeFLine_getAngle(&fit.line, &angle));
    if (!std::isfinite(fit.line.distance))
        throw ArgumentException("The fitted line passes farther from the origin than the largest number a "
                                "double holds (about 1.8e308).");
    line_->SetDistanceRotation(fit.line.distance, angle);
    const std::int32_t last = NumPoints() - 1;
    line_->setRotation(
        OrientAlongPoints(line_->Rotation(), angle, {GetX(0), GetY(0)}, {GetX(last), GetY(last)}));
    line_->setSelectedSpaceName(spaceName);
}

double FitLineResult::GetDistanceInternal(std::int32_t i) const
{
    return Primitives::GuardPrimitives([&] {
        const Primitives::Line2D line{{line_->X(), line_->Y()},
                                      {std::cos(line_->Rotation()), std::sin(line_->Rotation())}};
        return std::abs(Primitives::SignedLineOffset(line, {GetX(i), GetY(i)}));
    });
}

std::shared_ptr<GraphicCollection>
FitLineResult::CreateResultGraphics(FitLineResultGraphicConstants switches) const
{
    using G = FitLineResultGraphicConstants;
    const std::string& spaceName = line_->SelectedSpaceName();
    auto graphics = CreateResultGraphicsCommon(static_cast<std::uint32_t>(switches), spaceName);
    if (Any(switches & G::Line)) {
        double x, y, rotation;
        line_->GetXYRotation(x, y, rotation);
        auto line = line_->Copy(static_cast<std::uint32_t>(CopyShapeConstants::GeometryOnly));
        StyleShapeGraphic(
            *line, spaceName, Any(switches & G::TipText),
            Strings::Substitute(
                "XY=(%1,%2), Rotation=%3 deg, RMS Error=%4",
                {TipNumber(x), TipNumber(y), TipNumber(rotation * DegreesPerRadian), TipNumber(RMSError())}));
        graphics->Add(std::move(line));
    }
    return graphics;
}

void FitLineResult::ConstructContentInternal(Record& record, std::uint32_t mask)
{
    if (const auto switches = RecordMaskToGraphicSwitches(
            mask, static_cast<std::uint32_t>(FitLineResultGraphicConstants::Line)))
        record.setContent(CreateResultGraphics(static_cast<FitLineResultGraphicConstants>(switches)));
}

// ---- FitCircleResult ----

FitCircleResult::FitCircleResult(ObjectCreateAccessToken) : circle_(Quill::Create<Circle>()) {}
FitCircleResult::FitCircleResult() : FitCircleResult(MakeAccessToken()) {}
FitCircleResult::~FitCircleResult() = default;

FitCircleResult::FitCircleResult(ObjectCreateAccessToken, const korm_circleFitResult& fit,
                                 std::vector<korm_vect> points, const std::string& spaceName)
    : FitResultBase(fit.rmsError, std::move(points), fit.leftOut), circle_(Quill::Create<Circle>())
{
    circle_->SetCenterRadius(fit.centerX, fit.centerY, fit.radius);
    circle_->setSelectedSpaceName(spaceName);
}

double FitCircleResult::GetDistanceInternal(std::int32_t i) const
{
    return Primitives::GuardPrimitives([&] {
        Primitives::Point2D closest;
        return std::abs(Primitives::DistanceCirclePoint(
            {{circle_->CenterX(), circle_->CenterY()}, circle_->Radius()}, {GetX(i), GetY(i)}, closest));
    });
}

std::shared_ptr<GraphicCollection>
FitCircleResult::CreateResultGraphics(FitCircleResultGraphicConstants switches) const
{
    using G = FitCircleResultGraphicConstants;
    const std::string& spaceName = circle_->SelectedSpaceName();
    const bool tips = Any(switches & G::TipText);
    auto graphics = CreateResultGraphicsCommon(static_cast<std::uint32_t>(switches), spaceName);
    double x, y, radius;
    circle_->GetCenterRadius(x, y, radius);
    if (Any(switches & G::Circle)) {
        auto circle = circle_->Copy(static_cast<std::uint32_t>(CopyShapeConstants::GeometryOnly));
        StyleShapeGraphic(
            *circle, spaceName, tips,
            Strings::Substitute("Center=(%1,%2), Radius=%3, RMS Error=%4",
                                {TipNumber(x), TipNumber(y), TipNumber(radius), TipNumber(RMSError())}));
        graphics->Add(std::move(circle));
    }
    if (Any(switches & G::Center))
        graphics->Add(CenterGraphic(x, y, spaceName, tips));
    return graphics;
}

void FitCircleResult::ConstructContentInternal(Record& record, std::uint32_t mask)
{
    using G = FitCircleResultGraphicConstants;
    if (const auto switches =
            RecordMaskToGraphicSwitches(mask, static_cast<std::uint32_t>(G::Circle | G::Center)))
        record.setContent(CreateResultGraphics(static_cast<G>(switches)));
}

// ---- FitEllipseResult ----

FitEllipseResult::FitEllipseResult(ObjectCreateAccessToken) : ellipse_(Quill::Create<Ellipse>()) {}
FitEllipseResult::FitEllipseResult() : FitEllipseResult(MakeAccessToken()) {}
FitEllipseResult::~FitEllipseResult() = default;

FitEllipseResult::FitEllipseResult(ObjectCreateAccessToken, const korm_ellipseFitResult& fit,
                                   std::vector<korm_vect> points, const std::string& spaceName,
                                   bool keepRadiusOrder, double rotation)
    : FitResultBase(fit.rmsError, std::move(points), fit.leftOut), ellipse_(Quill::Create<Ellipse>())
{
    korm_vect center, radii;
    ThrowOnFailedStatus(korm_shapeEllipse_getCenter(&fit.ellipse, &center));
    ThrowOnFailedStatus(korm_shapeEllipse_getRadii(&fit.ellipse, &radii));
    ellipse_->SetCenterXYRadiusXYRotation(center.x, center.y, keepRadiusOrder ? radii.x : radii.y,
                                          keepRadiusOrder ? radii.y : radii.x, rotation);
    ellipse_->setSelectedSpaceName(spaceName);
}

double FitEllipseResult::GetDistanceInternal(std::int32_t i) const
{
    return Primitives::GuardPrimitives([&] {
        const Primitives::TarnEllipse ellipse(ellipse_->CenterX(), ellipse_->CenterY(), ellipse_->RadiusX(),
                                              ellipse_->RadiusY(), ellipse_->Rotation());
        Primitives::Point2D closest;
        return std::abs(ellipse.DistanceToPoint({GetX(i), GetY(i)}, closest));
    });
}

std::shared_ptr<GraphicCollection>
FitEllipseResult::CreateResultGraphics(FitEllipseResultGraphicConstants switches) const
{
    using G = FitEllipseResultGraphicConstants;
    const std::string& spaceName = ellipse_->SelectedSpaceName();
    const bool tips = Any(switches & G::TipText);
    auto graphics = CreateResultGraphicsCommon(static_cast<std::uint32_t>(switches), spaceName);
    double x, y, radiusX, radiusY, rotation;
    ellipse_->GetCenterXYRadiusXYRotation(x, y, radiusX, radiusY, rotation);
    if (Any(switches & G::Ellipse)) {
        auto ellipse = ellipse_->Copy(static_cast<std::uint32_t>(CopyShapeConstants::GeometryOnly));
        StyleShapeGraphic(
            *ellipse, spaceName, tips,
            Strings::Substitute("Center=(%1,%2), Radii=(%3,%4), Rotation=%5 deg, RMS Error=%6",
                                {TipNumber(x), TipNumber(y), TipNumber(radiusX), TipNumber(radiusY),
                                 TipNumber(rotation * DegreesPerRadian), TipNumber(RMSError())}));
        graphics->Add(std::move(ellipse));
    }
    if (Any(switches & G::Center))
        graphics->Add(CenterGraphic(x, y, spaceName, tips));
    return graphics;
}

void FitEllipseResult::ConstructContentInternal(Record& record, std::uint32_t mask)
{
    using G = FitEllipseResultGraphicConstants;
    if (const auto switches =
            RecordMaskToGraphicSwitches(mask, static_cast<std::uint32_t>(G::Ellipse | G::Center)))
        record.setContent(CreateResultGraphics(static_cast<G>(switches)));
}

} // namespace Ostrel::Vision::Geometry
