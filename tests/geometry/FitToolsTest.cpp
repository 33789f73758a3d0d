// The fit tools: the run around Execute, the flags, pins, draggable points, last-run
// records, archives and legacy conversion, typed over the line, circle and ellipse tools.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

#include <Geometry/FitCircleTool.h>
#include <Geometry/FitEllipseTool.h>
#include <Geometry/FitLineTool.h>
#include <Geometry/GeometryException.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/PointMarker.h>

#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;
using Names = std::vector<std::string>;
using std::numbers::pi;

namespace {

std::string N(double value)
{
    return Vision::Private::MiscUtils::GetFixedPrecisionNumericString(value, 3);
}

// Per tool: its pins, its minimum number of points, `count` points on a known shape moved
// by (dx, 0), and one value of the fitted shape that a move leaves as it is.
template <class Tool> struct FitTraits;

template <> struct FitTraits<FitLineTool> {
    static constexpr const char* name = "FitLineTool";
    static constexpr int minimum = 2;
    static korm_vect Point(int k, double dx) { return {k + dx, 0.5 * k + 2}; }
    static double Invariant(const FitLineResult& r) { return r.GetLine()->Rotation(); }
    static constexpr double invariant = 0.46364760900080609; // atan(1/2)
};

template <> struct FitTraits<FitCircleTool> {
    static constexpr const char* name = "FitCircleTool";
    static constexpr int minimum = 3;
    static korm_vect Point(int k, double dx)
    {
        return {10 + dx + 5 * std::cos(0.7 * k), 20 + 5 * std::sin(0.7 * k)};
    }
    static double Invariant(const FitCircleResult& r) { return r.GetCircle()->Radius(); }
    static constexpr double invariant = 5;
};

template <> struct FitTraits<FitEllipseTool> {
    static constexpr const char* name = "FitEllipseTool";
    static constexpr int minimum = 5;
    // On the ellipse of centre (30 + dx, 20), radii 12 and 6, rotated by 0.3.
    static korm_vect Point(int k, double dx)
    {
        const double x = 12 * std::cos(0.6 * k), y = 6 * std::sin(0.6 * k);
        return {30 + dx + std::cos(0.3) * x - std::sin(0.3) * y, 20 + std::sin(0.3) * x + std::cos(0.3) * y};
    }
    static double Invariant(const FitEllipseResult& r)
    {
        return std::max(r.GetEllipse()->RadiusX(), r.GetEllipse()->RadiusY());
    }
    static constexpr double invariant = 12;
};

template <class Tool> class FitTools : public ::testing::Test {
protected:
    using Traits = FitTraits<Tool>;
    std::shared_ptr<Tool> tool = Quill::Create<Tool>();
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(64, 48);

    void AddShapePoints(int count, double dx = 0)
    {
        for (int k = 0; k < count; ++k)
            tool->RunParams()->AddPoint(Traits::Point(k, dx).x, Traits::Point(k, dx).y);
    }
    // The result passes through every point it was given.
    void ExpectExactFit()
    {
        const auto result = tool->Result();
        ASSERT_TRUE(result);
        EXPECT_NEAR(result->RMSError(), 0, 1e-9);
        EXPECT_NEAR(Traits::Invariant(*result), Traits::invariant, 1e-9);
        for (int i = 0; i < result->NumPoints(); ++i)
            EXPECT_NEAR(result->GetDistance(i), 0, 1e-9) << i;
    }
    std::shared_ptr<GraphicCollection> Content(const std::shared_ptr<Record>& root, const std::string& key)
    {
        return root->SubRecords()[0]->SubRecords()[key]->template ContentAs<GraphicCollection>();
    }
};

TYPED_TEST_SUITE_P(FitTools);

TYPED_TEST_P(FitTools, RunKeepsTheResultAndAFailureClearsIt)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    tool.setInputImage(this->image);
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Message(),
              "Insufficient points: have 0, minimum is " + std::to_string(Traits::minimum));
    // The fit's exception reaches the host with its class and code.
    EXPECT_THAT([&] { tool.RunStatus().Exception()->ThrowException(); },
                testing::Throws<GeometryException>(
                    testing::Property(&GeometryException::GeometryCode, GeometryExceptionCodes::NotEnoughPoints)));

    this->AddShapePoints(Traits::minimum + 3);
    EventRecorder events(tool);
    RunOk(tool);
    this->ExpectExactFit();
    RunOk(tool);
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x108, 0x10, 0x108, 0x108, 0x10}));
    // Each failure clears the result, says why, leaves the points alone, and the tool
    // runs again once the cause is gone.
    const auto fail = [&](auto&& breakIt, auto&& repair, const std::string& message) {
        breakIt();
        events.flags.clear();
        tool.Run();
        EXPECT_EQ(tool.RunStatus().Result(), ToolResultConstants::Error) << message;
        EXPECT_NE(tool.RunStatus().Message().find(message), std::string::npos) << tool.RunStatus().Message();
        EXPECT_FALSE(tool.Result());
        EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x108, 0x10})) << message;
        repair();
        RunOk(tool);
        this->ExpectExactFit();
    };
    const auto params = tool.RunParams();
    fail([&] { tool.setInputImage(nullptr); }, [&] { tool.setInputImage(this->image); },
         std::string(Strings::E_OstOperator_NoInputImage));
    fail([&] { tool.setRunParams(nullptr); }, [&] { tool.setRunParams(params); }, "run parameters");
    fail([&] { params->setNumToIgnore(4); }, [&] { params->setNumToIgnore(0); },
         Strings::Substitute(Strings::IDS_Ost_InvalidArgRange_3, {"NumToIgnore", "0", "3"}));
    fail([&] { tool.Inputs()[1]->SetValue(this->tool, rttr::variant(std::nan(""))); },
         [&] { params->SetX(0, Traits::Point(0, 0).x); }, "x of point 0");
    EXPECT_EQ(params->NumPoints(), Traits::minimum + 3);
}

TYPED_TEST_P(FitTools, SettersRaiseExactlyTheirFlags)
{
    auto& tool = *this->tool;
    const auto params = tool.RunParams();
    const auto other = Quill::Create<std::decay_t<decltype(*params)>>();
    using Current = decltype(tool.CurrentRecordEnable());
    using LastRun = decltype(tool.LastRunRecordEnable());
    using Diag = decltype(tool.LastRunRecordDiagEnable());
    // Each step and what it raises: nothing for an unchanged value, for a change of the run
    // parameters that moves no point, or for run parameters the tool no longer holds.
    const std::pair<std::function<void()>, std::vector<std::uint64_t>> steps[] = {
        {[&] { tool.setInputImage(nullptr), tool.setRunParams(params), params->setNumToIgnore(1); }, {}},
        {[&] { tool.setInputImage(this->image); }, {0x84}},
        {[&] { tool.setCurrentRecordEnable(static_cast<Current>(0x1)); }, {0x804}},
        {[&] { tool.setLastRunRecordEnable(static_cast<LastRun>(0x1)); }, {0x208}},
        {[&] { tool.setLastRunRecordDiagEnable(static_cast<Diag>(0x4)); }, {0x400}},
        {[&] { params->AddPoint(1, 2); }, {0x4}},
        {[&] { tool.setRunParams(other), params->AddPoint(3, 4); }, {0x1004}},
        {[&] { other->AddPoint(1, 1); }, {0x4}},
    };
    EventRecorder events(tool);
    for (std::size_t k = 0; k < std::size(steps); ++k) {
        events.flags.clear();
        steps[k].first();
        EXPECT_EQ(events.flags, steps[k].second) << "step " << k;
    }
}

TYPED_TEST_P(FitTools, PinsReachSinglePointsAndTheResult)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    this->AddShapePoints(Traits::minimum + 1, 7);
    tool.setInputImage(this->image);
    for (int i = 0; i < Traits::minimum; ++i) {
        tool.Inputs()[1 + 2 * i]->SetValue(this->tool, rttr::variant(Traits::Point(i, 0).x));
        tool.Inputs()[2 + 2 * i]->SetValue(this->tool, rttr::variant(Traits::Point(i, 0).y));
    }
    const auto pin = [&](const char* path) { return Quill::Create<ToolPin>(path)->GetValue(this->tool); };
    EXPECT_THROW(pin("RunParams.GetX(99)"), ArgumentOutOfRangeException);
    EXPECT_THROW(tool.Outputs()[0]->GetValue(this->tool), InvalidOperationException); // no result yet
    const korm_vect last = Traits::Point(Traits::minimum, 0);
    tool.RunParams()->SetPoint(Traits::minimum, last.x, last.y);
    RunOk(tool);
    this->ExpectExactFit();
    EXPECT_TRUE(tool.Outputs()[0]->GetValue(this->tool).is_valid());
    EXPECT_EQ(pin("Result.RMSError").template get_value<double>(), tool.Result()->RMSError());
    EXPECT_TRUE(pin("Result.GetUsed(0)").template get_value<bool>());
}

TYPED_TEST_P(FitTools, DraggingEveryMarkerMovesItsPoint)
{
    using Traits = typename TestFixture::Traits;
    auto& tool = *this->tool;
    const int count = Traits::minimum + 2;
    this->AddShapePoints(count);
    tool.setInputImage(this->image);
    EventRecorder events(tool);
    for (int i = 0; i < count; ++i) {
        // Only the markers are held: a display may drop the record while the user drags.
        const int next = (i + 1) % count;
        std::shared_ptr<GraphicBase> marker, stale;
        {
            const auto record = tool.CreateCurrentRecord();
            const auto markers =
                record->SubRecords()[0]->SubRecords()["InputPoints"]->template ContentAs<GraphicCollection>();
            ASSERT_EQ(markers->Count(), count);
            const auto composite = std::dynamic_pointer_cast<CompositeShape>((*markers)[i]);
            ASSERT_EQ(composite->ID(), i);
            marker = composite->Shapes()[0];
            stale = std::dynamic_pointer_cast<CompositeShape>((*markers)[next])->Shapes()[0];
        }
        const auto& point = dynamic_cast<PointMarker&>(*marker);
        EXPECT_EQ(point.TipText(),
                  "ID=" + std::to_string(i) + ", XY=(" + N(point.X()) + "," + N(point.Y()) + ")");
        events.flags.clear();
        dynamic_cast<PointMarker&>(*marker).setColor(Color32::FromUInt32(0xFF0000FF)); // a restyle writes nothing
        EXPECT_TRUE(events.flags.empty()) << i;
        const korm_vect moved = Traits::Point(i, 3);
        dynamic_cast<PointMarker&>(*marker).SetCenterRotationSize(moved.x, moved.y, 0, point.Size());
        EXPECT_EQ(events.flags, std::vector<std::uint64_t>{0x4}) << i;
        double x = 0, y = 0;
        tool.RunParams()->GetPoint(i, x, y);
        EXPECT_EQ((std::pair{x, y}), (std::pair{moved.x, moved.y})) << i;
        // The drag made this record stale: its markers no longer write.
        dynamic_cast<PointMarker&>(*stale).setX(-50);
        EXPECT_NE(tool.RunParams()->GetX(next), -50);
    }
    RunOk(tool);
    this->ExpectExactFit();
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(tool.Result()->GetX(i), Traits::Point(i, 3).x);
    // The markers of a live record reach no destroyed tool.
    const auto live =
        tool.CreateCurrentRecord()->SubRecords()[0]->SubRecords()[0]->template ContentAs<GraphicCollection>();
    std::weak_ptr<TypeParam> weak = this->tool;
    this->tool.reset();
    EXPECT_TRUE(weak.expired());
    std::dynamic_pointer_cast<CompositeShape>((*live)[0])->Shapes()[0]->setSelectedSpaceName("#");
}

TYPED_TEST_P(FitTools, LastRunRecordsFollowTheMasks)
{
    using Traits = typename TestFixture::Traits;
    using Diag = decltype(this->tool->LastRunRecordDiagEnable());
    auto& tool = *this->tool;
    this->AddShapePoints(Traits::minimum + 1);
    tool.setInputImage(this->image);
    RunOk(tool);
    auto record = tool.CreateLastRunRecord();
    EXPECT_EQ(record->SubRecords()[0]->Value(), this->image);
    EXPECT_EQ(Keys(*record->SubRecords()[0]), (Names{"UsedPoints", "IgnoredPoints", "Shape"}));
    EXPECT_EQ(this->Content(record, "UsedPoints")->Count(), Traits::minimum + 1);
    EXPECT_EQ(this->Content(record, "IgnoredPoints")->Count(), 0); // nothing left out
    EXPECT_GE(this->Content(record, "Shape")->Count(), 1);

    tool.setLastRunRecordDiagEnable(static_cast<Diag>(0x4));
    tool.setInputImage(nullptr);
    tool.Run(); // failed: the rows stand without content
    record = tool.CreateLastRunRecord();
    EXPECT_FALSE(record->SubRecords()[0]->Value());
    EXPECT_EQ(Keys(*record->SubRecords()[0]), (Names{"UsedPoints", "IgnoredPoints", "Shape"}));
    EXPECT_FALSE(this->Content(record, "Shape"));

    tool.setInputImage(this->image);
    RunOk(tool);
    EXPECT_NE(tool.CreateLastRunRecord()->SubRecords()[0]->Value(), this->image); // a copy
    tool.setLastRunRecordDiagEnable(static_cast<Diag>(0x0));
    EXPECT_EQ(tool.CreateLastRunRecord()->SubRecords().Count(), 0u);
    tool.setCurrentRecordEnable(static_cast<decltype(tool.CurrentRecordEnable())>(0x2));
    EXPECT_EQ(tool.CreateCurrentRecord()->SubRecords().Count(), 0u);
}

// The legacy corpus converts every field of each tool. Here, run parameters that cannot be
// read are logged and the tool keeps its own; those of another fit are dropped with a
// warning rather than read through the wrong class.
TYPED_TEST_P(FitTools, LogsLegacyRunParametersItCannotRead)
{
    using Traits = typename TestFixture::Traits;
    const std::string own = std::string(Traits::name).substr(0, std::strlen(Traits::name) - 4);
    ConversionContext table;
    table.Add(1, ObjectInfo(Traits::name, {{"RunParams", LegacyHandle{2}}}));
    table.Add(2, ObjectInfo(own, {{"PointsCount", std::string("three")}}));
    table.Add(3, ObjectInfo(Traits::name, {{"RunParams", LegacyHandle{4}}}));
    table.Add(4, ObjectInfo(own == "FitLine" ? "FitCircle" : "FitLine",
                            {{"PointsCount", 0}, {"NumToIgnore", 0}, {"Radius", 2.0}, {"RadiusConstraintEnabled", false}}));
    auto tool = std::dynamic_pointer_cast<TypeParam>(Orv9xConverter::Orv9xConvert(1, &table));
    ASSERT_TRUE(tool && tool->RunParams());
    EXPECT_EQ(tool->RunParams()->NumPoints(), 0);
    tool = std::dynamic_pointer_cast<TypeParam>(Orv9xConverter::Orv9xConvert(3, &table));
    ASSERT_TRUE(tool);
    EXPECT_FALSE(tool->RunParams());
    ASSERT_EQ(table.LogEntries().size(), 4u);  // two missing images, the unreadable and the foreign run parameters
    EXPECT_THAT(table.LogEntries()[3].Text, testing::HasSubstr("another fit, error for field: RunParams"));
}

REGISTER_TYPED_TEST_SUITE_P(FitTools, RunKeepsTheResultAndAFailureClearsIt, SettersRaiseExactlyTheirFlags,
                            PinsReachSinglePointsAndTheResult,
                            DraggingEveryMarkerMovesItsPoint, LastRunRecordsFollowTheMasks,
                            LogsLegacyRunParametersItCannotRead);

using FitToolTypes = ::testing::Types<FitLineTool, FitCircleTool, FitEllipseTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fit, FitTools, FitToolTypes);

} // namespace

// A bore scanned by an edge tool: twenty points on a circle with a little noise, four of
// them caught on burrs. The fit leaves out exactly those four and the last-run record shows
// them as the ignored points.
TEST(FitCircleTool, LeavesOutTheOutliersOfAScannedPart)
{
    auto tool = Quill::Create<FitCircleTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(128, 128));
    const std::vector<int> burrs{3, 8, 13, 17};
    for (int k = 0; k < 20; ++k) {
        const bool burr = std::count(burrs.begin(), burrs.end(), k) > 0;
        const double a = k * pi / 10, r = 30 + 0.02 * std::sin(3.1 * k) + (burr ? 4 + k % 3 : 0);
        tool->RunParams()->AddPoint(50 + r * std::cos(a), 40 + r * std::sin(a));
    }
    tool->RunParams()->setNumToIgnore(4);
    RunOk(*tool);
    EXPECT_NEAR(tool->Result()->GetCircle()->Radius(), 30, 0.02);
    const auto record = tool->CreateLastRunRecord();
    const auto ids = [&](const char* key) {
        std::vector<int> found;
        for (const auto& graphic :
             *record->SubRecords()[0]->SubRecords()[key]->ContentAs<GraphicCollection>())
            found.push_back(std::dynamic_pointer_cast<CompositeShape>(graphic)->ID());
        return found;
    };
    EXPECT_EQ(ids("IgnoredPoints"), burrs);
    EXPECT_EQ(ids("UsedPoints").size(), 16u);
}

// An archive whose tool class was changed: the line fit tool it now names would read the
// circle fit's parameters through the wrong class, so the load is refused.
TEST(FitLineTool, RefusesTheRunParametersOfAnotherFit)
{
    std::string bytes = SaveToString(Quill::Create<FitCircleTool>(), 0);
    const std::string from = "Ostrel::Vision::Geometry::FitCircleTool",
                      to = "Ostrel::Vision::Geometry::FitLineTool";
    const auto at = bytes.find(from);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(static_cast<std::size_t>(bytes[at - 8]), from.size()); // the name's length, little-endian
    bytes[at - 8] = static_cast<char>(to.size());
    bytes.replace(at, from.size(), to);
    EXPECT_THROW(LoadFromString<FitLineTool>(bytes), SerializationException);
}
