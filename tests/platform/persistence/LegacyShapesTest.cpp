#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>

#include "LegacyTables.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Implementation::Internal;
using namespace LegacyTables;

namespace {

template <class T> std::shared_ptr<T> Convert(ConversionContext& table, std::int64_t handle)
{
    auto object = std::dynamic_pointer_cast<T>(Orv9xConverter::Orv9xConvert(handle, &table));
    EXPECT_TRUE(object) << "handle " << handle;
    return object;
}

// One object of every platform type: a line with every common graphic property and a
// label child, the other graphics with their geometry and own options only.
const char* const Shapes = R"({"objects": [
  {"handle": 1, "type": "Circle", "properties": {"CenterX": 1, "CenterY": 2, "Radius": 3.5}},
  {"handle": 2, "type": "Ellipse", "properties": {"CenterX": 1, "CenterY": 2, "RadiusX": 4, "RadiusY": 3,
                                                  "Rotation": 0.5}},
  {"handle": 3, "type": "Line", "properties": {"X": 5, "Y": 6, "Rotation": -1,
      "SelectedSpaceName": "#", "Color": {"color": "0xFF112233"}, "LineStyle": 2, "LineWidthInScreenPixels": 3,
      "TipText": "edge", "Interactive": true, "Selectable": false, "SelectedColor": -1, "SelectedLineStyle": 4,
      "GraphicDOFEnable": -2147483648, "ChildGraphicsCount": 1, "ChildGraphics0": {"handle": 7}}},
  {"handle": 4, "type": "LineSegment", "properties": {"StartX": 0, "StartY": 0, "EndX": 3, "EndY": 4,
                                                      "EndPointAdornment": 1}},
  {"handle": 5, "type": "PointMarker", "properties": {"X": 7, "Y": 8, "Rotation": 0.25, "Size": 9,
                                                      "GraphicType": 3}},
  {"handle": 6, "type": "Polygon", "properties": {"VerticesCount": 3, "Vertices0.X": 0, "Vertices0.Y": 0,
      "Vertices1.X": 4, "Vertices1.Y": 0, "Vertices2.X": 4, "Vertices2.Y": 3}},
  {"handle": 7, "type": "GraphicLabel", "properties": {"Text": "A", "X": 1.5, "Y": 2.5, "Alignment": 4}},
  {"handle": 8, "type": "Image8Grey", "properties": {"Width": 64, "Height": 48, "SelectedSpaceName": "#"}}
]})";

} // namespace

TEST(LegacyShapes, EveryPlatformTypeIsFilledFromItsLegacyProperties)
{
    auto table = Table(Shapes);

    auto circle = Convert<Circle>(*table, 1);
    EXPECT_EQ(circle->CenterX(), 1);
    EXPECT_EQ(circle->Radius(), 3.5);
    EXPECT_EQ(circle->Color(), Quill::Create<Circle>()->Color()); // absent style properties keep defaults
    auto ellipse = Convert<Ellipse>(*table, 2);
    EXPECT_EQ(ellipse->RadiusY(), 3);
    EXPECT_EQ(ellipse->Rotation(), 0.5);

    auto line = Convert<Line>(*table, 3);
    EXPECT_EQ(line->Y(), 6);
    EXPECT_EQ(line->Rotation(), -1);
    EXPECT_EQ(line->SelectedSpaceName(), "#");
    EXPECT_EQ(line->Color(), Color32::FromUInt32(0xFF112233));
    EXPECT_EQ(line->LineStyle(), GraphicLineStyleConstants::Dot);
    EXPECT_EQ(line->LineWidthInScreenPixels(), 3);
    EXPECT_EQ(line->TipText(), "edge");
    EXPECT_TRUE(line->Interactive());
    EXPECT_FALSE(line->Selectable());
    EXPECT_EQ(line->SelectedColor(), Color32::FromUInt32(0xFFFFFFFF));
    EXPECT_EQ(line->SelectedLineStyle(), GraphicLineStyleConstants::DashDotDot);
    EXPECT_EQ(line->GraphicDOFEnable(), 0x80000000u);
    ASSERT_EQ(line->ChildGraphics().Count(), 1);
    EXPECT_EQ(line->ChildGraphics()[0], Convert<GraphicLabel>(*table, 7)); // the converted label itself

    auto segment = Convert<LineSegment>(*table, 4);
    EXPECT_EQ(segment->Length(), 5);
    EXPECT_EQ(segment->StartPointAdornment(), LineSegmentAdornmentConstants::None);
    EXPECT_EQ(segment->EndPointAdornment(), LineSegmentAdornmentConstants::Arrow);
    auto marker = Convert<PointMarker>(*table, 5);
    EXPECT_EQ(marker->Size(), 9);
    EXPECT_EQ(marker->GraphicType(), PointMarkerGraphicTypeConstants::Diamond);
    auto polygon = Convert<Polygon>(*table, 6);
    ASSERT_EQ(polygon->NumVertices(), 3);
    EXPECT_EQ(polygon->VertexX(2), 4);
    EXPECT_EQ(polygon->VertexY(2), 3);
    auto label = Convert<GraphicLabel>(*table, 7);
    EXPECT_EQ(label->Text(), "A");
    EXPECT_EQ(label->Alignment(), GraphicLabelAlignmentConstants::Center);
    auto image = Convert<Image8Grey>(*table, 8);
    EXPECT_EQ(image->Width(), 64);
    EXPECT_EQ(image->Height(), 48);
    EXPECT_TRUE(table->LogEntries().empty());
}

TEST(LegacyShapes, BadLegacyValuesFailWithTheFetchOrTheObjectException)
{
    auto table = Table(R"({"objects": [
      {"handle": 1, "type": "Circle", "properties": {"CenterX": 1, "CenterY": 2}},
      {"handle": 2, "type": "Circle", "properties": {"CenterX": 1, "CenterY": null, "Radius": 1}},
      {"handle": 3, "type": "Circle", "properties": {"CenterX": 1, "CenterY": 2, "Radius": -1}},
      {"handle": 4, "type": "Line", "properties": {"X": 0, "Y": 0, "Rotation": 0, "LineStyle": 9}},
      {"handle": 5, "type": "Line", "properties": {"X": 0, "Y": 0, "Rotation": 0, "ChildGraphicsCount": 1,
                                                   "ChildGraphics0": {"handle": 8}}},
      {"handle": 6, "type": "Polygon", "properties": {"VerticesCount": 2, "Vertices0.X": 0, "Vertices0.Y": 0}},
      {"handle": 7, "type": "Image8Grey", "properties": {"Width": -1, "Height": 4}},
      {"handle": 8, "type": "Image8Grey", "properties": {"Width": 2, "Height": 2}}
    ]})");
    auto convert = [&](std::int64_t handle) {
        return [&table, handle] { Orv9xConverter::Orv9xConvert(handle, table.get()); };
    };
    EXPECT_THROW(convert(1)(), std::out_of_range);
    EXPECT_EQ(MessageOf<std::runtime_error>(convert(2)), "Bad Fetch, null variant");
    EXPECT_THROW(convert(3)(), VisionException); // the circle refuses a negative radius
    EXPECT_EQ(MessageOf<std::runtime_error>(convert(4)),
              "Bad Fetch, \"LineStyle\" of legacy object 4 (Line) holds 9, outside the range 0 to 4");
    EXPECT_EQ(MessageOf<std::runtime_error>(convert(5)),
              "Bad Fetch, \"ChildGraphics0\" of legacy object 5 (Line) refers to no graphic");
    EXPECT_THROW(convert(6)(), std::out_of_range); // Vertices1.X is missing
    EXPECT_THROW(convert(7)(), VisionException);
    for (std::int64_t handle = 1; handle <= 7; ++handle)
        EXPECT_EQ(table->Converted(handle), nullptr) << handle;
}

TEST(LegacyShapes, ALongChainOfChildGraphicsEndsInTheLibraryException)
{
    // Each circle holds the next as its child: a chain far longer than any real graphic tree.
    std::string text = R"({"objects": [)";
    constexpr int Links = 11000;
    for (int handle = 1; handle <= Links; ++handle) {
        text += "{\"handle\": " + std::to_string(handle) +
                R"(, "type": "Circle", "properties": {"CenterX": 0, "CenterY": 0, "Radius": 1)";
        if (handle < Links)
            text += R"(, "ChildGraphicsCount": 1, "ChildGraphics0": {"handle": )" + std::to_string(handle + 1) + "}";
        text += handle < Links ? "}}," : "}}";
    }
    auto table = Table(text + "]}");
    const std::string message =
        MessageOf<SerializationException>([&] { Orv9xConverter::Orv9xConvert(1, table.get()); });
    EXPECT_NE(message.find("chain of more than 128 legacy objects"), std::string::npos) << message;
    EXPECT_EQ(table->Converted(1), nullptr);
    // The bound is 128 objects converted within one another: a chain one longer fails, a
    // chain of 128 converts whole.
    EXPECT_THROW(Orv9xConverter::Orv9xConvert(Links - 128, table.get()), SerializationException);
    auto longest = Convert<Circle>(*table, Links - 127);
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->ChildGraphics().Count(), 1);
}
