// Reflection identity, state flags, enumerations and archive names of the tool spine.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include <gtest/gtest.h>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Geometry/GeometryException.h>
#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Archive.h>

#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using Geometry::Implementation::GeometryToolBase;
using Geometry::Implementation::GeometryToolBaseOutputStyle;

TEST(Registration, TypesAreKnownByTheirQualifiedNames)
{
    const std::pair<rttr::type, const char*> types[] = {
        {rttr::type::get<GeometryToolBase>(), "Ostrel::Vision::Geometry::Implementation::GeometryToolBase"},
        {rttr::type::get<GeometryToolBaseOutputStyle>(),
         "Ostrel::Vision::Geometry::Implementation::GeometryToolBaseOutputStyle"},
        {rttr::type::get<DistancePointPointTool>(), "Ostrel::Vision::Geometry::DistancePointPointTool"},
        {rttr::type::get<AnglePointPointTool>(), "Ostrel::Vision::Geometry::AnglePointPointTool"},
        {rttr::type::get<MathUtils>(), "Ostrel::Vision::Geometry::MathUtils"},
        {rttr::type::get<GeometryException>(), "Ostrel::Vision::Geometry::GeometryException"},
    };
    for (const auto& [type, name] : types)
        EXPECT_EQ(type.get_name(), name);
    EXPECT_TRUE(rttr::type::get<DistancePointPointTool>().is_derived_from<GeometryToolBase>());
    EXPECT_TRUE(rttr::type::get<GeometryToolBase>().is_derived_from<Vision::Implementation::ToolBase>());

    // The most derived type is found through a base pointer.
    std::shared_ptr<Vision::Implementation::ToolBase> tool = Quill::Create<AnglePointPointTool>();
    EXPECT_EQ(rttr::type::get(*tool), rttr::type::get<AnglePointPointTool>());
    for (const char* property : {"InputImage", "StartX", "Angle", "CurrentRecordEnable", "LastRunRecordDiagEnable"})
        EXPECT_TRUE(rttr::type::get(*tool).get_property(property).is_valid()) << property;
}

TEST(Registration, StateFlagsChainFromTheFramework)
{
    EXPECT_EQ(GeometryToolBase::sf0_, 0x80u);
    EXPECT_EQ(GeometryToolBase::SfInputImage, 0x80u);
    EXPECT_EQ(GeometryToolBase::sfNextSf_, 0x100u);
    EXPECT_EQ(GeometryToolBaseOutputStyle::sf0_, 0x100u);
    EXPECT_EQ(GeometryToolBaseOutputStyle::SfOutputColor, 0x100u);
    EXPECT_EQ(GeometryToolBaseOutputStyle::SfOutputLineWidthInScreenPixels, 0x200u);
    EXPECT_EQ(GeometryToolBaseOutputStyle::SfOutputLineStyle, 0x400u);
    EXPECT_EQ(GeometryToolBaseOutputStyle::sfNextSf_, 0x800u);
    EXPECT_EQ(DistancePointPointTool::SfDistance, 0x8000u);
    EXPECT_EQ(DistancePointPointTool::SfAngle, 0x10000u);
    EXPECT_EQ(AnglePointPointTool::SfAngle, 0x8000u);
}

TEST(Registration, GeometryExceptionKeepsItsCodeThroughARunStatus)
{
    const GeometryException original("The points specified for the fitting operation are ambiguous",
                                     GeometryExceptionCodes::AmbiguousPoints);
    EXPECT_EQ(original.Code(), 2u);
    try {
        original.CloneException()->ThrowException();
        FAIL();
    } catch (const GeometryException& e) {
        EXPECT_EQ(e.GeometryCode(), GeometryExceptionCodes::AmbiguousPoints);
        EXPECT_EQ(rttr::type::get<GeometryExceptionCodes>().get_enumeration().value_to_name(e.GeometryCode()),
                  "AmbiguousPoints");
        EXPECT_EQ(e.Message(), original.Message());
    }
}

TEST(Registration, MathUtilsRoundTripsThroughAnArchive)
{
    std::stringstream stream;
    Serialization::Save(stream, std::make_shared<MathUtils>(), 0);
    EXPECT_NE(stream.str().find("Ostrel::Vision::Geometry::MathUtils"), std::string::npos);
    EXPECT_TRUE(std::dynamic_pointer_cast<MathUtils>(Serialization::Load(stream)));
    double angle = 7;
    EXPECT_THROW(MathUtils::DistancePointPoint(0, std::nan(""), 1, 1, angle), ArgumentException);
    EXPECT_EQ(angle, 7);  // untouched when the call throws
}

namespace {

using Bits = std::vector<std::pair<std::string, std::uint32_t>>;

// A tool's row of the library's tables: its base, the tool's own bits of its three
// record-switch enumerations (the input-image bits every tool has are added below).
template <class T>
std::shared_ptr<Quill::IObject> New()
{
    return Quill::Create<T>();
}

struct ToolRow {
    std::shared_ptr<Quill::IObject> (*create)();
    const char* name;
    const char* base;
    Bits current, lastRun, diag;
};

const ToolRow toolRows[] = {
    {New<DistancePointPointTool>, "DistancePointPointTool", "GeometryToolBase", {{"StartPoint", 0x2}, {"EndPoint", 0x4}}, {{"None", 0}},
     {{"StartPoint", 0x10}, {"EndPoint", 0x20}, {"Arrow", 0x40}}},
    {New<AnglePointPointTool>, "AnglePointPointTool", "GeometryToolBase", {{"StartPoint", 0x2}, {"EndPoint", 0x4}}, {{"None", 0}},
     {{"StartPoint", 0x10}, {"EndPoint", 0x20}, {"Arrow", 0x40}}},
    {New<DistancePointCircleTool>, "DistancePointCircleTool", "GeometryToolBase", {{"Point", 0x2}, {"Circle", 0x4}}, {{"None", 0}},
     {{"Point", 0x10}, {"Circle", 0x20}, {"Arrow", 0x40}}},
};

Bits EnumerationBits(const std::string& name)
{
    const auto type = rttr::type::get_by_name(name);
    EXPECT_TRUE(type.is_enumeration()) << name;
    Bits bits;
    for (const auto& enumerator : type.get_enumeration().get_names())
        bits.emplace_back(enumerator.to_string(),
                          type.get_enumeration().name_to_value(enumerator).to_uint32());
    std::sort(bits.begin(), bits.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return bits;
}

} // namespace

TEST(Registration, EveryToolMatchesItsRowOfTheTables)
{
    const std::string ns = "Ostrel::Vision::Geometry::";
    for (const auto& row : toolRows) {
        SCOPED_TRACE(row.name);
        const auto type = rttr::type::get_by_name(ns + row.name);
        ASSERT_TRUE(type.is_valid());
        EXPECT_TRUE(type.is_derived_from(rttr::type::get_by_name(ns + "Implementation::" + row.base)));
        for (const char* property : {"InputImage", "CurrentRecordEnable", "LastRunRecordEnable", "LastRunRecordDiagEnable"})
            EXPECT_TRUE(type.get_property(property).is_valid()) << property;

        const std::string stem = ns + std::string(row.name).substr(0, std::strlen(row.name) - 4);
        Bits current{{"InputImage", 0x1}}, diag{{"InputImageByReference", 0x1}, {"InputImageByCopy", 0x4}};
        current.insert(current.end(), row.current.begin(), row.current.end());
        diag.insert(diag.end(), row.diag.begin(), row.diag.end());
        EXPECT_EQ(EnumerationBits(stem + "CurrentRecordConstants"), current);
        EXPECT_EQ(EnumerationBits(stem + "LastRunRecordConstants"), row.lastRun);
        EXPECT_EQ(EnumerationBits(stem + "LastRunRecordDiagConstants"), diag);

        // Saved with class version 1: after the class name, the pointer id, then the version.
        const auto tool = row.create();
        EXPECT_EQ(rttr::type::get(*tool), type);
        const std::string bytes = SaveToString(tool, 0);
        const auto at = bytes.find(ns + row.name);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(bytes.substr(at + ns.size() + std::strlen(row.name) + 4, 4), std::string("\1\0\0\0", 4));
    }
}
