#include <chrono>
#include <stdexcept>

#include <gtest/gtest.h>

#include <Ostrel/Quill/ChangedSignal.h>
#include <Ostrel/Vision/Archive.h>

#include "SampleTool.h"
#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace ToolsTest;

namespace {

template <class E>
void ExpectRethrows(const Quill::IException& e)
{
    EXPECT_THROW(e.ThrowException(), E);
}

} // namespace

TEST(ToolRun, EscapingExceptionsBecomeTheRunStatusAndRethrowWithTheirType)
{
    struct Case {
        std::function<void()> thrower;
        std::string message;
        void (*rethrows)(const Quill::IException&);
    };
    const std::vector<Case> cases{
        {[] { throw ArgumentOutOfRangeException("index 7"); }, "index 7", ExpectRethrows<ArgumentOutOfRangeException>},
        {[] { throw ToolNoResultException("no result"); }, "no result", ExpectRethrows<ToolNoResultException>},
        {[] { throw std::runtime_error("disk unplugged"); }, "disk unplugged", ExpectRethrows<InternalErrorException>},
        {[] { throw 42; }, "The tool failed with an exception of an unknown type.",
         ExpectRethrows<InternalErrorException>},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        auto tool = Quill::Create<SampleTool>();
        EventRecorder log(*tool);
        tool->behaviour = [&](std::string&) -> ToolResultConstants { c.thrower(); return ToolResultConstants::Accept; };
        ASSERT_NO_THROW(tool->Run());
        const ToolRunStatus status = tool->RunStatus();
        EXPECT_EQ(status.Result(), ToolResultConstants::Error);
        EXPECT_EQ(status.Message(), c.message);
        ASSERT_TRUE(status.Exception());
        c.rethrows(*status.Exception());
        EXPECT_GE(status.ProcessingTime(), 0.0);
        EXPECT_EQ(tool->trace, (std::vector<std::string>{"running", "ran"}));
        EXPECT_EQ(log.flags, (std::vector<std::uint64_t>{Implementation::ToolBase::SfRunStatus}));
    }
}

TEST(ToolRun, SuccessClearsTheFailureAndKeepsTheToolsOwnMessage)
{
    auto tool = Quill::Create<SampleTool>();
    tool->behaviour = [](std::string&) -> ToolResultConstants { throw ShapeException("degenerate"); };
    tool->Run();
    const ToolRunStatus failed = tool->RunStatus();

    tool->behaviour = [](std::string& message) { message = "near the limit"; return ToolResultConstants::Warning; };
    tool->Run();
    EXPECT_EQ(tool->RunStatus().Result(), ToolResultConstants::Warning);
    EXPECT_EQ(tool->RunStatus().Message(), "near the limit");
    EXPECT_FALSE(tool->RunStatus().Exception());

    tool->behaviour = [](std::string&) { return ToolResultConstants::Accept; };
    tool->Run();
    EXPECT_EQ(tool->RunStatus().Result(), ToolResultConstants::Accept);
    EXPECT_TRUE(tool->RunStatus().Message().empty());
    EXPECT_FALSE(tool->RunStatus().Exception());
    EXPECT_EQ(failed.Message(), "degenerate");  // a status taken earlier is a snapshot
    const auto names = rttr::type::get<ToolResultConstants>().get_enumeration();
    EXPECT_EQ(names.value_to_name(ToolResultConstants::Reject), "Reject");
}

// The processing time stays the time InternalRun took, also once runs are timed by the
// processor's counter (its rate learnt over the first runs, 20 ms apart).
TEST(ToolRun, ProcessingTimeIsTheTimeOfTheRun)
{
    auto tool = Quill::Create<SampleTool>();
    auto busyFor = [](double seconds) {
        return [seconds](std::string&) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
            while (std::chrono::steady_clock::now() < end) {
            }
            return ToolResultConstants::Accept;
        };
    };
    tool->behaviour = busyFor(0.025);
    for (int run = 0; run < 3; ++run) {
        tool->Run();
        EXPECT_GE(tool->RunStatus().ProcessingTime(), 0.024);  // the learnt rate is close, not exact
    }
    tool->behaviour = busyFor(0.005);
    tool->Run();
    EXPECT_GE(tool->RunStatus().ProcessingTime(), 0.004);
    EXPECT_LT(tool->RunStatus().ProcessingTime(), 0.5);  // a generous bound: the machine may be busy
}

// The setters' flags and the defaults are checked for every geometry tool; what is the
// base's own is the retention mask, which follows the diagnostic mask and may be set alone.
TEST(ToolRecordSwitches, RetentionFollowsTheDiagnosticMaskAndMaySetAlone)
{
    auto tool = Quill::Create<SampleTool>();
    EventRecorder log(*tool);
    tool->setImageRetentionMask(0x1);
    tool->setImageRetentionMask(0x1);
    EXPECT_EQ(tool->LastRunRecordDiagEnable(), 0x71u);
    tool->setLastRunRecordDiagEnable(0x5);
    EXPECT_EQ(tool->ImageRetentionMask(), 0x5u);
    EXPECT_EQ(log.flags, (std::vector<std::uint64_t>{0x20, 0x100}));
}

TEST(ToolRecords, TreesAreOrderedAndReachableByKeyAndConstructorsRunInOrder)
{
    auto tool = Quill::Create<SampleTool>();
    tool->setName("Sample1");
    auto current = tool->CreateCurrentRecord();
    EXPECT_EQ(current->Key(), "Sample1");
    const auto segment = current->SubRecords()[0];
    EXPECT_EQ(segment, current->SubRecords()["Segment"]);
    EXPECT_EQ(segment->ValueAs<LineSegment>(), tool->segment);
    EXPECT_EQ(segment->ValueType(), rttr::type::get<LineSegment>());
    EXPECT_FALSE(current->SubRecords().Find("Missing"));
    EXPECT_THROW(current->SubRecords()["Missing"], ArgumentException);
    EXPECT_THROW(current->SubRecords()[1], ArgumentOutOfRangeException);
    tool->setCurrentRecordEnable(0x2);
    EXPECT_EQ(tool->CreateCurrentRecord()->SubRecords().Count(), 0u);

    auto lastRun = tool->CreateLastRunRecord();
    lastRun->SubRecords().Add(Quill::Create<Record>("Arrow", rttr::type::get<void>(),
                                                    RecordUsageConstants::LastRunResult, false, nullptr, "Arrow"));
    EXPECT_EQ(Keys(*lastRun), (std::vector<std::string>{"Points", "Arrow"}));
    const auto& points = lastRun->SubRecords()["Points"];
    EXPECT_EQ(tool->runParams->calls,
              (std::vector<std::string>{"content Points 113", "annotation Points 113", "subrecords Points 113"}));
    EXPECT_EQ(points->Constructor(), tool->runParams);
    points->Construct(nullptr, 0x4);  // an empty constructor builds nothing
    EXPECT_EQ(points->ConstructorMask(), 0x4u);
    EXPECT_EQ(tool->runParams->calls.size(), 3u);
}

TEST(ToolPins, CollectionsKeepOrderRejectDuplicatesAndReportAdditions)
{
    auto tool = Quill::Create<SampleTool>();
    EXPECT_EQ(PinPaths(tool->Inputs()),
              (std::vector<std::string>{"StartX", "Segment.StartX", "RunParams.SetX(0)"}));
    EXPECT_EQ(tool->Outputs()[1]->Path(), "GetOutputSegment().CreateLine()");
    EXPECT_EQ(tool->Outputs()["Distance"], tool->Outputs()[0]);

    EventRecorder log(*tool);
    EXPECT_THROW(tool->Inputs().Add("StartX"), ArgumentException);
    EXPECT_THROW(tool->Inputs().Add(std::shared_ptr<ToolPin>()), ArgumentNullException);
    tool->Outputs().Add("Segment.StartX");
    EXPECT_EQ(tool->Outputs().Count(), 3u);
    EXPECT_EQ(log.flags, (std::vector<std::uint64_t>{Implementation::ToolBase::SfPins}));
}

// Name and record switches round-trip for every geometry tool; Enabled and a retention
// mask apart from the diagnostic mask only here.
TEST(ToolArchive, ToolBasePartRoundTrips)
{
    auto tool = Quill::Create<SampleTool>();
    tool->setEnabled(false);
    tool->setLastRunRecordDiagEnable(0x31);
    tool->setImageRetentionMask(0x5);
    tool->setStartX(4.5);
    auto loaded = LoadFromString<SampleTool>(SaveToString(tool, ArchiveOptions::None));
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded->Enabled());
    EXPECT_EQ(loaded->ImageRetentionMask(), 0x5u);
    EXPECT_EQ(loaded->LastRunRecordDiagEnable(), 0x31u);
    EXPECT_EQ(loaded->StartX(), 4.5);
}
