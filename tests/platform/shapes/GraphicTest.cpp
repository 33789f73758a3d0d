#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rttr/type>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>
#include <Ostrel/Vision/Strings.h>

#include "common/EventRecorder.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;

namespace {

std::shared_ptr<LineSegment> StyledSegment()
{
    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(1, 2, 3, 4);
    segment->setStartPointAdornment(LineSegmentAdornmentConstants::Arrow);
    segment->setSelectedSpaceName("#/Fixture");
    segment->setColor(Color32::FromUInt32(0xFF123456));
    segment->setLineStyle(GraphicLineStyleConstants::DashDot);
    segment->setLineWidthInScreenPixels(3);
    segment->setTipText("tip");
    segment->setInteractive(true);
    segment->setSelectable(false);
    segment->setSelectedColor(Color32::FromUInt32(0xFFFFFF00));
    segment->setSelectedLineStyle(GraphicLineStyleConstants::Dot);
    segment->setGraphicDOFEnable(0x80000000);
    auto label = Quill::Create<GraphicLabel>();
    label->setText("child");
    label->setColor(Color32::FromUInt32(0xFF0000FF));
    segment->ChildGraphics().Add(label);
    return segment;
}

} // namespace

TEST(GraphicCopy, EachModeBitCarriesItsPropertiesAndGeometryAlwaysComes)
{
    const auto source = StyledSegment();
    auto copy = [&source](CopyShapeConstants mode) { return source->Copy(static_cast<std::uint32_t>(mode)); };
    const auto fresh = Quill::Create<LineSegment>();

    const auto bare = copy(CopyShapeConstants::GeometryOnly);
    EXPECT_EQ(bare->EndY(), 4);
    EXPECT_EQ(bare->StartPointAdornment(), LineSegmentAdornmentConstants::Arrow);
    EXPECT_EQ(bare->SelectedSpaceName(), ".");
    EXPECT_EQ(bare->Color(), fresh->Color());
    EXPECT_EQ(bare->TipText(), "");
    EXPECT_FALSE(bare->Interactive());
    EXPECT_EQ(bare->GraphicDOFEnable(), 0u);
    EXPECT_EQ(bare->ChildGraphics().Count(), 0);

    const auto styled = copy(CopyShapeConstants::GraphicProperties);
    EXPECT_EQ(styled->SelectedSpaceName(), "#/Fixture");
    EXPECT_EQ(styled->Color().ToUInt32(), 0xFF123456u);
    EXPECT_EQ(styled->LineStyle(), GraphicLineStyleConstants::DashDot);
    EXPECT_EQ(styled->LineWidthInScreenPixels(), 3);
    EXPECT_EQ(styled->TipText(), "");
    EXPECT_FALSE(styled->Interactive());

    EXPECT_EQ(copy(CopyShapeConstants::TipText)->TipText(), "tip");
    const auto interactive = copy(CopyShapeConstants::InteractiveProperties);
    EXPECT_TRUE(interactive->Interactive());
    EXPECT_FALSE(interactive->Selectable());
    EXPECT_EQ(interactive->SelectedColor().ToUInt32(), 0xFFFFFF00u);
    EXPECT_EQ(interactive->SelectedLineStyle(), GraphicLineStyleConstants::Dot);
    EXPECT_EQ(interactive->GraphicDOFEnable(), 0u);
    EXPECT_EQ(copy(CopyShapeConstants::GraphicDOF)->GraphicDOFEnable(), 0x80000000u);

    // Children are new copies made with the same mode: without GraphicProperties their
    // colour is the default.
    const auto withChildren = copy(CopyShapeConstants::ChildGraphics);
    ASSERT_EQ(withChildren->ChildGraphics().Count(), 1);
    const auto child = withChildren->ChildGraphics().ItemAs<GraphicLabel>(0);
    EXPECT_NE(child, source->ChildGraphics()[0]);
    EXPECT_EQ(child->Text(), "child");
    EXPECT_EQ(child->Color(), fresh->Color());
    EXPECT_EQ(copy(CopyShapeConstants::All)->ChildGraphics().ItemAs<GraphicLabel>(0)->Color().ToUInt32(),
              0xFF0000FFu);

    // The line of a segment lies in the segment's space and style.
    const auto line = source->CreateLine();
    EXPECT_EQ(line->SelectedSpaceName(), "#/Fixture");
    EXPECT_EQ(line->X(), 1);
    EXPECT_DOUBLE_EQ(line->Rotation(), std::numbers::pi / 4);
    EXPECT_FALSE(line->Interactive());
}

TEST(GraphicEvents, SettersRaiseTheFlagsOfWhatChangedOnce)
{
    auto circle = Quill::Create<Circle>();
    EventRecorder events(*circle);

    circle->setRadius(circle->Radius());
    circle->SetCenterRadius(circle->CenterX(), circle->CenterY(), circle->Radius());
    circle->setColor(circle->Color());
    EXPECT_TRUE(events.flags.empty());

    circle->SetCenterRadius(circle->CenterX(), 7, circle->Radius());
    circle->SetCenterRadius(1, 2, 3);
    circle->setTipText("r");
    circle->setSelectedSpaceName("#");
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{Circle::SfCenterY, 0x1C0000, GraphicBase::SfTipText,
                                                        GraphicBase::SfSelectedSpaceName}));
}

TEST(GraphicEvents, CompositesAndParentsPassOnTheChangesOfWhatTheyHold)
{
    auto composite = Quill::Create<CompositeShape>();
    auto marker = Quill::Create<PointMarker>();
    EventRecorder events(*composite);

    composite->Shapes().Add(marker);
    marker->setX(42);
    marker->setColor(Color32::FromUInt32(0xFFFF0000));
    composite->setID(3);
    ASSERT_EQ(events.flags,
              (std::vector<std::uint64_t>{GraphicCollection::SfItems, PointMarker::SfX, GraphicBase::SfColor,
                                          CompositeShape::SfID}));
    // A drag of a member shows in the geometry mask; a restyle or a new ID does not.
    EXPECT_NE(events.flags[0] & GraphicBase::GeometryStateFlags, 0u);
    EXPECT_NE(events.flags[1] & GraphicBase::GeometryStateFlags, 0u);
    EXPECT_EQ(events.flags[2] & GraphicBase::GeometryStateFlags, 0u);
    EXPECT_EQ(events.flags[3] & GraphicBase::GeometryStateFlags, 0u);

    auto segment = Quill::Create<LineSegment>();
    auto label = Quill::Create<GraphicLabel>();
    EventRecorder parentEvents(*segment);
    segment->ChildGraphics().Add(label);
    label->setText("moved");
    EXPECT_EQ(parentEvents.flags,
              (std::vector<std::uint64_t>{GraphicBase::SfChildGraphics, GraphicBase::SfChildGraphics}));

    // A collection kept past its owner no longer reports to it.
    auto children = segment->ChildGraphics().SharedFromThisAs<GraphicCollection>();
    segment.reset();
    EXPECT_NO_THROW(children->Add(Quill::Create<Circle>()));
    EXPECT_NO_THROW(label->setText("after"));
}

TEST(GraphicCollection, RefusesNullGraphicsCyclesAndBadIndices)
{
    auto outer = Quill::Create<CompositeShape>();
    auto inner = Quill::Create<CompositeShape>();
    outer->Shapes().Add(inner);
    EXPECT_THROW(outer->Shapes().Add(nullptr), ArgumentNullException);
    EXPECT_THROW(inner->Shapes().Add(outer), ArgumentException);
    EXPECT_THROW(inner->ChildGraphics().Add(inner), ArgumentException);
    EXPECT_THROW(outer->ChildGraphics().Add(outer), ArgumentException);
    EXPECT_EQ(inner->Shapes().Count(), 0);

    // The same graphic may appear twice, and removing one entry keeps the other.
    auto marker = Quill::Create<PointMarker>();
    inner->Shapes().Add(marker);
    inner->Shapes().Add(marker);
    inner->Shapes().RemoveAt(0);
    ASSERT_EQ(inner->Shapes().Count(), 1);
    EXPECT_EQ(inner->Shapes()[0], marker);
    EXPECT_THAT([&] { inner->Shapes().Item(1); },
                ThrowsWith<ArgumentOutOfRangeException>("The index passed to GraphicCollection::Item is out "
                                                        "of range: it must be at least 0 and less than 1."));
}

// A graphic reports each change to every collection holding it, once per place it has
// there and after its own subscribers, and the collection names it; letting it go, clearing
// and destroying a collection cut the link, also in the middle of a report, and a suspended
// graphic reports at the resume.
TEST(GraphicCollection, PassesOnTheChangesOfItsGraphicsWhileItHoldsThem)
{
    std::vector<std::string> log;
    auto marker = Quill::Create<PointMarker>();
    auto listen = [&](Quill::IChangedEvent& source, const std::string& name) {
        return std::make_unique<boost::signals2::scoped_connection>(
            source.ChangedEvent().connect([&, name](const std::shared_ptr<Quill::ChangedEventArgs>& args) {
                const auto* passedOn = dynamic_cast<const GraphicChangedEventArgs*>(args.get());
                log.push_back(name + " " + std::to_string(args->StateFlags()) +
                              (passedOn ? passedOn->Graphic() == marker ? " of marker" : " of ?" : ""));
            }));
    };
    auto entry = [](const std::string& name, std::uint64_t flags) { return name + " " + std::to_string(flags); };
    auto of = [&](const std::string& name, std::uint64_t flags) { return entry(name, flags) + " of marker"; };
    const std::uint64_t items = GraphicCollection::SfItems, x = PointMarker::SfX, y = PointMarker::SfY;

    auto first = Quill::Create<GraphicCollection>(), second = Quill::Create<GraphicCollection>(),
         third = Quill::Create<GraphicCollection>();
    const auto listeners = {listen(*first, "first"), listen(*second, "second"), listen(*third, "third")};
    first->Add(marker);
    first->Add(marker);
    second->Add(marker);
    const auto own = listen(*marker, "marker");
    marker->setX(1);
    first->RemoveAt(0);
    marker->SuspendChangedEvent();
    marker->setX(2);
    marker->setY(3);
    marker->ResumeAndRaiseChangedEvent();
    first->Clear();
    second.reset();
    // Held twice, let go at the first report: the second place hears nothing.
    third->Add(marker);
    third->Add(marker);
    const auto clearing = third->ChangedEvent().connect([&](const auto&) { third->Clear(); });
    marker->setY(4);
    marker->setX(5);
    EXPECT_EQ(log, (std::vector<std::string>{
                       entry("first", items), entry("first", items), entry("second", items),
                       entry("marker", x), of("first", x), of("first", x), of("second", x),
                       entry("first", items),
                       entry("marker", x | y), of("first", x | y), of("second", x | y),
                       entry("first", items), entry("third", items), entry("third", items),
                       entry("marker", y), of("third", y), entry("third", items), entry("marker", x)}));
}

TEST(ShapeValidation, BadInputThrowsANamedErrorAndChangesNothing)
{
    auto circle = Quill::Create<Circle>();
    EXPECT_THAT([&] { circle->setCenterX(std::nan("")); },
                ThrowsWith<ArgumentException>("The argument CenterX must be a finite number."));
    EXPECT_THAT([&] { circle->SetCenterRadius(1, 2, -1); },
                ThrowsWith<ArgumentOutOfRangeException>(
                    "The argument Radius is out of range: it must be greater than or equal to 0."));
    EXPECT_EQ(circle->CenterX(), 100);  // nothing of the failed call was stored
    EXPECT_THROW(circle->setRadius(INFINITY), ArgumentException);

    auto line = Quill::Create<Line>();
    EXPECT_THAT([&] { line->SetFromStartXYEndXY(3, 4, 3, 4); },
                ThrowsWith<ShapeException>(std::string(Strings::E_OstShape_CoordinatesMustDiffer)));
    line->SetFromStartXYEndXY(1, 1, 1, 5);
    EXPECT_DOUBLE_EQ(line->Rotation(), std::numbers::pi / 2);
    line->SetDistanceRotation(-2, 0);  // below the x axis, pointing along it
    EXPECT_EQ(line->Y(), -2);

    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(5, 5, 5, 5);
    EXPECT_EQ(segment->Length(), 0);
    EXPECT_THROW(segment->CreateLine(), ShapeException);
    segment->SetStartEnd(-1e308, 0, 1e308, 1e308);  // the difference overflows, its direction not
    EXPECT_DOUBLE_EQ(segment->Rotation(), std::atan(0.5));
    EXPECT_THROW(segment->Length(), ShapeException);

    auto polygon = Quill::Create<Polygon>();
    polygon->AddVertex(0, 0);
    polygon->AddVertex(1, 0);
    EXPECT_THAT([&] { polygon->VertexX(2); },
                ThrowsWith<ArgumentOutOfRangeException>(
                    "The index passed to VertexX is out of range: it must be at least 0 and less than 2."));
    EXPECT_THROW(polygon->SetVertex(0, 0, std::nan("")), ArgumentException);

    auto marker = Quill::Create<PointMarker>();
    EXPECT_THAT([&] { marker->setGraphicType(static_cast<PointMarkerGraphicTypeConstants>(9)); },
                ThrowsWith<ArgumentOutOfRangeException>(
                    "The argument GraphicType is out of range: it must lie between 0 and 4."));
    EXPECT_THROW(marker->SetCenterRotationSize(0, 0, 0, -1), ArgumentOutOfRangeException);
    EXPECT_THROW(marker->setLineWidthInScreenPixels(-1), ArgumentOutOfRangeException);
}

// Properties and pin paths through shapes are exercised by the geometry tools; these names
// are reached only by hosts.
TEST(ShapeReflection, MethodsEnumerationsAndCompositeIdAreRegistered)
{
    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(1, 2, 4, 6);
    const std::shared_ptr<GraphicBase> graphic = segment;
    EXPECT_EQ(rttr::type::get(*graphic).get_method("Length").invoke(*graphic).get_value<double>(), 5);
    const rttr::enumeration styles = rttr::type::get<GraphicLineStyleConstants>().get_enumeration();
    EXPECT_EQ(styles.value_to_name(GraphicLineStyleConstants::Dot), "Dot");
    EXPECT_TRUE(rttr::type::get_by_name("Ostrel::Vision::CompositeShape").get_property("ID").is_valid());
}
