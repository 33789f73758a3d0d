// What the archives, legacy conversion and reflection of the fit classes do beyond what
// every class does: consistency checks of point lists and distance caches, legacy point
// lists and fake properties.
#include <cstdint>
#include <numbers>
#include <sstream>

#include <gtest/gtest.h>

#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/ToolPin.h>

#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
namespace FitImpl = Ostrel::Vision::Geometry::Implementation;
namespace FitPrivate = Ostrel::Vision::Geometry::Private;
using namespace Ostrel::Vision::Implementation::Internal;
using std::numbers::pi;

namespace {

std::shared_ptr<FitCircle> SampleCircleFit()
{
    auto fit = Quill::Create<FitCircle>();
    for (auto [x, y] : {std::pair{0.0, 5.0}, {5.0, 0.0}, {0.0, -5.0}, {-5.0, 0.0}, {9.0, 9.0}})
        fit->AddPoint(x, y);
    fit->setNumToIgnore(1);
    fit->setRadiusConstraint(4.5);
    return fit;
}

} // namespace

TEST(FitArchive, ResultsKeepTheirDistanceCache)
{
    const auto result = SampleCircleFit()->Execute("#/Fixture");
    const double outlier = result->GetDistance(4);
    const auto loaded = LoadFromString<FitCircleResult>(SaveToString(result, 0));
    ASSERT_TRUE(loaded);
    // Moving the loaded circle shows which distances come from the archived cache.
    loaded->GetCircle()->setRadius(1);
    EXPECT_EQ(loaded->GetDistance(4), outlier);
    EXPECT_NEAR(loaded->GetDistance(0), 4, 1e-9);
}

TEST(FitArchive, PointListsAndCachesThatDoNotAgreeAreRefused)
{
    const std::string bytes = SaveToString(SampleCircleFit()->Execute("#"), 0);
    // Used flags (a count, a byte each) and points (a count, then x and y) that do not pair
    // up are refused.
    const std::string five("\5\0\0\0\0\0\0\0", 8);
    const auto usedAt = bytes.find(five + std::string("\1\1\1\1\0", 5) + five);
    ASSERT_NE(usedAt, std::string::npos);
    std::string unpaired = bytes;
    unpaired[usedAt] = 4;
    unpaired.erase(usedAt + 8 + 4, 1);
    EXPECT_THAT([&] { LoadFromString<FitCircleResult>(unpaired); },
                ThrowsWith<SerializationException>("5 points with 4 used flags"));
    // A cached distance for a point one past the last is refused, as is a negative count
    // of points to leave out.
    const auto result = SampleCircleFit()->Execute("#");
    const double cached = result->GetDistance(result->NumPoints() - 1);
    std::string last = SaveToString(result, 0);
    std::int32_t index = result->NumPoints() - 1;
    std::string indexAndDistance(reinterpret_cast<const char*>(&index), 4);
    indexAndDistance.append(reinterpret_cast<const char*>(&cached), 8);
    const auto cacheAt = last.rfind(indexAndDistance);
    ASSERT_NE(cacheAt, std::string::npos);
    last[cacheAt] = static_cast<char>(result->NumPoints());
    EXPECT_THROW(LoadFromString<FitCircleResult>(last), SerializationException);
    auto fit = SampleCircleFit();
    fit->setNumToIgnore(0x5A5A5A);
    std::string negative = SaveToString(fit, 0);
    const auto ignoreAt = negative.find(std::string("\x5A\x5A\x5A\0", 4));
    ASSERT_NE(ignoreAt, std::string::npos);
    negative.replace(ignoreAt, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_THROW(LoadFromString<FitCircle>(negative), SerializationException);
}

// What the legacy corpus leaves out: points past the count are not read, and a rotation
// out of range is normalised as the setter does it.
TEST(FitLegacy, ReadsTheCountedPointsAndNormalisesTheRotation)
{
    std::istringstream json(R"({"objects": [{"handle": 1, "type": "FitEllipse", "properties": {
        "PointsCount": 1, "Points0.X": 1.5, "Points0.Y": 2, "Points1.X": 99, "Points1.Y": 99,
        "NumToIgnore": 0, "Rotation": 4.0, "RotationConstraintEnabled": 0}}]})");
    const auto table = ConversionContext::FromJson(json);
    const auto ellipse = std::dynamic_pointer_cast<FitEllipse>(Orv9xConverter::Orv9xConvert(1, table.get()));
    ASSERT_TRUE(ellipse);
    EXPECT_EQ(ellipse->NumPoints(), 1);
    EXPECT_EQ(ellipse->GetY(0), 2);
    EXPECT_DOUBLE_EQ(ellipse->RotationConstraint(), 4.0 - 2 * pi);
}

// A result lists its shape getter, then its points through four read-only getters.
TEST(FitRegistration, ResultsListTheirPointsAsFakeProperties)
{
    auto line = Quill::Create<FitLine>();
    line->AddPoint(0, 0);
    line->AddPoint(1, 0);
    std::vector<std::string> names;
    for (const auto& property : line->Execute("#")->GetFakeProperties())
        if (property->DisplayName() == "GetLine()" || property->Index() >= 0)
            names.push_back(property->DisplayName() + (property->IsReadOnly() ? "" : "*"));
    EXPECT_EQ(names,
              (std::vector<std::string>{"GetLine()", "GetX(0)", "GetX(1)", "GetY(0)", "GetY(1)", "GetUsed(0)",
                                        "GetUsed(1)", "GetDistance(0)", "GetDistance(1)"}));
}
