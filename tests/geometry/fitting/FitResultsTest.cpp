// Fit results: shapes, used flags, distances and their cache, graphics and record contents.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Record.h>

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
namespace FitImpl = Ostrel::Vision::Geometry::Implementation;
namespace FitPrivate = Ostrel::Vision::Geometry::Private;
using std::numbers::pi;

namespace {

std::string N(double value)
{
    return Ostrel::Vision::Private::MiscUtils::GetFixedPrecisionNumericString(value, 3);
}

// Eight points on the circle of centre (10, 20) and radius 5, and one far outlier (index 3).
std::shared_ptr<FitCircle> CircleWithOutlier()
{
    auto fit = Quill::Create<FitCircle>();
    for (int k = 0; k < 8; ++k) {
        fit->AddPoint(10 + 5 * std::cos(k * pi / 4), 20 + 5 * std::sin(k * pi / 4));
        if (k == 2)
            fit->AddPoint(30, 40);
    }
    fit->setNumToIgnore(1);
    return fit;
}

std::shared_ptr<Record> ResultRecord(const std::shared_ptr<FitImpl::FitResultBase>& result,
                                     std::uint32_t mask)
{
    auto record = Quill::Create<Record>("Shape", rttr::type::get<void>(), RecordUsageConstants::LastRunInput,
                                        false, nullptr, "Shape");
    record->Construct(result, mask);
    return record;
}

// The RMS error agrees with the distances of the used points, whatever the fit, to the
// rounding of the points' coordinates.
void ExpectRmsOfUsedDistances(const FitImpl::FitResultBase& result, const std::string& what)
{
    double size = 0;
    for (int i = 0; i < result.NumPoints(); ++i)
        size = std::max({size, std::abs(result.GetX(i)), std::abs(result.GetY(i))});
    double sum = 0; // of the distances divided by the size, so that no square overflows
    int used = 0;
    for (int i = 0; i < result.NumPoints(); ++i) {
        const double d = result.GetDistance(i);
        ASSERT_TRUE(std::isfinite(d)) << what << " point " << i;
        if (result.GetUsed(i))
            sum += (d / size) * (d / size), ++used;
    }
    ASSERT_TRUE(std::isfinite(result.RMSError())) << what;
    EXPECT_NEAR(result.RMSError() / size, std::sqrt(sum / used), 1e-9 * result.RMSError() / size + 1e-12) << what;
}

} // namespace

TEST(FitResults, LineFollowsThePointOrder)
{
    auto fit = Quill::Create<FitLine>();
    for (double x : {4.0, 3.0, 2.0, 1.0})
        fit->AddPoint(x, 0);
    EXPECT_DOUBLE_EQ(fit->Execute("#")->GetLine()->Rotation(), pi);
    fit->setNumPoints(0);
    for (double x : {1.0, 2.0, 3.0, 4.0})
        fit->AddPoint(x, 0);
    const auto result = fit->Execute("#");
    EXPECT_EQ(result->GetLine()->Rotation(), 0);
    EXPECT_NEAR(result->GetLine()->Y(), 0, 1e-12);
    // Downwards along the y axis: the library's angle (π/2) turns round to −π/2.
    fit->setNumPoints(0);
    for (double y : {3.0, 2.0, 1.0})
        fit->AddPoint(5, y);
    EXPECT_DOUBLE_EQ(fit->Execute("#")->GetLine()->Rotation(), -pi / 2);
}

TEST(FitResults, UsedFlagsAndDistancesDescribeTheFit)
{
    const auto result = CircleWithOutlier()->Execute("#");
    const auto circle = result->GetCircle();
    EXPECT_NEAR(circle->CenterX(), 10, 1e-9);
    EXPECT_NEAR(circle->CenterY(), 20, 1e-9);
    EXPECT_NEAR(circle->Radius(), 5, 1e-9);
    EXPECT_NEAR(result->RMSError(), 0, 1e-9);
    ASSERT_EQ(result->NumPoints(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(result->GetUsed(i), i != 3) << i;
        EXPECT_NEAR(result->GetDistance(i), i == 3 ? std::hypot(20, 20) - 5 : 0, 1e-9) << i;
    }
    double x, y, distance;
    bool used;
    result->GetXYUsedDistance(3, x, y, used, distance);
    EXPECT_EQ(std::make_tuple(x, y, used), std::make_tuple(30.0, 40.0, false));
    EXPECT_EQ(result->GetCircle(), circle); // shared, not a copy

    const std::pair<const char*, std::function<void()>> badIndices[] = {
        {"GetX", [&] { result->GetX(9); }},
        {"GetY", [&] { result->GetY(-1); }},
        {"GetUsed", [&] { result->GetUsed(-1); }},
        {"GetDistance", [&] { result->GetDistance(9); }},
        {"GetXYUsedDistance", [&] { result->GetXYUsedDistance(9, x, y, used, distance); }},
    };
    for (const auto& [name, call] : badIndices)
        EXPECT_THAT(call, testing::Throws<ArgumentOutOfRangeException>(testing::Property(
                              &ArgumentOutOfRangeException::Message,
                              Strings::Substitute(Strings::IDS_Ost_InvalidArgGEandLT_3, {name, "0", "9"}))));
    // Without outliers every point is used; the line and ellipse measure the same way.
    auto line = Quill::Create<FitLine>();
    for (double x : {0.0, 1.0, 2.0})
        line->AddPoint(x, x == 1 ? 1 : 0);
    const auto lineResult = line->Execute("#");
    EXPECT_TRUE(lineResult->GetUsed(0) && lineResult->GetUsed(1) && lineResult->GetUsed(2));
    EXPECT_NEAR(lineResult->GetDistance(1), 2.0 / 3, 1e-9);
    EXPECT_NEAR(lineResult->GetDistance(0), 1.0 / 3, 1e-9); // on the other side: distances are not signed
    ExpectRmsOfUsedDistances(*lineResult, "line");
    auto ellipse = Quill::Create<FitEllipse>();
    for (int k = 0; k < 7; ++k)
        ellipse->AddPoint(8 * std::cos(k * 0.9), 3 * std::sin(k * 0.9));
    ellipse->AddPoint(0, 0);
    ellipse->setNumToIgnore(1);
    const auto ellipseResult = ellipse->Execute("#");
    EXPECT_FALSE(ellipseResult->GetUsed(7));
    EXPECT_NEAR(ellipseResult->GetDistance(7), 3, 1e-6);

    // With noise, the RMS error is that of the used points' distances, over their count.
    auto noisy = Quill::Create<FitCircle>();
    for (int k = 0; k < 12; ++k)
        noisy->AddPoint(std::cos(k * 0.5) * (10 + 0.1 * (k % 3 - 1)), std::sin(k * 0.5) * (10 + 0.1 * (k % 3 - 1)));
    noisy->AddPoint(40, 3);
    noisy->setNumToIgnore(2);
    const auto noisyResult = noisy->Execute("#");
    EXPECT_FALSE(noisyResult->GetUsed(12));
    ExpectRmsOfUsedDistances(*noisyResult, "noisy circle");
    EXPECT_GT(noisyResult->RMSError(), 0.01);
}

TEST(FitResults, ConstrainedEllipseTakesTheConstraintAsRotation)
{
    auto fit = Quill::Create<FitEllipse>();
    for (int k = 0; k < 8; ++k)
        fit->AddPoint(1 + 6 * std::cos(k * pi / 4), 2 + 2 * std::sin(k * pi / 4));
    fit->setRotationConstraint(pi / 2);
    fit->setRotationConstraintEnabled(true);
    const auto ellipse = fit->Execute("#")->GetEllipse();
    EXPECT_EQ(ellipse->Rotation(), pi / 2);
    EXPECT_NEAR(ellipse->RadiusX(), 2, 1e-6); // the X axis runs along π/2, across the long axis
    EXPECT_NEAR(ellipse->RadiusY(), 6, 1e-6);
}

TEST(FitResults, GraphicsFollowTheSwitches)
{
    const auto result = CircleWithOutlier()->Execute("#/Fixture");
    using G = FitCircleResultGraphicConstants;
    EXPECT_EQ(result->CreateResultGraphics(G::TipText)->Count(), 0);
    const auto points = result->CreateResultGraphics(G::UsedPoints | G::IgnoredPoints);
    ASSERT_EQ(points->Count(), 9);
    const auto outlier = points->ItemAs<CompositeShape>(3);
    ASSERT_TRUE(outlier);
    EXPECT_EQ(outlier->ID(), 3);
    EXPECT_EQ(outlier->SelectedSpaceName(), "#/Fixture");
    EXPECT_EQ(outlier->CompositionMode(), CompositeShapeCompositionModeConstants::Grouped);
    ASSERT_EQ(outlier->Shapes().Count(), 1);
    const auto marker = outlier->Shapes().ItemAs<PointMarker>(0);
    EXPECT_EQ(marker->Color().ToUInt32(), 0xFFFF0000u);
    EXPECT_EQ(marker->SelectedSpaceName(), "$");
    EXPECT_TRUE(marker->TipText().empty());
    EXPECT_EQ(points->ItemAs<CompositeShape>(0)->Shapes().ItemAs<PointMarker>(0)->Color().ToUInt32(),
              0xFF00FF00u);

    const auto ignored = result->CreateResultGraphics(G::IgnoredPoints | G::TipText);
    ASSERT_EQ(ignored->Count(), 1);
    EXPECT_EQ(ignored->ItemAs<CompositeShape>(0)->Shapes()[0]->TipText(),
              "ID=3, XY=(" + N(30) + "," + N(40) + "), Distance=" + N(result->GetDistance(3)) + " (ignored)");

    const auto shape = result->CreateResultGraphics(G::Circle | G::Center | G::TipText);
    ASSERT_EQ(shape->Count(), 2);
    const auto circle = shape->ItemAs<Circle>(0);
    ASSERT_TRUE(circle);
    EXPECT_NE(circle, result->GetCircle());
    EXPECT_TRUE(circle->Interactive());
    EXPECT_EQ(circle->SelectedSpaceName(), "#/Fixture");
    double cx, cy, r;
    result->GetCircle()->GetCenterRadius(cx, cy, r);
    EXPECT_EQ(circle->TipText(), "Center=(" + N(cx) + "," + N(cy) + "), Radius=" + N(r) +
                                     ", RMS Error=" + N(result->RMSError()));
    const auto center = shape->ItemAs<PointMarker>(1);
    ASSERT_TRUE(center);
    EXPECT_EQ(center->Size(), 20);
    EXPECT_EQ(center->TipText(), "Center=(" + N(cx) + "," + N(cy) + ")");
    EXPECT_FALSE(result->CreateResultGraphics(G::Circle)->Item(0)->Interactive());

    auto line = Quill::Create<FitLine>();
    line->AddPoint(0, 0);
    line->AddPoint(1, 1);
    const auto lineResult = line->Execute("#");
    const auto lineGraphic = lineResult->CreateResultGraphics(FitLineResultGraphicConstants::Line |
                                                              FitLineResultGraphicConstants::TipText);
    ASSERT_EQ(lineGraphic->Count(), 1);
    EXPECT_EQ(lineGraphic->Item(0)->TipText(),
              "XY=(" + N(0) + "," + N(0) + "), Rotation=" + N(45) + " deg, RMS Error=" + N(0));
}

TEST(FitResults, RecordMasksSelectTheGraphics)
{
    const auto result = CircleWithOutlier()->Execute("#");
    EXPECT_FALSE(ResultRecord(result, 0)->Content());
    const auto used = ResultRecord(result, 0x1)->ContentAs<GraphicCollection>();
    ASSERT_TRUE(used);
    EXPECT_EQ(used->Count(), 8);
    EXPECT_FALSE(used->ItemAs<CompositeShape>(0)->Shapes()[0]->TipText().empty());
    EXPECT_EQ(ResultRecord(result, 0x2)->ContentAs<GraphicCollection>()->Count(), 1);
    const auto shape = ResultRecord(result, 0x4)->ContentAs<GraphicCollection>();
    ASSERT_EQ(shape->Count(), 2);
    EXPECT_FALSE(shape->Item(1)->TipText().empty());

    auto line = Quill::Create<FitLine>();
    line->AddPoint(0, 0);
    line->AddPoint(2, 0);
    EXPECT_EQ(ResultRecord(line->Execute("#"), 0x4)->ContentAs<GraphicCollection>()->Count(), 1);
}

TEST(FitResults, FitsDoNotDependOnWhereAndHowLargeThePointsAre)
{
    // Seven points of the ellipse with radii 1 and 0.6 and its centre: the same fit, up to
    // the move and the scale, wherever the points lie and whatever their size.
    struct Placement {
        double dx, dy, scale;
    };
    const Placement placements[] = {{0, 0, 1}, {3, 4, 1}, {-1e6, 2e6, 1}, {0, 0, 0x1p-700}, {0, 0, 0x1p700}};
    std::shared_ptr<FitEllipseResult> reference;
    for (const auto& [dx, dy, scale] : placements) {
        auto fit = Quill::Create<FitEllipse>();
        fit->AddPoint(dx, dy);
        for (int k = 1; k < 8; ++k)
            fit->AddPoint(dx + scale * std::cos(k * pi / 4), dy + scale * 0.6 * std::sin(k * pi / 4));
        const std::string what = "moved by (" + std::to_string(dx) + ", " + std::to_string(dy) + "), scaled by " +
                                 std::to_string(std::log2(scale));
        SCOPED_TRACE(what);
        const auto result = fit->Execute("#");
        ExpectRmsOfUsedDistances(*result, what);
        if (!reference) {
            reference = result;
            continue;
        }
        const auto e = result->GetEllipse(), r = reference->GetEllipse();
        const double tolerance = 1e-6 * scale;
        EXPECT_NEAR(e->CenterX() - dx, scale * r->CenterX(), tolerance + 1e-9 * std::abs(dx));
        EXPECT_NEAR(e->CenterY() - dy, scale * r->CenterY(), tolerance + 1e-9 * std::abs(dy));
        EXPECT_NEAR(e->RadiusX(), scale * r->RadiusX(), tolerance);
        EXPECT_NEAR(e->RadiusY(), scale * r->RadiusY(), tolerance);
        EXPECT_NEAR(result->RMSError(), scale * reference->RMSError(), tolerance);
    }

    // Points near the ends of the double range: a line through them and a circle about them.
    auto line = Quill::Create<FitLine>();
    line->AddPoint(0, 0);
    line->AddPoint(1e308, -1e308);
    const auto lineResult = line->Execute("#");
    ExpectRmsOfUsedDistances(*lineResult, "line");
    EXPECT_DOUBLE_EQ(lineResult->GetLine()->Rotation(), -pi / 4);
    auto circle = Quill::Create<FitCircle>();
    for (int k = 0; k < 6; ++k)
        circle->AddPoint(1e307 * std::cos(k * pi / 3), 1e307 * std::sin(k * pi / 3));
    const auto circleResult = circle->Execute("#");
    ExpectRmsOfUsedDistances(*circleResult, "circle");
    EXPECT_NEAR(circleResult->GetCircle()->Radius(), 1e307, 1e295);
}
