#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Meta/FakePropertyMeta.h>
#include <Ostrel/Vision/Meta/MethodMeta.h>

#include "SampleTool.h"

using namespace ToolsTest;

TEST(FakeProperties, NoArgMethodsComeInNameOrderFollowedByIndexedOnes)
{
    auto points = Quill::Create<Points>(std::vector<double>{1.0, 2.0});
    std::vector<std::string> names;
    for (const auto& fake : points->GetFakeProperties())
        names.push_back(fake->DisplayName());
    EXPECT_EQ(names, (std::vector<std::string>{"Describe()", "ToString()", "GetX(0)", "GetX(1)", "GetUsed(0)",
                                               "GetUsed(1)"}));

    const auto fakes = points->GetFakeProperties();
    const auto& x1 = fakes[3];
    EXPECT_EQ(x1->GetterName(), "GetX");
    EXPECT_EQ(x1->SetterName(), "SetX");
    EXPECT_EQ(x1->Index(), 1);
    EXPECT_EQ(x1->ValueType(), rttr::type::get<double>());
    EXPECT_EQ(x1->Get(*points).get_value<double>(), 2.0);
    x1->Set(*points, 8);
    EXPECT_EQ(points->GetX(1), 8.0);
    EXPECT_EQ(x1->WithIndex(0)->Get(*points).get_value<double>(), 1.0);

    const auto& describe = fakes[0];
    EXPECT_TRUE(describe->IsReadOnly());
    EXPECT_EQ(describe->Index(), -1);
    EXPECT_EQ(describe->Get(*points).get_value<std::string>(), "points");
    EXPECT_THROW(describe->Set(*points, std::string("x")), InvalidOperationException);
    EXPECT_THROW(describe->WithIndex(2), InvalidOperationException);
    EXPECT_THROW(fakes[4]->Set(*points, true), InvalidOperationException);
    EXPECT_THROW(x1->Set(*points, std::string("x")), ArgumentException);

    // Read from an object of another class: a clear error, not a crash.
    auto segment = Quill::Create<Segment>();
    EXPECT_THROW(x1->Get(*segment), InvalidOperationException);
}

TEST(FakeProperties, IndexedPairsMustBeRegistered)
{
    Meta::FakePropertyList list;
    const auto type = rttr::type::get<Points>();
    EXPECT_THROW(Meta::AppendIndexedFakeProperties(list, type, "GetY", "SetY", 2), InvalidOperationException);
    EXPECT_THROW(Meta::AppendIndexedFakeProperties(list, type, "GetX", "Describe", 2), InvalidOperationException);
    Meta::AppendIndexedFakeProperties(list, type, "GetX", "", 0);
    EXPECT_TRUE(list.empty());
}

TEST(MethodMeta, DescribesAndInvokesNoArgMethods)
{
    const auto methods = Meta::GetNoArgMethods(rttr::type::get<Segment>());
    std::vector<std::string> names;
    for (const auto& method : methods)
        names.push_back(method->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"CreateLine", "GetNothing", "ToString"}));
    auto segment = Quill::Create<Segment>();
    EXPECT_EQ(methods[0]->ReturnType(), rttr::type::get<std::shared_ptr<Line>>());
    EXPECT_EQ(methods[0]->Invoke(*segment).get_value<std::shared_ptr<Line>>()->Rotation(), 0.25);
    EXPECT_EQ(methods[2]->Invoke(*segment).get_value<std::string>(), "ToolsTest::Segment");
    EXPECT_THROW(Quill::Create<Meta::MethodMeta>(rttr::type::get<Points>().get_method("GetX")), ArgumentException);
}
