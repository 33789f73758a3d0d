#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
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
#include <Ostrel/Vision/ToolPin.h>

#include "common/ToolTestSupport.h"

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

std::string Save(const std::shared_ptr<Quill::IObject>& object) { return SaveToString(object, ArchiveOptions::None); }
std::shared_ptr<Quill::IObject> Load(const std::string& bytes) { return LoadFromString<Quill::IObject>(bytes); }

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
std::shared_ptr<T> Sample(void (*set)(T&))
{
    auto shape = Quill::Create<T>();
    set(*shape);
    return shape;
}
template <class T>
std::shared_ptr<T> Sample();
#define OSTREL_SAMPLE(T, ...) \
    template <> std::shared_ptr<T> Sample() { return Sample<T>([](T& s) { __VA_ARGS__; }); }
OSTREL_SAMPLE(Circle, s.SetCenterRadius(1.5, -2.25, 3.125))
OSTREL_SAMPLE(Ellipse, s.SetCenterXYRadiusXYRotation(4, 5, 0.1, 7, -1.2))
OSTREL_SAMPLE(Line, s.SetXYRotation(-3, 8, 2.75))
OSTREL_SAMPLE(LineSegment, s.SetStartEnd(0.5, 1.5, -9, 12), s.setEndPointAdornment(LineSegmentAdornmentConstants::Arrow))
OSTREL_SAMPLE(Polygon, s.AddVertex(0, 0), s.AddVertex(3.5, 0.25), s.AddVertex(1, 7))
OSTREL_SAMPLE(PointMarker, s.SetCenterRotationSize(6, 7, 0.5, 20),
              s.setGraphicType(PointMarkerGraphicTypeConstants::Diamond))
OSTREL_SAMPLE(CircularArc, s.SetCenterRadiusAngleStartAngleSpan(1, 2, 3, -0.5, -2),
              s.setStartPointAdornment(LineSegmentAdornmentConstants::Arrow))
OSTREL_SAMPLE(GraphicLabel, s.setText("Distance=12.5"), s.setX(30),
              s.setAlignment(GraphicLabelAlignmentConstants::BottomRight))
OSTREL_SAMPLE(CompositeShape, s.setID(17), s.setCompositionMode(CompositeShapeCompositionModeConstants::Grouped),
              s.Shapes().Add(Sample<PointMarker>()), s.Shapes().Add(Sample<Circle>()))
#undef OSTREL_SAMPLE

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
    EXPECT_THAT([&] { Load(newer); },
                ThrowsWith<SerializationException>(name.substr(name.rfind(':') + 1) + "::serialize()"));
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
        EXPECT_THAT([&] { Load(Patch(bytes, 12345.5, bad)); },
                    ThrowsWith<SerializationException>("Circle::serialize(): the archived radius"))
            << bad;
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
    EXPECT_THAT([&] { Load(Save(root)); }, ThrowsWith<SerializationException>("nested more than"));
}
