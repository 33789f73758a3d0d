// The library's class table: class versions, reflection identities, state flags,
// enumerations, default record switches and pin paths, each written down here as the
// library defines it and compared with what the registries and the classes report. Both
// ways: a class the registry holds and the table lacks fails, as does the reverse. The
// archive names are those of the golden archives, whose set must match the registry.
#include <algorithm>
#include <cstring>
#include <set>

#include <boost/preprocessor/seq/for_each.hpp>
#include <boost/preprocessor/stringize.hpp>
#include <gtest/gtest.h>
#include <rttr/type>

#include <Geometry/AngleLineLineTool.h>
#include <Geometry/AnglePointPointTool.h>
#include <Geometry/CreateCircleTool.h>
#include <Geometry/CreateEllipseTool.h>
#include <Geometry/CreateGraphicLabelTool.h>
#include <Geometry/CreateLineBisectPointsTool.h>
#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/CreateLineTool.h>
#include <Geometry/CreateSegmentAvgSegsTool.h>
#include <Geometry/CreateSegmentTool.h>
#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/DistancePointLineTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Geometry/DistancePointSegmentTool.h>
#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/DistanceSegmentSegmentTool.h>
#include <Geometry/FitCircleTool.h>
#include <Geometry/FitEllipseTool.h>
#include <Geometry/FitLineTool.h>
#include <Geometry/GeometryException.h>
#include <Geometry/IntersectCircleCircleTool.h>
#include <Geometry/IntersectLineCircleTool.h>
#include <Geometry/IntersectLineEllipseTool.h>
#include <Geometry/IntersectLineLineTool.h>
#include <Geometry/IntersectSegmentCircleTool.h>
#include <Geometry/IntersectSegmentEllipseTool.h>
#include <Geometry/IntersectSegmentLineTool.h>
#include <Geometry/IntersectSegmentSegmentTool.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/ToolPin.h>

#include "common/ToolTestSupport.h"
#include "geometry/ToolTable.h"
#include "geometry/sweep/Samples.h"

namespace {

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using Names = std::vector<std::string>;
using ToolTable::Bits;
using ToolTable::ToolRows;

// ---- Class versions ----

// The classes that check their version when read, by the name their check reports: the
// archived classes and the bases they share.
Names VersionedClasses()
{
    Names names = {"GeometryToolBase", "GeometryToolBaseOutputStyle",
                   "FitToolBase",      "FitResultBase",
                   "ReadOnlyPoints",   "ReadWritePoints"};
    for (const auto& name : Sweep::RegisteredClasses())
        names.push_back(Sweep::ShortName(name));
    return names;
}

// Every class of an archive writes version 1: a 1 changed to 2 where a class version is
// stored makes that class's check refuse the archive, naming the class.
TEST(ClassTable, EveryArchivedClassIsAtVersionOneAndChecksIt)
{
    std::set<std::string> checked;
    for (const auto& name : Sweep::RegisteredClasses()) {
        const std::string bytes = SaveToString(Sweep::MakeSample(name), 0x101);
        for (std::size_t at = 4; at + 4 <= bytes.size(); ++at) {
            if (bytes.compare(at, 4, std::string("\1\0\0\0", 4)) != 0)
                continue;
            std::string newer = bytes;
            newer[at] = 2;
            try {
                LoadFromString<Quill::IObject>(newer);
            } catch (const SerializationException& e) {
                const std::string prefix = "Persistence version mismatch in ", suffix = "::serialize()";
                const auto from = e.Message().find(prefix), to = e.Message().find(suffix);
                if (from != std::string::npos && to != std::string::npos)
                    checked.insert(e.Message().substr(from + prefix.size(), to - from - prefix.size()));
            }
        }
    }
    const Names versioned = VersionedClasses();
    for (const auto& name : versioned)
        EXPECT_TRUE(checked.contains(name)) << name;
    for (const auto& name : checked) { // a class of the library that checks must be in the table
        const bool ours = std::ranges::any_of(rttr::type::get_types(), [&](const rttr::type& type) {
            const std::string full = type.get_name().to_string();
            return full.starts_with(Sweep::LibraryNamespace) && full.ends_with("::" + name);
        });
        EXPECT_TRUE(!ours || std::ranges::count(versioned, name) == 1) << name;
    }
}

// ---- Reflection identities and state flags ----

// A class's flags: sf0_, then its own flags in the order of their values, each the double
// of the one before (the first is sf0_), then sfNextSf_, the double of the last.
struct ClassRow {
    const char* name;
    const char* base; // the reflection base, under Ostrel
    std::uint64_t sf0;
    std::vector<std::pair<const char*, std::uint64_t>> flags; // sf0_, own flags, sfNextSf_
};

// clang-format off
#define OSTREL_FLAG(r, Class, flag) {BOOST_PP_STRINGIZE(flag), Class::flag},
#define OSTREL_CLASS(Class, base, sf0, flags)                                                                \
    ClassRow{#Class, base, sf0,                                                                              \
             {{"sf0_", Class::sf0_}, BOOST_PP_SEQ_FOR_EACH(OSTREL_FLAG, Class, flags) {"sfNextSf_", Class::sfNextSf_}}}
#define SWITCHES (SfLastRunRecordEnable)(SfLastRunRecordDiagEnable)(SfCurrentRecordEnable)
#define GEO "Vision::Geometry::Implementation::GeometryToolBase"
#define STYLE "Vision::Geometry::Implementation::GeometryToolBaseOutputStyle"
#define FIT_TOOL "Vision::Geometry::Implementation::FitToolBase"
#define FIT "Vision::Geometry::Implementation::FitBase"
#define FIT_RESULT "Vision::Geometry::Implementation::FitResultBase"

using namespace Geometry::Implementation;

const ClassRow ClassRows[] = {
    OSTREL_CLASS(AngleLineLineTool, GEO, 0x100, SWITCHES(SfLineA)(SfLineB)(SfAngle)),
    OSTREL_CLASS(AnglePointPointTool, GEO, 0x100, SWITCHES(SfStartX)(SfStartY)(SfEndX)(SfEndY)(SfAngle)),
    OSTREL_CLASS(CreateCircleTool, STYLE, 0x800, SWITCHES(SfCircle)(SfGetOutputCircle)),
    OSTREL_CLASS(CreateEllipseTool, STYLE, 0x800, SWITCHES(SfEllipse)(SfGetOutputEllipse)),
    OSTREL_CLASS(CreateGraphicLabelTool, GEO, 0x100, SWITCHES(SfInputGraphicLabel)(SfInputBoolean)(SfInputDouble)
                 (SfInputInteger)(SfInputToolResultConstant)(SfSourceSelector)(SfGetOutputGraphicLabel)(SfOutputColor)),
    OSTREL_CLASS(CreateLineBisectPointsTool, STYLE, 0x800, SWITCHES(SfStartX)(SfStartY)(SfEndX)(SfEndY)(SfGetOutputLine)),
    OSTREL_CLASS(CreateLineParallelTool, STYLE, 0x800, SWITCHES(SfX)(SfY)(SfLine)(SfGetOutputLine)),
    OSTREL_CLASS(CreateLinePerpendicularTool, STYLE, 0x800, SWITCHES(SfX)(SfY)(SfLine)(SfGetOutputLine)),
    OSTREL_CLASS(CreateLineTool, STYLE, 0x800, SWITCHES(SfLine)(SfGetOutputLine)),
    OSTREL_CLASS(CreateSegmentAvgSegsTool, STYLE, 0x800, SWITCHES(SfSegmentA)(SfSegmentB)(SfGetOutputSegment)),
    OSTREL_CLASS(CreateSegmentTool, STYLE, 0x800, SWITCHES(SfSegment)(SfGetOutputSegment)),
    OSTREL_CLASS(DistanceCircleCircleTool, GEO, 0x100,
                 SWITCHES(SfCircleA)(SfCircleB)(SfCircleAX)(SfCircleAY)(SfCircleBX)(SfCircleBY)(SfDistance)),
    OSTREL_CLASS(DistanceLineCircleTool, GEO, 0x100,
                 SWITCHES(SfLine)(SfInputCircle)(SfCircleX)(SfCircleY)(SfLineX)(SfLineY)(SfDistance)),
    OSTREL_CLASS(DistanceLineEllipseTool, GEO, 0x100,
                 SWITCHES(SfLine)(SfEllipse)(SfEllipseX)(SfEllipseY)(SfLineX)(SfLineY)(SfDistance)),
    OSTREL_CLASS(DistancePointCircleTool, GEO, 0x100, SWITCHES(SfX)(SfY)(SfInputCircle)(SfDistance)(SfCircleX)(SfCircleY)),
    OSTREL_CLASS(DistancePointEllipseTool, GEO, 0x100, SWITCHES(SfX)(SfY)(SfEllipse)(SfDistance)(SfEllipseX)(SfEllipseY)),
    OSTREL_CLASS(DistancePointLineTool, GEO, 0x100, SWITCHES(SfX)(SfY)(SfLine)(SfDistance)(SfLineX)(SfLineY)),
    OSTREL_CLASS(DistancePointPointTool, GEO, 0x100, SWITCHES(SfStartX)(SfStartY)(SfEndX)(SfEndY)(SfDistance)(SfAngle)),
    OSTREL_CLASS(DistancePointSegmentTool, GEO, 0x100, SWITCHES(SfX)(SfY)(SfSegment)(SfSegmentX)(SfSegmentY)(SfDistance)),
    OSTREL_CLASS(DistanceSegmentCircleTool, GEO, 0x100,
                 SWITCHES(SfSegment)(SfSegmentX)(SfSegmentY)(SfInputCircle)(SfDistance)(SfCircleX)(SfCircleY)),
    OSTREL_CLASS(DistanceSegmentEllipseTool, GEO, 0x100,
                 SWITCHES(SfSegment)(SfSegmentX)(SfSegmentY)(SfEllipse)(SfDistance)(SfEllipseX)(SfEllipseY)),
    OSTREL_CLASS(DistanceSegmentLineTool, GEO, 0x100,
                 SWITCHES(SfSegment)(SfSegmentX)(SfSegmentY)(SfLine)(SfDistance)(SfLineX)(SfLineY)),
    OSTREL_CLASS(DistanceSegmentSegmentTool, GEO, 0x100,
                 SWITCHES(SfSegmentA)(SfSegmentB)(SfSegmentAX)(SfSegmentAY)(SfSegmentBX)(SfSegmentBY)(SfDistance)),
    OSTREL_CLASS(FitBase, "Quill::ChangedEventShareableBase", 0x1, (SfNumPoints)(SfGetX)(SfGetY)(SfNumToIgnore)),
    OSTREL_CLASS(FitCircle, FIT, 0x10, (SfRadiusConstraintEnabled)(SfRadiusConstraint)),
    OSTREL_CLASS(FitCircleTool, FIT_TOOL, 0x200, SWITCHES(SfRunParams)),
    OSTREL_CLASS(FitEllipse, FIT, 0x10, (SfRotationConstraintEnabled)(SfRotationConstraint)),
    OSTREL_CLASS(FitEllipseTool, FIT_TOOL, 0x200, SWITCHES(SfRunParams)),
    ClassRow{"FitLine", FIT, 0x10, {{"sf0_", FitLine::sf0_}, {"sfNextSf_", FitLine::sfNextSf_}}},
    OSTREL_CLASS(FitLineTool, FIT_TOOL, 0x200, SWITCHES(SfRunParams)),
    OSTREL_CLASS(FitToolBase, "Vision::Implementation::ToolBase", 0x80, (SfInputImage)(SfResult)),
    OSTREL_CLASS(GeometryToolBase, "Vision::Implementation::ToolBase", 0x80, (SfInputImage)),
    OSTREL_CLASS(GeometryToolBaseOutputStyle, GEO, 0x100, (SfOutputColor)(SfOutputLineWidthInScreenPixels)(SfOutputLineStyle)),
    OSTREL_CLASS(IntersectCircleCircleTool, GEO, 0x100,
                 SWITCHES(SfCircleA)(SfCircleB)(SfNumPoints)(SfX0)(SfY0)(SfX1)(SfY1)(SfIntersects)),
    OSTREL_CLASS(IntersectLineCircleTool, GEO, 0x100,
                 SWITCHES(SfLine)(SfInputCircle)(SfNumPoints)(SfX0)(SfY0)(SfX1)(SfY1)(SfIntersects)),
    OSTREL_CLASS(IntersectLineEllipseTool, GEO, 0x100,
                 SWITCHES(SfLine)(SfEllipse)(SfNumPoints)(SfX0)(SfY0)(SfX1)(SfY1)(SfIntersects)),
    OSTREL_CLASS(IntersectLineLineTool, GEO, 0x100, SWITCHES(SfLineA)(SfLineB)(SfNumPoints)(SfX)(SfY)(SfAngle)(SfIntersects)),
    OSTREL_CLASS(IntersectSegmentCircleTool, GEO, 0x100,
                 SWITCHES(SfSegment)(SfInputCircle)(SfNumPoints)(SfX0)(SfY0)(SfX1)(SfY1)(SfIntersects)),
    OSTREL_CLASS(IntersectSegmentEllipseTool, GEO, 0x100,
                 SWITCHES(SfSegment)(SfEllipse)(SfNumPoints)(SfX0)(SfY0)(SfX1)(SfY1)(SfIntersects)),
    OSTREL_CLASS(IntersectSegmentLineTool, GEO, 0x100, SWITCHES(SfSegment)(SfLine)(SfNumPoints)(SfX)(SfY)(SfIntersects)),
    OSTREL_CLASS(IntersectSegmentSegmentTool, GEO, 0x100,
                 SWITCHES(SfSegmentA)(SfSegmentB)(SfNumPoints)(SfX)(SfY)(SfIntersects)),
    // Classes without flags.
    {"FitCircleResult", FIT_RESULT, 0, {}},
    {"FitEllipseResult", FIT_RESULT, 0, {}},
    {"FitLineResult", FIT_RESULT, 0, {}},
    {"FitResultBase", "Quill::ShareableBase", 0, {}},
    {"ReadOnlyPoints", "Quill::ShareableBase", 0, {}},
    {"ReadWritePoints", "Vision::Geometry::Private::ReadOnlyPoints", 0, {}},
    {"MathUtils", "Quill::ObjectBase", 0, {}},
    {"GeometryException", "Vision::VisionException", 0, {}},
};
// clang-format on

// The qualified reflection name of a row's class: in Implementation or Private where the
// class lives there.
std::string ReflectedName(const std::string& name)
{
    for (const char* space : {"", "Implementation::", "Private::"}) {
        const std::string qualified = Sweep::LibraryNamespace + std::string(space) + name;
        if (rttr::type::get_by_name(qualified).is_valid())
            return qualified;
    }
    return name;
}

TEST(ClassTable, EveryClassHasItsReflectionIdentityBaseAndStateFlags)
{
    std::set<std::string> listed;
    for (const auto& row : ClassRows) {
        SCOPED_TRACE(row.name);
        const auto type = rttr::type::get_by_name(ReflectedName(row.name));
        ASSERT_TRUE(type.is_valid());
        listed.insert(type.get_name().to_string());
        EXPECT_TRUE(type.is_derived_from(rttr::type::get_by_name(std::string("Ostrel::") + row.base)))
            << row.base;
        for (std::size_t i = 0; i < row.flags.size(); ++i) // sf0_ and the first own flag share a value
            EXPECT_EQ(row.flags[i].second, row.sf0 << (i == 0 ? 0 : i - 1)) << row.flags[i].first;
    }
    // The reverse: every class the library registers has its row (the family frames, class
    // templates that only share code, have no reflection of their own).
    std::set<std::string> registered;
    for (const auto& type : rttr::type::get_types()) {
        const std::string name = type.get_name().to_string();
        if (type.is_class() && !type.is_wrapper() && name.starts_with(Sweep::LibraryNamespace) &&
            name.find_first_of("<*&") == std::string::npos)
            registered.insert(name);
    }
    EXPECT_EQ(registered, listed);
}

// ---- Tools: record switches, their enumerations, pins (the rows are in ToolTable.h) ----

Bits EnumerationBits(const rttr::type& type)
{
    Bits bits;
    for (const auto& name : type.get_enumeration().get_names())
        bits.emplace_back(name.to_string(), type.get_enumeration().name_to_value(name).to_uint32());
    std::sort(bits.begin(), bits.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return bits;
}

TEST(ClassTable, ToolsHaveTheirRecordSwitchesEnumerationsAndPins)
{
    std::set<std::string> enumerations = {
        "GeometryExceptionCodes", "FitLineResultGraphicConstants", "FitCircleResultGraphicConstants",
        "FitEllipseResultGraphicConstants", "CreateGraphicLabelSourceSelectorConstants"};
    std::set<std::string> tools;
    for (const auto& row : ToolRows) {
        SCOPED_TRACE(row.name);
        const std::string name = Sweep::LibraryNamespace + std::string(row.name);
        tools.insert(name);
        const auto type = rttr::type::get_by_name(name);
        const auto object = Sweep::NewObject(name);
        const auto tool = std::dynamic_pointer_cast<ITool>(object);
        ASSERT_TRUE(tool);
        const rttr::instance instance(*object);
        const auto number = [&](const char* property) {
            return type.get_property(property).get_value(instance).to_uint32();
        };
        EXPECT_EQ(number("CurrentRecordEnable"), row.current);
        EXPECT_EQ(number("LastRunRecordDiagEnable"), row.diag);
        EXPECT_EQ(number("LastRunRecordEnable"), row.lastRun);
        EXPECT_EQ(number("ImageRetentionMask"), row.diag);

        const std::string stem = std::string(row.name).substr(0, std::strlen(row.name) - 4);
        Bits current{{"InputImage", 0x1}},
            diag{{"InputImageByReference", 0x1}, {"InputImageByCopy", row.imageCopyBit}};
        current.insert(current.end(), row.currentBits.begin(), row.currentBits.end());
        diag.insert(diag.end(), row.diagBits.begin(), row.diagBits.end());
        std::sort(diag.begin(), diag.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        const std::pair<const char*, const Bits*> switches[] = {{"CurrentRecordConstants", &current},
                                                                {"LastRunRecordConstants", &row.lastRunBits},
                                                                {"LastRunRecordDiagConstants", &diag}};
        for (const auto& [ending, bits] : switches) {
            enumerations.insert(stem + ending);
            EXPECT_EQ(EnumerationBits(rttr::type::get_by_name(Sweep::LibraryNamespace + stem + ending)),
                      *bits)
                << ending;
        }

        // Every pin resolves on a tool that has run (the point pins of a fit reach the points
        // it has): an input takes back the value it gives, an output gives its value or, where
        // the run found fewer points than it has pins, refuses to.
        Names inputs = {"InputImage"};
        inputs.insert(inputs.end(), row.inputs.begin(), row.inputs.end());
        EXPECT_EQ(PinPaths(tool->Inputs()), inputs);
        EXPECT_EQ(PinPaths(tool->Outputs()), row.outputs);
        const auto ran = std::dynamic_pointer_cast<ITool>(Sweep::MakeSample(name));
        for (const auto& pin : ran->Inputs())
            EXPECT_NO_THROW(pin->SetValue(ran, pin->GetValue(ran))) << pin->Path();
        for (const auto& pin : ran->Outputs()) {
            try {
                EXPECT_TRUE(pin->GetValue(ran).is_valid()) << pin->Path();
            } catch (const ToolNoResultException&) {
            }
        }
    }
    // The tools are the registered classes with record switches.
    std::set<std::string> withSwitches;
    for (const auto& name : Sweep::RegisteredClasses())
        if (rttr::type::get_by_name(name).get_property("CurrentRecordEnable").is_valid())
            withSwitches.insert(name);
    EXPECT_EQ(tools, withSwitches);

    std::set<std::string> registered;
    for (const auto& type : rttr::type::get_types())
        if (type.is_enumeration() && type.get_name().to_string().starts_with(Sweep::LibraryNamespace))
            registered.insert(type.get_name().to_string().substr(std::strlen(Sweep::LibraryNamespace)));
    EXPECT_EQ(registered, enumerations);
}

TEST(ClassTable, TheLibrarysOtherEnumerationsHaveTheirValues)
{
    const auto bits = [](const char* name) {
        return EnumerationBits(rttr::type::get_by_name(Sweep::LibraryNamespace + std::string(name)));
    };
    EXPECT_EQ(bits("GeometryExceptionCodes"), (Bits{{"NotEnoughPoints", 1}, {"AmbiguousPoints", 2}}));
    EXPECT_EQ(bits("CreateGraphicLabelSourceSelectorConstants"), (Bits{{"InputGraphicLabelText", 0},
                                                                       {"InputBoolean", 1},
                                                                       {"InputDouble", 2},
                                                                       {"InputInteger", 3},
                                                                       {"InputToolResultConstant", 4},
                                                                       {"FormattedText", 5}}));
    // The fit results' graphics: the points' bits shared, then the shape's own.
    const auto graphics = [](Bits own) {
        Bits shared{{"None", 0}, {"TipText", 1}, {"UsedPoints", 2}, {"IgnoredPoints", 4}};
        shared.insert(shared.end(), own.begin(), own.end());
        return shared;
    };
    EXPECT_EQ(bits("FitLineResultGraphicConstants"), graphics({{"Line", 8}}));
    EXPECT_EQ(bits("FitCircleResultGraphicConstants"), graphics({{"Circle", 8}, {"Center", 0x10}}));
    EXPECT_EQ(bits("FitEllipseResultGraphicConstants"), graphics({{"Ellipse", 8}, {"Center", 0x10}}));
}

} // namespace
