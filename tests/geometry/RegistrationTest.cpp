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
