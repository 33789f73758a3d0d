#include <cmath>

#include <gtest/gtest.h>

#include <Ostrel/Vision/ToolPin.h>

#include "SampleTool.h"
#include "common/ToolTestSupport.h"

using namespace ToolsTest;

namespace {

rttr::variant Read(const std::shared_ptr<SampleTool>& tool, const std::string& path)
{
    return Quill::Create<ToolPin>(path)->GetValue(tool);
}

void Write(const std::shared_ptr<SampleTool>& tool, const std::string& path, const rttr::variant& value)
{
    Quill::Create<ToolPin>(path)->SetValue(tool, value);
}

} // namespace

TEST(ToolPinPath, EachStepFormReads)
{
    auto tool = Quill::Create<SampleTool>();
    tool->setStartX(3.0);
    tool->setName("T1");
    EXPECT_EQ(Read(tool, "StartX").get_value<double>(), 3.0);
    EXPECT_EQ(Read(tool, "Distance").get_value<double>(), 6.0);
    EXPECT_EQ(Read(tool, "Name").get_value<std::string>(), "T1");  // registered on a framework base
    EXPECT_EQ(Read(tool, "Segment.StartX").get_value<double>(), 10.0);
    EXPECT_EQ(Read(tool, "GetOutputSegment()").get_value<std::shared_ptr<LineSegment>>(), tool->segment);
    EXPECT_EQ(Read(tool, "GetOutputSegment().CreateLine().Rotation").get_value<double>(),
              std::atan2(90.0, 90.0));
    EXPECT_EQ(Read(tool, "RunParams.SetX(1)").get_value<double>(), 20.0);
    EXPECT_EQ(Read(tool, "RunParams.GetX(0)").get_value<double>(), 10.0);
    EXPECT_EQ(Read(tool, "RunParams.Describe()").get_value<std::string>(), "points");
    EXPECT_EQ(Read(tool, "RunStatus.Result").get_value<ToolResultConstants>(), ToolResultConstants::Accept);
    auto pin = Quill::Create<ToolPin>("Segment.StartX");  // parsed once, read many times
    tool->segment->setStartX(-2.0);
    EXPECT_EQ(pin->GetValue(tool).get_value<double>(), -2.0);
}

TEST(ToolPinPath, WritesTheLastStepConvertingTheValue)
{
    auto tool = Quill::Create<SampleTool>();
    Write(tool, "StartX", 7);  // int into double
    EXPECT_EQ(tool->StartX(), 7.0);
    Write(tool, "Count", 4.0);  // whole double into int
    EXPECT_EQ(tool->Count(), 4);
    Write(tool, "Segment.StartX", 2.5);
    EXPECT_EQ(tool->segment->StartX(), 2.5);
    Write(tool, "GetOutputSegment().StartX", 9);
    EXPECT_EQ(tool->segment->StartX(), 9.0);
    Write(tool, "RunParams.SetX(1)", 5);
    Write(tool, "RunParams.GetX(0)", -1.0);
    EXPECT_EQ(tool->runParams->xs, (std::vector<double>{-1.0, 5.0}));
    auto other = Quill::Create<LineSegment>();
    Write(tool, "Segment", other);
    EXPECT_EQ(tool->Segment(), other);
    Write(tool, "Attachment", other);  // to a base class, through the registered converter
    EXPECT_EQ(tool->Attachment(), other);
    Write(tool, "Segment", std::shared_ptr<LineSegment>());
    EXPECT_FALSE(tool->Segment());
}

TEST(ToolPinPath, BadSyntaxIsRejectedAtConstructionNamingPathAndStep)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "the path is empty"},
        {"A..B", "step 2 is empty"},
        {"A.", "step 2 is empty"},
        {".A", "step 1 is empty"},
        {"X(", "the '(' of step 1 is not closed"},
        {"RunParams.SetX(a)", "the index \"a\" of step 2"},
        {"SetX(-1)", "the index \"-1\" of step 1"},
        {"SetX(1.5)", "the index \"1.5\" of step 1"},
        {"SetX(1)Y", "unexpected 'Y' after step 1"},
        {"Start X", "unexpected ' ' after step 1"},
        {"9Lives", "step 1 starts with '9'"},
    };
    for (const auto& [path, problem] : cases) {
        const auto create = [&path] { Quill::Create<ToolPin>(path); };
        EXPECT_THAT(create, ThrowsWith<ArgumentException>("\"" + path + "\""));
        EXPECT_THAT(create, ThrowsWith<ArgumentException>(problem));
    }
}

TEST(ToolPinPath, ResolutionFailuresNameTheStep)
{
    auto tool = Quill::Create<SampleTool>();
    EXPECT_THAT([&] { Read(tool, "Segment.Width"); },
                ThrowsWith<ArgumentException>(
                    "step \"Width\": Ostrel::Vision::LineSegment has no property \"Width\""));
    EXPECT_THAT([&] { Read(tool, "GetOutputSegment"); },
                ThrowsWith<ArgumentException>("call it with \"()\""));
    EXPECT_THAT([&] { Read(tool, "Segment.Rotate()"); },
                ThrowsWith<ArgumentException>("no method \"Rotate\""));
    EXPECT_THAT([&] { Read(tool, "Segment.GetX(0)"); },
                ThrowsWith<ArgumentException>("no indexed property \"GetX\""));
    EXPECT_THAT([&] { Read(tool, "GetNothing().StartX"); },
                ThrowsWith<InvalidOperationException>("step \"GetNothing()\": is null"));
    tool->setSegment(nullptr);
    EXPECT_THAT(
        [&] { Write(tool, "Segment.StartX", 1.0); },
        ThrowsWith<InvalidOperationException>("Pin path \"Segment.StartX\", step \"Segment\": is null"));
    EXPECT_THROW(Read(nullptr, "StartX"), ArgumentNullException);
    // An index the object does not hold is reported by the object itself.
    EXPECT_THROW(Read(tool, "RunParams.GetX(5)"), ArgumentOutOfRangeException);
    EXPECT_THROW(Write(tool, "RunParams.SetX(2)", 1.0), ArgumentOutOfRangeException);
}

TEST(ToolPinPath, WritesThatCannotTakeEffectAreRefused)
{
    auto tool = Quill::Create<SampleTool>();
    EXPECT_THAT([&] { Write(tool, "Distance", 1.0); }, ThrowsWith<InvalidOperationException>("is read-only"));
    EXPECT_THAT([&] { Write(tool, "GetOutputSegment()", tool->segment); },
                ThrowsWith<InvalidOperationException>("method call cannot be written"));
    EXPECT_THAT([&] { Write(tool, "RunParams.GetUsed(0)", true); },
                ThrowsWith<InvalidOperationException>("GetUsed(0)"));
    EXPECT_THAT([&] { Write(tool, "RunStatus.Message", std::string("x")); },
                ThrowsWith<InvalidOperationException>("yields a copy"));
    EXPECT_THAT([&] { Write(tool, "StartX", std::string("far")); },
                ThrowsWith<ArgumentException>("cannot be written to a property of type double"));
    EXPECT_THROW(Write(tool, "Count", 2.5), ArgumentException);
    EXPECT_THROW(Write(tool, "Segment", Quill::Create<Line>()), ArgumentException);
    EXPECT_THAT([&] { Write(tool, "Attachment", std::shared_ptr<LineSegment>()); },
                ThrowsWith<ArgumentException>("a null"));
    EXPECT_THROW(Write(tool, "RunParams.SetX(0)", std::string("left")), ArgumentException);
    EXPECT_EQ(tool->StartX(), 0.0);
    EXPECT_EQ(tool->Count(), 0);
}
