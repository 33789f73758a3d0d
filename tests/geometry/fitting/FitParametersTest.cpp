// Fit run parameters: point edits and their flags, index and range checks, constraints,
// the checks Execute makes before it fits, and the fake properties behind point pins.
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Geometry/GeometryException.h>
#include <Ostrel/Vision/ToolPin.h>

#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
namespace FitImpl = Ostrel::Vision::Geometry::Implementation;
namespace FitPrivate = Ostrel::Vision::Geometry::Private;
using Flags = std::vector<std::uint64_t>;

namespace {

// Matches a call that throws a GeometryException with this message and code.
auto ThrowsGeometry(const std::string& message, GeometryExceptionCodes code)
{
    return testing::Throws<GeometryException>(
        testing::AllOf(testing::Property(&GeometryException::Message, message),
                       testing::Property(&GeometryException::GeometryCode, code)));
}

std::vector<std::pair<double, double>> PointsOf(const FitImpl::FitBase& fit)
{
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < fit.NumPoints(); ++i)
        points.emplace_back(fit.GetX(i), fit.GetY(i));
    return points;
}

} // namespace

TEST(FitParameters, PointEditsRaiseTheirFlags)
{
    auto fit = Quill::Create<FitLine>();
    EventRecorder events(*fit);
    fit->AddPoint(1, 2);
    fit->AddPoint(3, 4);
    fit->SetX(0, 1); // unchanged: nothing
    fit->SetX(0, 5);
    fit->SetY(1, 6);
    fit->SetPoint(0, 5, 2); // unchanged, and still raised
    fit->DeletePoint(0);
    fit->setNumToIgnore(0);
    fit->setNumToIgnore(1);
    EXPECT_EQ(events.flags, (Flags{0x1, 0x1, 0x2, 0x4, 0x6, 0x7, 0x8}));
    EXPECT_EQ(PointsOf(*fit), (std::vector<std::pair<double, double>>{{3, 6}}));
    double x = 0, y = 0;
    fit->GetPoint(0, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(3.0, 6.0));

    events.flags.clear();
    fit->setNumPoints(3); // grows with points (0, 0)
    fit->setNumPoints(3);
    EXPECT_EQ(PointsOf(*fit), (std::vector<std::pair<double, double>>{{3, 6}, {0, 0}, {0, 0}}));
    fit->setNumPoints(1); // keeps the first point
    EXPECT_EQ(PointsOf(*fit), (std::vector<std::pair<double, double>>{{3, 6}}));
    fit->setNumPoints(0);
    EXPECT_EQ(events.flags, (Flags{0x1, 0x1, 0x1}));
}

TEST(FitParameters, BadIndicesNameTheOperationAndChangeNothing)
{
    auto fit = Quill::Create<FitCircle>();
    fit->AddPoint(1, 1);
    fit->AddPoint(2, 2);
    EventRecorder events(*fit);
    double x, y;
    const std::pair<const char*, std::function<void(int)>> operations[] = {
        {"GetX", [&](int i) { fit->GetX(i); }},
        {"GetY", [&](int i) { fit->GetY(i); }},
        {"GetX", [&](int i) { fit->GetPoint(i, x, y); }},
        {"SetX", [&](int i) { fit->SetX(i, 9); }},
        {"SetY", [&](int i) { fit->SetY(i, 9); }},
        {"SetPoint", [&](int i) { fit->SetPoint(i, 9, 9); }},
        {"DeletePoint", [&](int i) { fit->DeletePoint(i); }},
    };
    for (const auto& [name, call] : operations)
        for (int i : {-1, 2})
            EXPECT_THAT([&] { call(i); }, ThrowsWith<ArgumentOutOfRangeException>(Strings::Substitute(
                                              Strings::IDS_Ost_InvalidArgGEandLT_3, {name, "0", "2"})))
                << name << " " << i;

    const std::pair<const char*, std::function<void()>> negatives[] = {
        {"NumPoints", [&] { fit->setNumPoints(-1); }},
        {"NumToIgnore", [&] { fit->setNumToIgnore(-1); }},
        {"RadiusConstraint", [&] { fit->setRadiusConstraint(-0.5); }},
    };
    for (const auto& [name, call] : negatives)
        EXPECT_THAT(call, ThrowsWith<ArgumentOutOfRangeException>(
                              Strings::Substitute(Strings::IDS_Ost_InvalidArgGE_2, {name, "0"})));
    EXPECT_THROW(fit->setRadiusConstraint(std::numeric_limits<double>::quiet_NaN()), ArgumentException);
    EXPECT_TRUE(events.flags.empty());
    EXPECT_EQ(PointsOf(*fit), (std::vector<std::pair<double, double>>{{1, 1}, {2, 2}}));
    EXPECT_EQ(fit->RadiusConstraint(), 1.0);
}

TEST(FitParameters, ConstraintsCompareStoreAndNormalise)
{
    auto circle = Quill::Create<FitCircle>();
    EventRecorder circleEvents(*circle);
    circle->setRadiusConstraint(1.0);
    circle->setRadiusConstraint(2.5);
    circle->setRadiusConstraintEnabled(false);
    circle->setRadiusConstraintEnabled(true);
    EXPECT_EQ(circleEvents.flags, (Flags{0x20, 0x10}));

    auto ellipse = Quill::Create<FitEllipse>();
    EventRecorder ellipseEvents(*ellipse);
    ellipse->setRotationConstraint(3 * std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(ellipse->RotationConstraint(), -std::numbers::pi / 2);
    ellipse->setRotationConstraint(3 * std::numbers::pi / 2); // stores the same value again
    ellipse->setRotationConstraintEnabled(true);
    EXPECT_THROW(ellipse->setRotationConstraint(std::numeric_limits<double>::infinity()), ArgumentException);
    EXPECT_EQ(ellipseEvents.flags, (Flags{0x20, 0x10}));
}

TEST(FitParameters, ExecuteChecksThePointSetFirst)
{
    // None, and one point short of each shape's minimum.
    const auto tooFew = [](int have, int minimum) {
        return ThrowsGeometry(fmt::format("Insufficient points: have {}, minimum is {}", have, minimum),
                              GeometryExceptionCodes::NotEnoughPoints);
    };
    auto circle = Quill::Create<FitCircle>();
    auto shortLine = Quill::Create<FitLine>();
    auto shortEllipse = Quill::Create<FitEllipse>();
    EXPECT_THAT([&] { circle->Execute("#"); }, tooFew(0, 3));
    shortLine->setNumPoints(1);
    circle->setNumPoints(2);
    shortEllipse->setNumPoints(4);
    EXPECT_THAT([&] { shortLine->Execute("#"); }, tooFew(1, 2));
    EXPECT_THAT([&] { circle->Execute("#"); }, tooFew(2, 3));
    EXPECT_THAT([&] { shortEllipse->Execute("#"); }, tooFew(4, 5));

    auto line = Quill::Create<FitLine>();
    for (double x : {0.0, 1.0, 2.0, 3.0})
        line->AddPoint(x, 2 * x);
    line->setNumToIgnore(3);
    EXPECT_THAT([&] { line->Execute("#"); },
                ThrowsWith<GeometryException>(
                    Strings::Substitute(Strings::IDS_Ost_InvalidArgRange_3, {"NumToIgnore", "0", "2"})));
    line->setNumToIgnore(2);
    EXPECT_NO_THROW(line->Execute("#"));
    line->setNumToIgnore(0);

    // Bad input fails clearly and leaves the parameters as they were, ready for a good run.
    EXPECT_THROW(line->Execute("#/a//b"), ArgumentException);
    line->SetY(2, std::numeric_limits<double>::quiet_NaN());
    EXPECT_THROW(line->Execute("#"), ArgumentException);
    line->SetY(2, 4);
    auto same = Quill::Create<FitLine>();
    same->setNumPoints(3);
    EXPECT_THAT([&] { same->Execute("#"); },
                ThrowsGeometry("The points specified for the fitting operation are ambiguous",
                               GeometryExceptionCodes::AmbiguousPoints));
    const auto result = line->Execute("#/Fixture");
    EXPECT_EQ(result->GetLine()->SelectedSpaceName(), "#/Fixture");
    EXPECT_EQ(line->NumPoints(), 4);
    EXPECT_NE(line->Execute("#"), result); // every call gives a new result
}

TEST(FitParameters, RadiusOrderFollowsTheFittedAxis)
{
    using std::numbers::pi;
    EXPECT_TRUE(FitEllipse::KeepsRadiusOrder(pi / 4, 0));
    EXPECT_FALSE(FitEllipse::KeepsRadiusOrder(pi / 3, 0)); // |cos| = 0.5 is not above
    EXPECT_FALSE(FitEllipse::KeepsRadiusOrder(-2 * pi / 3, 0));
    EXPECT_FALSE(FitEllipse::KeepsRadiusOrder(pi / 2, 0));
    EXPECT_TRUE(FitEllipse::KeepsRadiusOrder(pi, 0)); // the same axis, reversed
    EXPECT_TRUE(FitEllipse::KeepsRadiusOrder(0.1, -pi / 8));
}

TEST(FitParameters, PointPinsResolveThroughFakeProperties)
{
    auto fit = Quill::Create<FitEllipse>();
    fit->setNumPoints(2);
    const auto properties = fit->GetFakeProperties();
    std::vector<std::string> indexed;
    for (const auto& property : properties)
        if (property->Index() >= 0)
            indexed.push_back(property->DisplayName() + "/" + property->SetterName());
    EXPECT_EQ(indexed,
              (std::vector<std::string>{"GetX(0)/SetX", "GetX(1)/SetX", "GetY(0)/SetY", "GetY(1)/SetY"}));

    EventRecorder events(*fit);
    Quill::Create<ToolPin>("SetY(1)")->SetValue(fit, 7.5);
    EXPECT_EQ(fit->GetY(1), 7.5);
    EXPECT_EQ(Quill::Create<ToolPin>("GetY(1)")->GetValue(fit).to_double(), 7.5);
    EXPECT_EQ(events.flags, Flags{0x4});
    EXPECT_THAT([&] { Quill::Create<ToolPin>("SetX(2)")->SetValue(fit, 1.0); },
                ThrowsWith<ArgumentOutOfRangeException>(
                    Strings::Substitute(Strings::IDS_Ost_InvalidArgGEandLT_3, {"SetX", "0", "2"})));
}
