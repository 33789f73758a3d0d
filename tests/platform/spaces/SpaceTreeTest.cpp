#include <cmath>
#include <functional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/SpaceNameUtils.h>

#include "platform/spaces/SpacesTestUtils.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace SpacesTest;
using ::testing::AllOf;
using ::testing::HasSubstr;

TEST(SpaceNameUtils, CheckSpaceNameSyntaxNamesTheNameAndTheFault)
{
    for (const char* good : {"#", "#/Fixture", "#/Fixture/Plate_2", "#/a-b/c.d"})
        EXPECT_NO_THROW(SpaceNameUtils::CheckSpaceNameSyntax(good, false)) << good;
    for (const char* relative : {".", "./Sub", "./a/b", "$", "$/Sub", "Plate", "Fixture/Plate"}) {
        EXPECT_NO_THROW(SpaceNameUtils::CheckSpaceNameSyntax(relative, true)) << relative;
        EXPECT_THROW(SpaceNameUtils::CheckSpaceNameSyntax(relative, false), ArgumentException) << relative;
    }
    const std::pair<const char*, const char*> bad[] = {
        {"#//a", "empty element"},   {"#/a/", "ends with \"/\""},       {"/a", "begins with \"/\""},
        {"#a", "followed by \"/\""}, {"a/#/b", "may only open a name"}, {"a b", "character with code 32"},
        {"a*b", "character \"*\""},  {"a/../b", "begins with \".\""},   {"./", "ends with \"/\""},
        {"$$", "followed by \"/\""}, {"..", "followed by \"/\""},
    };
    for (const auto& [name, fault] : bad)
        EXPECT_THAT([&] { SpaceNameUtils::CheckSpaceNameSyntax(name, true); },
                    ThrowsMessage<ArgumentException>(
                        AllOf(HasSubstr(std::string("\"") + name + "\""), HasSubstr(fault))))
            << name;
    EXPECT_THAT([] { SpaceNameUtils::CheckSpaceNameSyntax(std::string(), true); },
                ThrowsMessage<ArgumentException>(HasSubstr("empty")));
    EXPECT_THROW(SpaceNameUtils::CheckSpaceNameSyntax(static_cast<const char*>(nullptr), true), ArgumentNullException);
}

TEST(CoordinateSpaceTree, LookUpAndResolveNames)
{
    SampleTree s;
    EXPECT_EQ(s.Tree->SpaceNames(),
              (std::vector<std::string>{"#", "#/Fixture", "#/Fixture/Plate", "#/Stage", "#/Stage/Plate",
                                        "#/Stage/Tool"}));
    struct Case {
        const char* imageSpace;
        const char* name;
        const char* resolved;
    };
    const Case cases[] = {
        {"#", "#", "#"},
        {"#", ".", "#"},
        {"#/Stage", ".", "#/Stage"},
        {"Stage", "./Tool", "#/Stage/Tool"},
        {"#/Stage", "./Plate", "#/Stage/Plate"},
        {"#", "./Stage/Plate", "#/Stage/Plate"},
        {"#/Fixture", "./Tool", ""},          // not below the image's space
        {"#/Nowhere", ".", ""},               // the image's space itself is unknown
        {"Plate", ".", ""},                   // ... or ambiguous
        {"#", "Tool", "#/Stage/Tool"},
        {"#", "Fixture/Plate", "#/Fixture/Plate"},
        {"#", "#/Stage/Plate", "#/Stage/Plate"},
        {"#", "Plate", ""},                   // ambiguous
        {"#", "Nowhere", ""},
        {"#", "#/Plate", ""},
        {"#", "#//Plate", ""},                // malformed
        {"#", "$", "$"},                      // left to the graphic's holder
        {"#", "$/Sub", "$/Sub"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.Tree->ResolvePartialName(c.imageSpace, c.name), c.resolved) << c.imageSpace << " " << c.name;

    EXPECT_EQ(s.Tree->LookUpName("Tool"), "#/Stage/Tool");
    EXPECT_EQ(s.Tree->LookUpName("#/Stage/Tool", false), "Tool");
    EXPECT_EQ(s.Tree->LookUpName("#/Stage/Plate", false), "Stage/Plate");
    EXPECT_EQ(s.Tree->LookUpName("#", false), "#");
    for (const char* none : {"Plate", "Nowhere", ".", "$", "", "#/"})
        EXPECT_EQ(s.Tree->LookUpName(none), "") << none;
}

TEST(CoordinateSpaceTree, GetTransformAcrossBranchesEqualsHandComposition)
{
    SampleTree s;
    // Fixture/Plate -> Stage/Tool: up through the lens and Fixture, down through Stage and Tool.
    const auto t = s.Tree->GetTransform("#/Stage/Tool", "Fixture/Plate");
    const auto lensInverse = s.Lens->Inverse();
    const Transform2DLinear fixtureInverse = s.FixtureT.InverseLinear();
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {123.5, -40.25}, {600.0, 400.0}}) {
        double hx, hy, tx, ty;
        lensInverse->MapPoint(x, y, hx, hy);
        fixtureInverse.MapPoint(hx, hy, hx, hy);
        s.StageT.MapPoint(hx, hy, hx, hy);
        s.ToolT.MapPoint(hx, hy, hx, hy);
        t->MapPoint(x, y, tx, ty);
        EXPECT_NEAR(tx, hx, 1e-12 * std::hypot(hx, hy));
        EXPECT_NEAR(ty, hy, 1e-12 * std::hypot(hx, hy));
    }

    // An all-linear path is one affine map: Stage/Plate -> Tool = ToolT ∘ StagePlateT⁻¹.
    const auto linear = std::dynamic_pointer_cast<Transform2DLinear>(s.Tree->GetTransform("Tool", "Stage/Plate"));
    ASSERT_TRUE(linear);
    const Transform2DLinear expected = s.ToolT * s.StagePlateT.InverseLinear();
    for (double (Transform2DLinear::*entry)() const :
         {&Transform2DLinear::A, &Transform2DLinear::B, &Transform2DLinear::C, &Transform2DLinear::D,
          &Transform2DLinear::TX, &Transform2DLinear::TY})
        EXPECT_NEAR(((*linear).*entry)(), (expected.*entry)(), 1e-12);

    const auto same = std::dynamic_pointer_cast<Transform2DLinear>(s.Tree->GetTransform("Tool", "#/Stage/Tool"));
    ASSERT_TRUE(same);
    EXPECT_EQ(same->A(), 1.0);
    EXPECT_EQ(same->TX(), 0.0);
}

// Every refusal names its fault, and a failed AddSpace adds nothing.
TEST(CoordinateSpaceTree, AddSpaceAndGetTransformRejectWhatTheyCannotResolve)
{
    SampleTree s;
    auto& tree = *s.Tree;
    const auto identity = std::make_shared<Transform2DLinear>();
    tree.AddSpace("#/Stage", "Flat", Transform2DLinear(1.0, 2.0, 2.0, 4.0, 0.0, 0.0));
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { tree.AddSpace("#", "Fixture", identity); }, "\"#/Fixture\" already exists"},
        {[&] { tree.AddSpace("#/Nowhere", "X", identity); }, "no space named \"#/Nowhere\""},
        {[&] { tree.AddSpace("Plate", "X", identity); }, "ambiguous"},
        {[&] { tree.AddSpace("#", "a/b", identity); }, "single element"},
        {[&] { tree.AddSpace("#", "", identity); }, ""},
        {[&] { tree.AddSpace("#", "X", Transform2DLinear(1, 0, 0, 1, NAN, 0)); }, "not finite"},
        // Finite entries whose product overflows.
        {[&] { tree.AddSpace("#", "X", Transform2DLinear(1e200, 1, 0, 1e200, 0, 0)); }, "determinant"},
        {[&] { tree.GetTransform("#", "$"); }, "parent graphic"},
        {[&] { tree.GetTransform(".", "#"); }, "relative to an image's selected space"},
        {[&] { tree.GetTransform("#", "Plate"); }, "\"#/Fixture/Plate\", \"#/Stage/Plate\""},
        {[&] { tree.GetTransform("#", "Nowhere"); }, "no space named \"Nowhere\""},
    };
    for (const auto& [call, fault] : cases)
        EXPECT_THAT(call, ThrowsMessage<ArgumentException>(HasSubstr(fault))) << fault;
    EXPECT_THROW(tree.AddSpace("#", "X", std::shared_ptr<const Transform2D>()), ArgumentNullException);
    EXPECT_EQ(tree.Count(), 7);

    // A singular transform maps into its space, but nothing maps out of it.
    EXPECT_NO_THROW(tree.GetTransform("#/Stage/Flat", "Tool"));
    EXPECT_THAT([&] { tree.GetTransform("Tool", "Flat"); },
                ThrowsMessage<ArgumentException>(
                    AllOf(HasSubstr("\"#/Stage/Flat\" cannot be inverted"), HasSubstr("singular"))));
}
