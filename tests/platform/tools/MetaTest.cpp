#include <gtest/gtest.h>

#include <Ostrel/Vision/Meta/FakePropertyMeta.h>

#include "SampleTool.h"

using namespace ToolsTest;

TEST(FakeProperties, NoArgMethodsComeInNameOrderFollowedByIndexedOnes)
{
    auto points = Quill::Create<Points>(std::vector<double>{1.0, 2.0});
    const auto fakes = points->GetFakeProperties();
    std::vector<std::string> names;
    for (const auto& fake : fakes)
        names.push_back(fake->DisplayName());
    EXPECT_EQ(names, (std::vector<std::string>{"Describe()", "ToString()", "GetX(0)", "GetX(1)", "GetUsed(0)",
                                               "GetUsed(1)"}));
    const auto& x1 = fakes[3];
    EXPECT_EQ(x1->SetterName(), "SetX");
    EXPECT_EQ(x1->ValueType(), rttr::type::get<double>());
    x1->Set(*points, 8);
    EXPECT_EQ(x1->Get(*points).get_value<double>(), 8.0);
    EXPECT_EQ(x1->WithIndex(0)->Get(*points).get_value<double>(), 1.0);
    EXPECT_EQ(fakes[0]->Get(*points).get_value<std::string>(), "points");
    EXPECT_THROW(fakes[0]->Set(*points, std::string("x")), InvalidOperationException);  // read-only
    EXPECT_THROW(fakes[0]->WithIndex(2), InvalidOperationException);
    EXPECT_THROW(fakes[4]->Set(*points, true), InvalidOperationException);
    EXPECT_THROW(x1->Set(*points, std::string("x")), ArgumentException);
    EXPECT_THROW(x1->Get(*Quill::Create<LineSegment>()),
                 InvalidOperationException); // object of another class

    Meta::FakePropertyList list;
    EXPECT_THROW(Meta::AppendIndexedFakeProperties(list, rttr::type::get<Points>(), "GetY", "", 2),
                 InvalidOperationException);
    EXPECT_THROW(Meta::AppendIndexedFakeProperties(list, rttr::type::get<Points>(), "GetX", "Describe", 2),
                 InvalidOperationException);
    EXPECT_THROW(Quill::Create<Meta::FakePropertyMeta>(rttr::type::get<Points>().get_method("GetX"), std::nullopt, -1),
                 ArgumentException);  // GetX takes an index
}
