#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <rttr/type>

#include <Ostrel/Quill/ChangedSignal.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>

using namespace Ostrel;
using namespace Ostrel::Vision;

namespace {

// Every reflected property of a graphic and, recursively, of what it holds, as text: two
// graphics with the same description agree in everything a host can read.
std::string Describe(const GraphicBase& graphic);

std::string Describe(const GraphicCollection& collection)
{
    std::string text = "[";
    for (const auto& item : collection)
        text += Describe(*item) + "; ";
    return text + "]";
}

std::string Describe(const GraphicBase& graphic)
{
    const rttr::type type = rttr::type::get(graphic);
    std::string text = type.get_name().to_string() + "{";
    for (const rttr::property& property : type.get_properties()) {
        const rttr::variant value = property.get_value(graphic);
        std::string shown;
        if (value.is_type<double>())
            shown = fmt::format("{}", value.get_value<double>());
        else if (value.is_type<Color32>())
            shown = fmt::format("{:08X}", value.get_value<Color32>().ToUInt32());
        else
            shown = value.to_string();
        text += property.get_name().to_string() + "=" + shown + " ";
    }
    if (const auto* composite = dynamic_cast<const CompositeShape*>(&graphic))
        text += "Shapes=" + Describe(composite->Shapes());
    return text + "Children=" + Describe(graphic.ChildGraphics()) + "}";
}

std::string Save(const std::shared_ptr<Quill::IObject>& object)
{
    std::ostringstream out;
    Serialization::Save(out, object, ArchiveOptions::None);
    return out.str();
}

std::shared_ptr<Quill::IObject> Load(const std::string& bytes)
{
    std::istringstream in(bytes);
    return Serialization::Load(in);
}

// Replaces the 8 bytes of `marker` in the archive by those of `value`.
std::string Patch(std::string bytes, double marker, double value)
{
    char from[8], to[8];
    std::memcpy(from, &marker, 8);  // the portable archive writes little-endian, as this host does
    std::memcpy(to, &value, 8);
    const auto at = bytes.find(std::string(from, 8));
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos)
        bytes.replace(at, 8, std::string(to, 8));
    return bytes;
}

// Each graphic with geometry and settings of its own, all different from the defaults.
template <class T>
std::shared_ptr<T> Sample();
template <>
std::shared_ptr<Circle> Sample()
{
    auto shape = Quill::Create<Circle>();
    shape->SetCenterRadius(1.5, -2.25, 3.125);
    return shape;
}
template <>
std::shared_ptr<Ellipse> Sample()
{
    auto shape = Quill::Create<Ellipse>();
    shape->SetCenterXYRadiusXYRotation(4, 5, 0.1, 7, -1.2);
    return shape;
}
template <>
std::shared_ptr<Line> Sample()
{
    auto shape = Quill::Create<Line>();
    shape->SetXYRotation(-3, 8, 2.75);
    return shape;
}
template <>
std::shared_ptr<LineSegment> Sample()
{
    auto shape = Quill::Create<LineSegment>();
    shape->SetStartEnd(0.5, 1.5, -9, 12);
    shape->setEndPointAdornment(LineSegmentAdornmentConstants::Arrow);
    return shape;
}
template <>
std::shared_ptr<Polygon> Sample()
{
    auto shape = Quill::Create<Polygon>();
    shape->AddVertex(0, 0);
    shape->AddVertex(3.5, 0.25);
    shape->AddVertex(1, 7);
    return shape;
}
template <>
std::shared_ptr<PointMarker> Sample()
{
    auto shape = Quill::Create<PointMarker>();
    shape->SetCenterRotationSize(6, 7, 0.5, 20);
    shape->setGraphicType(PointMarkerGraphicTypeConstants::Diamond);
    return shape;
}
template <>
std::shared_ptr<CircularArc> Sample()
{
    auto shape = Quill::Create<CircularArc>();
    shape->SetCenterRadiusAngleStartAngleSpan(1, 2, 3, -0.5, -2);
    shape->setStartPointAdornment(LineSegmentAdornmentConstants::Arrow);
    return shape;
}
template <>
std::shared_ptr<GraphicLabel> Sample()
{
    auto shape = Quill::Create<GraphicLabel>();
    shape->setText("Distance=12.5");
    shape->setX(30);
    shape->setAlignment(GraphicLabelAlignmentConstants::BottomRight);
    return shape;
}
template <>
std::shared_ptr<CompositeShape> Sample()
{
    auto shape = Quill::Create<CompositeShape>();
    shape->setID(17);
    shape->setCompositionMode(CompositeShapeCompositionModeConstants::Grouped);
    shape->Shapes().Add(Sample<PointMarker>());
    shape->Shapes().Add(Sample<Circle>());
    return shape;
}

template <class T>
class GraphicArchive : public testing::Test {};

using AllGraphics = testing::Types<Circle, Ellipse, Line, LineSegment, Polygon, PointMarker, CircularArc,
                                   GraphicLabel, CompositeShape>;
TYPED_TEST_SUITE(GraphicArchive, AllGraphics);

} // namespace

TYPED_TEST(GraphicArchive, RoundTripKeepsEveryPropertyAndChild)
{
    auto original = Sample<TypeParam>();
    original->setSelectedSpaceName("#/Plate");
    original->setColor(Color32::FromUInt32(0x80FF8000));
    original->setLineStyle(GraphicLineStyleConstants::Dash);
    original->setLineWidthInScreenPixels(2);
    original->setTipText("tip text");
    original->setInteractive(true);
    original->setSelectable(false);
    original->setSelectedColor(Color32::FromUInt32(0xFFFFFF00));
    original->setSelectedLineStyle(GraphicLineStyleConstants::Dot);
    original->setGraphicDOFEnable(0x80000001);
    auto label = Sample<GraphicLabel>();
    label->setSelectedSpaceName("$");
    label->ChildGraphics().Add(Sample<Ellipse>());
    original->ChildGraphics().Add(label);
    original->ChildGraphics().Add(label);  // one graphic twice stays one graphic

    const auto loaded = std::dynamic_pointer_cast<TypeParam>(Load(Save(original)));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Describe(*loaded), Describe(*original));
    EXPECT_EQ(loaded->ChildGraphics()[0], loaded->ChildGraphics()[1]);

    // The loaded children report their changes to their new parent.
    std::uint64_t raised = 0;
    boost::signals2::scoped_connection connection = loaded->ChangedEvent().connect(
        [&raised](const std::shared_ptr<Quill::ChangedEventArgs>& args) { raised |= args->StateFlags(); });
    loaded->ChildGraphics().template ItemAs<GraphicLabel>(0)->setText("changed");
    EXPECT_EQ(raised, GraphicBase::SfChildGraphics);
}

TEST(GraphicArchive, CollectionRoundTripKeepsItsGraphicsInOrder)
{
    auto collection = Quill::Create<GraphicCollection>();
    collection->Add(Sample<CompositeShape>());
    collection->Add(Sample<LineSegment>());
    const auto loaded = std::dynamic_pointer_cast<GraphicCollection>(Load(Save(collection)));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Describe(*loaded), Describe(*collection));
}

TEST(GraphicArchive, InvalidValuesAndDeepNestingAreRejected)
{
    auto circle = Quill::Create<Circle>();
    circle->setRadius(12345.5);
    const std::string bytes = Save(circle);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), -1.0}) {
        try {
            Load(Patch(bytes, 12345.5, bad));
            ADD_FAILURE() << "no exception for radius " << bad;
        } catch (const SerializationException& e) {
            EXPECT_NE(e.Message().find("Circle::serialize(): the archived radius"), std::string::npos) << e.Message();
        }
    }

    auto polygon = Sample<Polygon>();
    polygon->AddVertex(271.25, 1);
    EXPECT_THROW(Load(Patch(Save(polygon), 271.25, std::numeric_limits<double>::infinity())), SerializationException);

    auto root = Quill::Create<GraphicLabel>();
    auto deepest = root;
    for (int depth = 0; depth < 100; ++depth) {
        auto child = Quill::Create<GraphicLabel>();
        deepest->ChildGraphics().Add(child);
        deepest = child;
    }
    try {
        Load(Save(root));
        ADD_FAILURE() << "no exception for deep nesting";
    } catch (const SerializationException& e) {
        EXPECT_NE(e.Message().find("nested more than"), std::string::npos) << e.Message();
    }
}
