#include <cmath>
#include <cstdint>
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

// The FNV-1a hash of an archive: its stored bytes in sixteen hex digits. A change of the
// wire format (fields moved, added or dropped, on save and load alike) changes it.
std::uint64_t Fingerprint(const std::string& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char byte : bytes)
        hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

// The fingerprints and sizes of the archives of the samples as this format writes them.
// Change one only with a new class version and a loader for the old one.
template <class T> struct StoredArchive;
#define OSTREL_STORED_ARCHIVE(Type, size, hash)                                                                        \
    template <> struct StoredArchive<Type> {                                                                           \
        static constexpr std::size_t Size = size;                                                                      \
        static constexpr std::uint64_t Hash = hash;                                                                    \
    };
OSTREL_STORED_ARCHIVE(Circle, 130, 0x50d005f9a1c284aaull)
OSTREL_STORED_ARCHIVE(Ellipse, 147, 0xd2d84f03d999e9deull)
OSTREL_STORED_ARCHIVE(Line, 128, 0x54b0f8a78df47cceull)
OSTREL_STORED_ARCHIVE(LineSegment, 151, 0x8592313fe079ef9bull)
OSTREL_STORED_ARCHIVE(Polygon, 163, 0x35b1b5630f4e2bcull)
OSTREL_STORED_ARCHIVE(PointMarker, 143, 0x853cb462494d4393ull)
OSTREL_STORED_ARCHIVE(CircularArc, 159, 0x18b01ad6a09f6b09ull)
OSTREL_STORED_ARCHIVE(GraphicLabel, 153, 0x54088d24e74095f9ull)
OSTREL_STORED_ARCHIVE(CompositeShape, 377, 0xe64dfbc81c06062bull)
#undef OSTREL_STORED_ARCHIVE

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

TYPED_TEST(GraphicArchive, StoredBytesAreTheWireFormatAndTheVersionIsChecked)
{
    const std::string bytes = Save(Sample<TypeParam>());
    EXPECT_EQ(bytes.size(), StoredArchive<TypeParam>::Size);
    EXPECT_EQ(Fingerprint(bytes), StoredArchive<TypeParam>::Hash) << fmt::format("0x{:x}ull", Fingerprint(bytes));
    // The class version follows the class name and the 4-byte object id.
    const std::string name = rttr::type::get<TypeParam>().get_name().to_string();
    const auto at = bytes.find(name);
    ASSERT_NE(at, std::string::npos);
    std::string newer = bytes;
    newer[at + name.size() + 4] += 1;
    try {
        Load(newer);
        ADD_FAILURE() << "a newer version of " << name << " loads";
    } catch (const SerializationException& e) {
        const std::string shortName = name.substr(name.rfind(':') + 1);
        EXPECT_NE(e.Message().find(shortName + "::serialize()"), std::string::npos) << e.Message();
    }
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
