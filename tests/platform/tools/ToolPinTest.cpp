#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/ToolPin.h>

#include "SampleTool.h"

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

// The message of the exception of type E that `action` throws.
template <class E, class F>
std::string MessageOf(F action)
{
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "expected an exception";
    return {};
}

} // namespace

TEST(ToolPinPath, EachStepFormReads)
{
    auto tool = Quill::Create<SampleTool>();
    tool->setStartX(3.0);
    EXPECT_EQ(Read(tool, "StartX").get_value<double>(), 3.0);
    EXPECT_EQ(Read(tool, "Distance").get_value<double>(), 6.0);
    EXPECT_EQ(Read(tool, "Segment.StartX").get_value<double>(), 1.5);
    EXPECT_EQ(Read(tool, "GetOutputSegment()").get_value<std::shared_ptr<Segment>>(), tool->Segment());
    EXPECT_EQ(Read(tool, "GetOutputSegment().CreateLine().Rotation").get_value<double>(), 0.25);
    EXPECT_EQ(Read(tool, "RunParams.SetX(1)").get_value<double>(), 20.0);
    EXPECT_EQ(Read(tool, "RunParams.GetX(0)").get_value<double>(), 10.0);
    EXPECT_EQ(Read(tool, "RunParams.GetUsed(1)").get_value<bool>(), false);
    EXPECT_EQ(Read(tool, "RunParams.Describe()").get_value<std::string>(), "points");
    // Names and run status of the framework base resolve on the most derived type too.
    tool->setName("T1");
    EXPECT_EQ(Read(tool, "Name").get_value<std::string>(), "T1");
    EXPECT_EQ(Read(tool, "RunStatus.Result").get_value<ToolResultConstants>(), ToolResultConstants::Accept);
    // A pin is parsed once and read many times, also on tools of another type.
    auto pin = Quill::Create<ToolPin>("Segment.StartX");
    tool->Segment()->setStartX(-2.0);
    EXPECT_EQ(pin->GetValue(tool).get_value<double>(), -2.0);
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
    EXPECT_EQ(tool->Segment()->StartX(), 2.5);
    Write(tool, "GetOutputSegment().Id", 9);
    EXPECT_EQ(tool->Segment()->Id(), 9);
    Write(tool, "RunParams.SetX(1)", 5);
    EXPECT_EQ(tool->RunParams()->GetX(1), 5.0);
    Write(tool, "RunParams.GetX(0)", -1.0);
    EXPECT_EQ(tool->RunParams()->GetX(0), -1.0);
    auto other = Quill::Create<Segment>();
    Write(tool, "Segment", other);
    EXPECT_EQ(tool->Segment(), other);
    Write(tool, "Segment", std::shared_ptr<Segment>());
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
        const std::string message =
            MessageOf<ArgumentException>([&, path = path] { Quill::Create<ToolPin>(path); });
        EXPECT_NE(message.find("\"" + path + "\""), std::string::npos) << message;
        EXPECT_NE(message.find(problem), std::string::npos) << message;
    }
}

TEST(ToolPinPath, ResolutionFailuresNameTheStep)
{
    auto tool = Quill::Create<SampleTool>();
    auto message = MessageOf<ArgumentException>([&] { Read(tool, "Segment.EndX"); });
    EXPECT_NE(message.find("step \"EndX\""), std::string::npos) << message;
    EXPECT_NE(message.find("ToolsTest::Segment has no property \"EndX\""), std::string::npos) << message;
    message = MessageOf<ArgumentException>([&] { Read(tool, "GetOutputSegment"); });
    EXPECT_NE(message.find("call it with \"()\""), std::string::npos) << message;
    message = MessageOf<ArgumentException>([&] { Read(tool, "Segment.Rotate()"); });
    EXPECT_NE(message.find("no method \"Rotate\""), std::string::npos) << message;
    message = MessageOf<ArgumentException>([&] { Read(tool, "Segment.GetX(0)"); });
    EXPECT_NE(message.find("no indexed property \"GetX\""), std::string::npos) << message;
    message = MessageOf<InvalidOperationException>([&] { Read(tool, "Segment.GetNothing().StartX"); });
    EXPECT_NE(message.find("step \"GetNothing()\": is null"), std::string::npos) << message;
    tool->setSegment(nullptr);
    message = MessageOf<InvalidOperationException>([&] { Write(tool, "Segment.StartX", 1.0); });
    EXPECT_NE(message.find("Pin path \"Segment.StartX\", step \"Segment\""), std::string::npos) << message;
    EXPECT_THROW(Read(nullptr, "StartX"), ArgumentNullException);
    // An index the object does not hold is reported by the object itself.
    EXPECT_THROW(Read(tool, "RunParams.GetX(5)"), ArgumentOutOfRangeException);
    EXPECT_THROW(Write(tool, "RunParams.SetX(2)", 1.0), ArgumentOutOfRangeException);
}

TEST(ToolPinPath, WritesThatCannotTakeEffectAreRefused)
{
    auto tool = Quill::Create<SampleTool>();
    auto message = MessageOf<InvalidOperationException>([&] { Write(tool, "Distance", 1.0); });
    EXPECT_NE(message.find("is read-only"), std::string::npos) << message;
    message = MessageOf<InvalidOperationException>([&] { Write(tool, "GetOutputSegment()", tool->Segment()); });
    EXPECT_NE(message.find("method call cannot be written"), std::string::npos) << message;
    message = MessageOf<InvalidOperationException>([&] { Write(tool, "RunParams.GetUsed(0)", true); });
    EXPECT_NE(message.find("GetUsed(0)"), std::string::npos) << message;
    message = MessageOf<InvalidOperationException>([&] { Write(tool, "RunStatus.Message", std::string("x")); });
    EXPECT_NE(message.find("yields a copy"), std::string::npos) << message;
    message = MessageOf<ArgumentException>([&] { Write(tool, "StartX", std::string("far")); });
    EXPECT_NE(message.find("cannot be written to a property of type double"), std::string::npos) << message;
    EXPECT_THROW(Write(tool, "Count", 2.5), ArgumentException);
    EXPECT_THROW(Write(tool, "Segment", Quill::Create<Line>(0.0)), ArgumentException);
    EXPECT_THROW(Write(tool, "RunParams.SetX(0)", std::string("left")), ArgumentException);
    EXPECT_EQ(tool->StartX(), 0.0);
    EXPECT_EQ(tool->Count(), 0);
}
