// Archives, legacy conversion and reflection of the fit parameters and results.
#include <algorithm>
#include <cstdint>
#include <tuple>
#include <numbers>
#include <random>
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

TEST(FitArchive, StoredBytesAreTheWireFormatAndEveryVersionIsChecked)
{
    // Parameters with every field away from its default; their archives as this format
    // writes them. Change a fingerprint only with a new class version.
    auto line = Quill::Create<FitLine>();
    line->AddPoint(1.5, -2);
    line->AddPoint(3, 4.25);
    line->setNumToIgnore(1);
    auto ellipse = Quill::Create<FitEllipse>();
    ellipse->AddPoint(-7, 0.5);
    ellipse->setRotationConstraint(0.75);
    ellipse->setRotationConstraintEnabled(true);
    auto circle = SampleCircleFit();
    circle->setRadiusConstraintEnabled(true);
    const std::tuple<std::shared_ptr<Quill::IObject>, std::string, std::size_t, std::uint64_t> stored[] = {
        {line, "FitLine", 132, 0xef8bd560bb33e81aull},
        {circle, "FitCircle", 194, 0x574b508c1c6497f8ull},
        {ellipse, "FitEllipse", 127, 0x53f440e5d5906cull},
        // The result holds the fitted circle, which the fit finds exactly: (0, 0), radius 5.
        {SampleCircleFit()->Execute("#"), "FitCircleResult", 294, 0xc642c993cef8a16eull},
    };
    for (const auto& [object, name, size, hash] : stored) {
        const std::string bytes = SaveToString(object, 0);
        EXPECT_EQ(bytes.size(), size) << name;
        EXPECT_EQ(Fingerprint(bytes), hash) << name << ": " << std::hex << Fingerprint(bytes);
        // Each class of the object's chain checks its version: the root's follows its
        // name and object id, each base's comes first in the data of the class above it.
        const std::string qualified = "Ostrel::Vision::Geometry::" + name;
        const auto at = bytes.find(qualified);
        ASSERT_NE(at, std::string::npos) << name;
        for (std::size_t level = 0; level < 2; ++level) {
            std::string newer = bytes;
            newer[at + qualified.size() + 4 + 4 * level] += 1;
            EXPECT_THAT([&] { LoadFromString<Quill::IObject>(newer); }, ThrowsWith<SerializationException>("::serialize()"))
                << "level " << level << " of " << name;
        }
    }
}

TEST(FitArchive, ParametersRoundTripWhateverTheOptions)
{
    const auto circle = SampleCircleFit();
    // The fit classes read no option: the archives differ in the leading mask alone.
    EXPECT_EQ(SaveToString(circle, 0x0).substr(4), SaveToString(circle, 0x101).substr(4));
    const auto loaded = LoadFromString<FitCircle>(SaveToString(circle, 0x1));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->NumPoints(), 5);
    EXPECT_EQ(loaded->GetY(4), 9);
    EXPECT_EQ(loaded->NumToIgnore(), 1);
    EXPECT_EQ(loaded->RadiusConstraint(), 4.5);
    EXPECT_FALSE(loaded->RadiusConstraintEnabled());
    EXPECT_NEAR(loaded->Execute("#")->GetCircle()->Radius(), 5, 1e-9);

    auto ellipse = Quill::Create<FitEllipse>();
    ellipse->AddPoint(1, 2);
    ellipse->setRotationConstraint(-1.25);
    ellipse->setRotationConstraintEnabled(true);
    const auto loadedEllipse = LoadFromString<FitEllipse>(SaveToString(ellipse, 0));
    EXPECT_EQ(loadedEllipse->RotationConstraint(), -1.25);
    EXPECT_TRUE(loadedEllipse->RotationConstraintEnabled());
    EXPECT_EQ(loadedEllipse->GetX(0), 1);
    auto line = Quill::Create<FitLine>();
    line->setNumPoints(2);
    EXPECT_EQ(LoadFromString<FitLine>(SaveToString(line, 0))->NumPoints(), 2);
    auto base = Quill::Create<FitImpl::FitBase>();
    base->setNumToIgnore(3);
    EXPECT_EQ(LoadFromString<FitImpl::FitBase>(SaveToString(base, 0))->NumToIgnore(), 3);
}

TEST(FitArchive, ResultsKeepTheirDistanceCache)
{
    const auto result = SampleCircleFit()->Execute("#/Fixture");
    const double outlier = result->GetDistance(4);
    const auto loaded = LoadFromString<FitCircleResult>(SaveToString(result, 0));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->NumPoints(), 5);
    EXPECT_FALSE(loaded->GetUsed(4));
    EXPECT_TRUE(loaded->GetUsed(0));
    EXPECT_EQ(loaded->RMSError(), result->RMSError());
    EXPECT_EQ(loaded->GetCircle()->SelectedSpaceName(), "#/Fixture");
    // Moving the loaded circle shows which distances come from the archived cache.
    loaded->GetCircle()->setRadius(1);
    EXPECT_EQ(loaded->GetDistance(4), outlier);
    EXPECT_NEAR(loaded->GetDistance(0), 4, 1e-9);

    auto lineFit = Quill::Create<FitLine>();
    lineFit->AddPoint(3, 1);
    lineFit->AddPoint(1, 1);
    const auto line = LoadFromString<FitLineResult>(SaveToString(lineFit->Execute("#"), 0))->GetLine();
    EXPECT_DOUBLE_EQ(line->Rotation(), pi);
    auto ellipseFit = Quill::Create<FitEllipse>();
    for (int k = 0; k < 6; ++k)
        ellipseFit->AddPoint(4 * std::cos(k), 2 * std::sin(k));
    const auto ellipse = LoadFromString<FitEllipseResult>(SaveToString(ellipseFit->Execute("#"), 0));
    const auto radii = std::minmax({ellipse->GetEllipse()->RadiusX(), ellipse->GetEllipse()->RadiusY()});
    EXPECT_NEAR(radii.first, 2, 1e-6);
    EXPECT_NEAR(radii.second, 4, 1e-6);
    EXPECT_EQ(ellipse->NumPoints(), 6);
}

TEST(FitArchive, VersionAndCorruptionFailCleanly)
{
    const std::string bytes = SaveToString(SampleCircleFit()->Execute("#"), 0);
    const std::string name = "Ostrel::Vision::Geometry::FitCircleResult";
    const auto at = bytes.find(name);
    ASSERT_NE(at, std::string::npos);
    std::string patched = bytes;
    patched[at + name.size() + 4] = 2; // after the pointer id: the class version
    EXPECT_THAT([&] { LoadFromString<FitCircleResult>(patched); },
                ThrowsWith<SerializationException>("FitCircleResult::serialize()"));
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

    std::mt19937 random(11);
    for (int trial = 0; trial < 300; ++trial) {
        std::string damaged = bytes;
        for (int flips = 0; flips < 3; ++flips)
            damaged[random() % damaged.size()] ^= static_cast<char>(1 + random() % 255);
        try {
            LoadFromString<FitCircleResult>(damaged);
        } catch (const SerializationException&) {
        }
    }
}

TEST(FitLegacy, ConvertsPointsCountsAndConstraints)
{
    std::istringstream json(R"({"objects": [
        {"handle": 1, "type": "FitCircle", "properties": {
            "PointsCount": 3, "Points0.X": 1.5, "Points0.Y": 2, "Points1.X": 3, "Points1.Y": 4,
            "Points2.X": 5, "Points2.Y": 6.5, "Points3.X": 99, "Points3.Y": 99,
            "NumToIgnore": 0, "Radius": 2.5, "RadiusConstraintEnabled": true}},
        {"handle": 2, "type": "FitEllipse", "properties": {
            "PointsCount": 0, "NumToIgnore": 2, "Rotation": 4.0, "RotationConstraintEnabled": 0}},
        {"handle": 3, "type": "FitLine", "properties": {"PointsCount": 1, "Points0.X": 1, "NumToIgnore": 0}},
        {"handle": 4, "type": "FitLine", "properties": {"PointsCount": 0, "NumToIgnore": null}}]})");
    const auto table = ConversionContext::FromJson(json);
    const auto circle = std::dynamic_pointer_cast<FitCircle>(Orv9xConverter::Orv9xConvert(1, table.get()));
    ASSERT_TRUE(circle);
    EXPECT_EQ(circle->NumPoints(), 3);
    EXPECT_EQ(circle->GetX(0), 1.5);
    EXPECT_EQ(circle->GetY(2), 6.5);
    EXPECT_EQ(circle->RadiusConstraint(), 2.5);
    EXPECT_TRUE(circle->RadiusConstraintEnabled());

    const auto ellipse = std::dynamic_pointer_cast<FitEllipse>(Orv9xConverter::Orv9xConvert(2, table.get()));
    ASSERT_TRUE(ellipse);
    EXPECT_EQ(ellipse->NumToIgnore(), 2);
    EXPECT_DOUBLE_EQ(ellipse->RotationConstraint(), 4.0 - 2 * pi);
    EXPECT_FALSE(ellipse->RotationConstraintEnabled());

    using testing::StrEq, testing::ThrowsMessage;
    EXPECT_THAT([&] { Orv9xConverter::Orv9xConvert(3, table.get()); },
                ThrowsMessage<std::out_of_range>(StrEq("invalid map<K, T> key")));
    EXPECT_THAT([&] { Orv9xConverter::Orv9xConvert(4, table.get()); },
                ThrowsMessage<std::runtime_error>(StrEq("Bad Fetch, null variant")));
    EXPECT_THROW(Orv9xConverter::Orv9xConvert(9, table.get()), std::out_of_range);
}

TEST(FitRegistration, IdentityFlagsAndEnumerations)
{
    const std::pair<rttr::type, const char*> types[] = {
        {rttr::type::get<FitPrivate::ReadOnlyPoints>(), "Ostrel::Vision::Geometry::Private::ReadOnlyPoints"},
        {rttr::type::get<FitPrivate::ReadWritePoints>(),
         "Ostrel::Vision::Geometry::Private::ReadWritePoints"},
        {rttr::type::get<FitImpl::FitBase>(), "Ostrel::Vision::Geometry::Implementation::FitBase"},
        {rttr::type::get<FitEllipse>(), "Ostrel::Vision::Geometry::FitEllipse"},
        {rttr::type::get<FitImpl::FitResultBase>(),
         "Ostrel::Vision::Geometry::Implementation::FitResultBase"},
        {rttr::type::get<FitLineResult>(), "Ostrel::Vision::Geometry::FitLineResult"},
    };
    for (const auto& [type, name] : types)
        EXPECT_EQ(type.get_name(), name);
    std::shared_ptr<FitImpl::FitBase> fit = Quill::Create<FitCircle>();
    EXPECT_EQ(rttr::type::get(*fit), rttr::type::get<FitCircle>());
    EXPECT_TRUE(rttr::type::get(*fit).get_property("RadiusConstraint").is_valid());

    EXPECT_EQ(FitImpl::FitBase::SfNumToIgnore, 0x8u);
    EXPECT_EQ(FitImpl::FitBase::sfNextSf_, 0x10u);
    EXPECT_EQ(FitLine::sf0_, FitLine::sfNextSf_);
    EXPECT_EQ(FitCircle::SfRadiusConstraint, 0x20u);
    EXPECT_EQ(FitEllipse::SfRotationConstraintEnabled, 0x10u);
    EXPECT_EQ(FitEllipse::sfNextSf_, 0x40u);

    const auto graphics = rttr::type::get<FitEllipseResultGraphicConstants>().get_enumeration();
    EXPECT_EQ(static_cast<std::uint32_t>(
                  graphics.name_to_value("Center").get_value<FitEllipseResultGraphicConstants>()),
              0x10u);

    // A result lists its shape getter, then its points through four read-only getters.
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
