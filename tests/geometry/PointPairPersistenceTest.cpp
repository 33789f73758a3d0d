// Archives and legacy conversion of the point-pair tools.
#include <random>

#include <gtest/gtest.h>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Legacy.h>

#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;

namespace {

std::shared_ptr<DistancePointPointTool> RanTool()
{
    auto tool = Quill::Create<DistancePointPointTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(8, 8));
    tool->setStartX(1);
    tool->setEndX(4);
    tool->setEndY(14);
    tool->Run();
    return tool;
}

} // namespace

TEST(PointPairArchive, VersionAndCorruptionFailCleanly)
{
    const std::string bytes = SaveToString(RanTool(), 0x101);
    const std::string name = "Ostrel::Vision::Geometry::DistancePointPointTool";
    const auto at = bytes.find(name);
    ASSERT_NE(at, std::string::npos);
    // After the class name: the pointer id, then the tool's class version.
    // A class version this code does not write (newer, or 0) is a plain mismatch.
    for (std::uint32_t version : {2u, 0u}) {
        std::string patched = bytes;
        for (int i = 0; i < 4; ++i)
            patched[at + name.size() + 4 + i] = static_cast<char>(version >> (8 * i));
        EXPECT_THAT([&] { LoadFromString<DistancePointPointTool>(patched); },
                    testing::Throws<SerializationException>(testing::Property(
                        &SerializationException::Message,
                        "Persistence version mismatch in DistancePointPointTool::serialize()")))
            << version;
    }
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        std::string damaged = bytes;
        for (int flips = 0; flips < 3; ++flips)
            damaged[random() % damaged.size()] ^= static_cast<char>(1 + random() % 255);
        try {
            LoadFromString<DistancePointPointTool>(damaged);
        } catch (const SerializationException&) {
        }
    }
}

TEST(PointPairLegacy, ConvertsMarkersAndTheImageUnderEitherName)
{
    ConversionContext table;
    table.Add(1, ObjectInfo("DistancePointPointTool",
                            {{"mInputImage", LegacyHandle{2}}, {"StartPoint", LegacyHandle{3}}, {"EndPoint", LegacyHandle{4}}}));
    table.Add(2, ObjectInfo("Image8Grey", {{"Width", 16}, {"Height", 8}}));
    table.Add(3, ObjectInfo("PointMarker", {{"X", 1.0}, {"Y", 2.0}, {"Rotation", 0.0}, {"Size", 11}}));
    table.Add(4, ObjectInfo("PointMarker", {{"X", 4.0}, {"Y", 6.0}, {"Rotation", 0.0}, {"Size", 11}}));
    auto tool = std::dynamic_pointer_cast<DistancePointPointTool>(Orv9xConverter::Orv9xConvert(1, &table));
    ASSERT_TRUE(tool);
    ASSERT_TRUE(tool->InputImage());
    EXPECT_EQ(tool->InputImage()->Width(), 16);
    ASSERT_EQ(table.LogEntries().size(), 1u);
    EXPECT_EQ(static_cast<int>(table.LogEntries()[0].Header), 1);
    EXPECT_TRUE(table.LogEntries()[0].Text.ends_with(", error for field: InputImage")) << table.LogEntries()[0].Text;
    tool->Run();
    EXPECT_EQ(tool->Distance(), 5);
    EventRecorder events(*tool);
    tool->CreateCurrentRecord()->SubRecords()[0]->SubRecords()[0]->ValueAs<PointMarker>()->setY(0);
    EXPECT_EQ(events.flags, std::vector<std::uint64_t>{0x1800});

    ConversionContext missing;
    missing.Add(1, ObjectInfo("AnglePointPointTool", {{"InputImage", LegacyHandle{2}}, {"StartPoint", LegacyHandle{3}}}));
    missing.Add(2, ObjectInfo("Image8Grey", {{"Width", 4}, {"Height", 4}}));
    missing.Add(3, ObjectInfo("PointMarker", {{"X", 1.0}, {"Y", 2.0}, {"Rotation", 0.0}, {"Size", 11}}));
    EXPECT_THAT([&] { Orv9xConverter::Orv9xConvert(1, &missing); },
                testing::ThrowsMessage<std::out_of_range>(testing::StrEq("invalid map<K, T> key")));
    EXPECT_THROW(Orv9xConverter::Orv9xConvert(99, &missing), std::out_of_range);

    // A number where a marker is expected stops the conversion with a clear error.
    ConversionContext mistyped;
    mistyped.Add(1, ObjectInfo("DistancePointPointTool", {{"InputImage", LegacyHandle{2}}, {"StartPoint", 3.5},
                                                          {"EndPoint", LegacyHandle{3}}}));
    mistyped.Add(2, ObjectInfo("Image8Grey", {{"Width", 4}, {"Height", 4}}));
    mistyped.Add(3, ObjectInfo("PointMarker", {{"X", 1.0}, {"Y", 2.0}, {"Rotation", 0.0}, {"Size", 11}}));
    EXPECT_THROW(Orv9xConverter::Orv9xConvert(1, &mistyped), std::runtime_error);
}
