#pragma once
// The frame every geometry tool shares (the run cycle through pins, the flags its setters,
// runs and drags raise, its records), as a typed test suite; defaults, pins and archives of
// every tool are checked by GeometrySweepTests. A family's test file gives a ToolTraits
// block per tool and instantiates the suite over its tools:
//     using FamilyTools = ::testing::Types<ToolA, ToolB>;
//     INSTANTIATE_TYPED_TEST_SUITE_P(Family, ToolFrame, FamilyTools);
#include <algorithm>

#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Image8Grey.h>

#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"
#include "geometry/ToolTable.h"

namespace ToolFrameTests {

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using Names = std::vector<std::string>;

// Per tool: the flags its outputs raise (cleared, then set by a run), the flags a drag of
// its first marker raises, the keys of its default last-run record, and inputs with one
// known value of its first output. Its default masks, output pins and image-copy bit come
// from its row in ToolTable.h.
template <class T>
struct ToolTraits;

template <class Traits>
struct Optional {
    static double Measure(const rttr::variant& value)
    {
        if constexpr (requires { Traits::Measure(value); })
            return Traits::Measure(value);
        else
            return value.convert<double>();
    }
    static constexpr bool recordsCopyInputs = [] {
        if constexpr (requires { Traits::recordsCopyInputs; })
            return Traits::recordsCopyInputs;
        else
            return true;
    }();
    static std::string NoImageMessage()
    {
        if constexpr (requires { Traits::noImageMessage; })
            return Traits::noImageMessage;
        else
            return std::string(Strings::E_OstOperator_NoInputImage);
    }
    static void ThrowNoImage(const ToolRunStatus& status)
    {
        if constexpr (requires { typename Traits::NoImageException; })
            EXPECT_THROW(status.Exception()->ThrowException(), typename Traits::NoImageException);
        else
            EXPECT_THROW(status.Exception()->ThrowException(), OperatorNoInputImageException);
    }
    static void ThrowUnresolvedSpace(const ToolRunStatus& status)
    {
        if constexpr (requires { typename Traits::UnresolvedSpaceException; })
            EXPECT_THROW(status.Exception()->ThrowException(), typename Traits::UnresolvedSpaceException);
        else
            EXPECT_THROW(status.Exception()->ThrowException(), InvalidOperationException);
    }
};

// Changes a tool's live graphic as a display would: a point marker by `drag`, any other
// graphic by a new tip text.
template <class Drag>
void ChangeLiveGraphic(const std::shared_ptr<Record>& row, Drag drag)
{
    if (const auto marker = row->ValueAs<PointMarker>())
        drag(*marker);
    else
        row->ValueAs<GraphicBase>()->setTipText("moved");
}

inline std::vector<std::uint64_t> NonZero(std::initializer_list<std::uint64_t> flags)
{
    std::vector<std::uint64_t> kept;
    for (auto flag : flags)
        if (flag)
            kept.push_back(flag);
    return kept;
}

template <class Traits>
Names ResultKeys()
{
    if constexpr (requires { Traits::ResultKeys(); })
        return Traits::ResultKeys();
    else
        return {"Arrow"};
}

template <class Tool>
class ToolFrame : public ::testing::Test {
protected:
    using Traits = ToolTraits<Tool>;
    using Option = Optional<Traits>;
    std::shared_ptr<Tool> tool = Quill::Create<Tool>();
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(64, 48);

    static const ToolTable::ToolRow& Row()
    {
        const std::string name = rttr::type::get<Tool>().get_name().to_string();
        return ToolTable::RowOf(name.substr(name.rfind("::") + 2));
    }
    // The value of the tool's first output pin, read as a host reads it.
    double FirstOutput() const
    {
        return Option::Measure(tool->Outputs()[Row().outputs[0]]->GetValue(tool));
    }
    std::shared_ptr<Record> CurrentImageRecord() const { return tool->CreateCurrentRecord()->SubRecords()[0]; }
};

TYPED_TEST_SUITE_P(ToolFrame);

TYPED_TEST_P(ToolFrame, RunsThroughPinsAndFailsCleanlyWithoutAnImage)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    Traits::SetInputs(tool);
    tool.Inputs()["InputImage"]->SetValue(this->tool, rttr::variant(std::shared_ptr<IImage>(this->image)));
    EXPECT_EQ(tool.InputImage(), this->image);
    RunOk(tool);
    EXPECT_NEAR(this->FirstOutput(), Traits::expected, 1e-12);

    tool.setInputImage(nullptr);
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Result(), ToolResultConstants::Error);
    EXPECT_EQ(tool.RunStatus().Message(), TestFixture::Option::NoImageMessage());
    TestFixture::Option::ThrowNoImage(tool.RunStatus());
    EXPECT_THROW(this->FirstOutput(), ToolNoResultException);
    const auto failed = tool.CreateLastRunRecord()->SubRecords()[0];  // the earlier run's copies are gone
    EXPECT_FALSE(failed->Value());
    EXPECT_EQ(failed->SubRecords().Count(), 0u);

    tool.setInputImage(this->image);
    RunOk(tool);
    EXPECT_NEAR(this->FirstOutput(), Traits::expected, 1e-12);
}

TYPED_TEST_P(ToolFrame, SettersAndDragsRaiseExactlyTheirFlags)
{
    using Traits = typename TestFixture::Traits;
    const auto& row = TestFixture::Row();
    auto& tool = *this->tool;
    EventRecorder events(tool);
    tool.setInputImage(nullptr);
    tool.setCurrentRecordEnable(tool.CurrentRecordEnable());
    tool.setLastRunRecordDiagEnable(tool.LastRunRecordDiagEnable());
    EXPECT_TRUE(events.flags.empty());

    using Current = decltype(tool.CurrentRecordEnable());
    using LastRun = decltype(tool.LastRunRecordEnable());
    using Diag = decltype(tool.LastRunRecordDiagEnable());
    tool.setInputImage(this->image);
    tool.setInputImage(this->image);
    // Each mask changed in one bit from its default.
    tool.setCurrentRecordEnable(static_cast<Current>(row.current ^ 0x4));
    tool.setLastRunRecordEnable(static_cast<LastRun>(row.lastRun ^ 0x1));
    tool.setLastRunRecordDiagEnable(static_cast<Diag>(row.diag ^ 0x60));
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x84, TypeParam::SfCurrentRecordEnable | 0x4,
                                                        TypeParam::SfLastRunRecordEnable | 0x8,
                                                        TypeParam::SfLastRunRecordDiagEnable}));
    EXPECT_EQ(tool.ImageRetentionMask(), row.diag ^ 0x60);

    // A drag of the first live graphic, as a display does through the current record.
    const auto live = this->CurrentImageRecord()->SubRecords()[0];
    ASSERT_TRUE(live->template ValueAs<GraphicBase>());
    events.flags.clear();
    ChangeLiveGraphic(live, [](PointMarker& marker) { marker.SetCenterRotationSize(1, 2, 0, 11); });
    EXPECT_EQ(events.flags, NonZero({Traits::dragFlags}));
    std::weak_ptr<TypeParam> weak = this->tool;
    this->tool.reset();
    EXPECT_TRUE(weak.expired());
    ChangeLiveGraphic(live, [](PointMarker& marker) { marker.setX(5); });  // reaches no destroyed tool
}

TYPED_TEST_P(ToolFrame, RunRaisesClearThenResult)
{
    using Traits = typename TestFixture::Traits;
    this->tool->setInputImage(this->image);
    EventRecorder events(*this->tool);
    RunOk(*this->tool);
    const std::uint64_t lastRunAlone = (Traits::resetFlags & 0x8) ? 0 : 0x8;
    EXPECT_EQ(events.flags, NonZero({Traits::resetFlags, lastRunAlone, Traits::outputFlags | 0x8, 0x10}));
}

TYPED_TEST_P(ToolFrame, RecordsFollowTheMasks)
{
    using Traits = typename TestFixture::Traits;
    using Diag = decltype(this->tool->LastRunRecordDiagEnable());
    auto& tool = *this->tool;
    Traits::SetInputs(tool);
    tool.setInputImage(this->image);
    RunOk(tool);
    auto record = tool.CreateLastRunRecord();
    ASSERT_EQ(Keys(*record), Names{"InputImage"});
    const auto& imageRecord = *record->SubRecords()[0];
    EXPECT_EQ(imageRecord.Value(), this->image);  // kept by reference
    EXPECT_EQ(imageRecord.Usage(), RecordUsageConstants::LastRunInput);
    EXPECT_EQ(Keys(imageRecord), Traits::LastRunKeys());
    for (const auto& row : imageRecord.SubRecords()) {
        const auto graphic = row->template ValueAs<GraphicBase>();
        ASSERT_TRUE(graphic) << row->Key();
        EXPECT_EQ(graphic->SelectedSpaceName(), "#") << row->Key();
        const auto results = ResultKeys<Traits>();
        const bool isResult = std::find(results.begin(), results.end(), row->Key()) != results.end();
        EXPECT_EQ(row->Usage(), isResult ? RecordUsageConstants::LastRunResult : RecordUsageConstants::LastRunInput);
    }
    for (std::uint32_t diag : {0x0u, 0x70u}) {
        tool.setLastRunRecordDiagEnable(static_cast<Diag>(diag));
        RunOk(tool);
        EXPECT_EQ(tool.CreateLastRunRecord()->SubRecords().Count(), 0u) << diag;
    }
    tool.setCurrentRecordEnable(static_cast<decltype(tool.CurrentRecordEnable())>(0x6));
    EXPECT_EQ(tool.CreateCurrentRecord()->SubRecords().Count(), 0u);

    // A kept copy does not follow later changes of the input image.
    tool.setLastRunRecordDiagEnable(static_cast<Diag>(0x41 | TestFixture::Row().imageCopyBit));
    RunOk(tool);
    auto kept = tool.CreateLastRunRecord()->SubRecords()[0]->template ValueAs<Image8Grey>();
    ASSERT_TRUE(kept);
    EXPECT_NE(kept, this->image);
    this->image->SetPixel(0, 0, 200);
    EXPECT_EQ(kept->At(0, 0), 0);
}

TYPED_TEST_P(ToolFrame, RecordCopiesNameTheirSpaceFully)
{
    auto& tool = *this->tool;
    this->image->CoordinateSpaceTree()->AddSpace("#", "Fixture", Transform2DLinear::Translation(5, 5));
    tool.setInputImage(this->image);
    const auto live = this->CurrentImageRecord()->SubRecords()[0];
    const auto graphic = live->template ValueAs<GraphicBase>();
    graphic->setSelectedSpaceName("Fixture");
    RunOk(tool);
    const auto lastRun = tool.CreateLastRunRecord();
    for (const auto& row : lastRun->SubRecords()[0]->SubRecords()) {
        if (row->Key() == live->Key()) {
            EXPECT_EQ(row->template ValueAs<GraphicBase>()->SelectedSpaceName(),
                      TestFixture::Option::recordsCopyInputs ? "#/Fixture" : "#");
        }
    }

    graphic->setSelectedSpaceName("Nowhere");
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Result(), ToolResultConstants::Error);
    TestFixture::Option::ThrowUnresolvedSpace(tool.RunStatus());
    EXPECT_THROW(this->FirstOutput(), ToolNoResultException);
}

REGISTER_TYPED_TEST_SUITE_P(ToolFrame, RunsThroughPinsAndFailsCleanlyWithoutAnImage, SettersAndDragsRaiseExactlyTheirFlags, RunRaisesClearThenResult, RecordsFollowTheMasks, RecordCopiesNameTheirSpaceFully);

} // namespace ToolFrameTests
