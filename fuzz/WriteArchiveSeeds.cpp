// Writes the seed corpus of the archive fuzz target: one archive per registered class, each
// object with values of its own rather than defaults, tools saved after a run with every
// option so that outputs, kept images and space trees are in the archive, and the object
// graph of the archive tests; every other registered tool is created by its registered name.
// Usage: OstrelArchiveSeeds <directory>.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Geometry/FitCircle.h>
#include <Geometry/FitEllipse.h>
#include <Geometry/FitLine.h>
#include <Geometry/Implementation/FitBase.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/GraphicCollection.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>
#include <Ostrel/Vision/Transform2DComposed.h>
#include <Ostrel/Vision/ToolBase.h>
#include <Ostrel/Vision/Transform2DLensDistortion.h>
#include <rttr/type>

#include "persistence/ArchiveGraph.h"

namespace {

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

std::string directory;
int written = 0;

void Write(const std::string& name, const std::shared_ptr<Quill::IObject>& object,
           std::uint32_t options = ArchiveOptions::LastRunResults | ArchiveOptions::InputImages)
{
    std::ofstream out(directory + "/" + name, std::ios::binary);
    Serialization::Save(out, object, options);
    written += out ? 1 : 0;
}

std::shared_ptr<Image8Grey> ImageWithSpaces()
{
    auto image = Quill::Create<Image8Grey>(12, 8);
    image->SetPixel(3, 2, 200);
    const auto tree = image->CoordinateSpaceTree();
    tree->AddSpace("#", "Fixture", Transform2DLinear::ScaleRotationTranslation(2, 1.5, 0.3, -4, 7));
    tree->AddSpace("#/Fixture", "Lens",
                   Quill::Create<Transform2DLensDistortion>(6.0, 4.0, 10.0, -0.1, 0.02, 0.003, -0.002));
    image->setSelectedSpaceName("#/Fixture");
    return image;
}

void WriteShapes()
{
    auto circle = Quill::Create<Circle>();
    circle->SetCenterRadius(1.5, -2.25, 3.125);
    circle->setSelectedSpaceName("#/Fixture");
    circle->setTipText("hole");
    Write("circle", circle);
    auto ellipse = Quill::Create<Ellipse>();
    ellipse->SetCenterXYRadiusXYRotation(4, 5, 0.1, 7, -1.2);
    Write("ellipse", ellipse);
    auto line = Quill::Create<Line>();
    line->SetXYRotation(-3, 8, 2.75);
    Write("line", line);
    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(0.5, 1.5, -9, 12);
    segment->setEndPointAdornment(LineSegmentAdornmentConstants::Arrow);
    Write("segment", segment);
    auto polygon = Quill::Create<Polygon>();
    polygon->AddVertex(0, 0);
    polygon->AddVertex(3.5, 0.25);
    polygon->AddVertex(1, 7);
    Write("polygon", polygon);
    auto marker = Quill::Create<PointMarker>();
    marker->SetCenterRotationSize(6, 7, 0.5, 20);
    marker->setGraphicType(PointMarkerGraphicTypeConstants::Diamond);
    auto arc = Quill::Create<CircularArc>();
    arc->SetCenterRadiusAngleStartAngleSpan(1, 2, 3, -0.5, -2);
    Write("arc", arc);
    auto label = Quill::Create<GraphicLabel>();
    label->setText("Distance=12.5");
    label->setAlignment(GraphicLabelAlignmentConstants::BottomRight);
    label->ChildGraphics().Add(ellipse);
    Write("label", label);
    auto composite = Quill::Create<CompositeShape>();
    composite->setID(17);
    composite->Shapes().Add(marker);
    composite->Shapes().Add(circle);
    Write("composite", composite);
    auto collection = Quill::Create<GraphicCollection>();
    collection->Add(composite);
    collection->Add(segment);
    collection->Add(label);
    Write("collection", collection);
}

void WriteSpaces()
{
    const auto image = ImageWithSpaces();
    Write("image", image);
    Write("space-tree", image->CoordinateSpaceTree());
    auto linear = std::make_shared<Transform2DLinear>(1, 0.2, -0.1, 2, 5, -6);
    Write("transform-linear", linear);
    auto lens = Quill::Create<Transform2DLensDistortion>(6.0, 4.0, 10.0, -0.1, 0.02, 0.003, -0.002);
    Write("transform-lens", lens);
    Write("transform-composed", Quill::Create<Transform2DComposed>(lens, linear));
}

template <class Tool> void WriteTool(const std::string& name)
{
    auto tool = Quill::Create<Tool>();
    tool->setInputImage(ImageWithSpaces());
    tool->setStartX(1);
    tool->setStartY(2);
    tool->setEndX(7);
    tool->setEndY(-3);
    Write(name + "-new", tool, ArchiveOptions::None);
    tool->Run();
    Write(name, tool);
    Write(name + "-no-image", tool, ArchiveOptions::LastRunResults);
}

// "DistancePointCircleTool" as "distance-point-circle"; a fit tool keeps "-tool", which
// tells it from its run parameters ("fit-line-tool", "fit-line").
std::string SeedName(std::string className)
{
    className.erase(0, className.rfind(':') + 1);
    className.erase(className.size() - 4);
    std::string name;
    for (const char c : className) {
        if (std::isupper(static_cast<unsigned char>(c)) && !name.empty())
            name += '-';
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name.rfind("fit-", 0) == 0 ? name + "-tool" : name;
}

// Every other tool the library registers, created by its registered name with its default
// inputs (a fit tool with points of its own), saved new, after a run, and without its image.
void WriteRegisteredTools()
{
    for (const auto& type : rttr::type::get<Vision::Implementation::ToolBase>().get_derived_classes()) {
        const std::string className = type.get_name().to_string();
        if (className.rfind("Ostrel::Vision::Geometry::", 0) != 0 || !type.get_constructor().is_valid() ||
            type == rttr::type::get<DistancePointPointTool>() || type == rttr::type::get<AnglePointPointTool>())
            continue;
        rttr::variant made = type.create();
        auto* created = rttr::instance(made).try_convert<Vision::Implementation::ToolBase>();
        if (!created)
            continue;
        const auto tool = created->SharedFromThisAs<Vision::Implementation::ToolBase>();
        tool->Inputs()["InputImage"]->SetValue(tool, rttr::variant(std::shared_ptr<IImage>(ImageWithSpaces())));
        if (const auto params = type.get_property("RunParams")) {
            rttr::variant held = params.get_value(*tool);
            if (auto* fit = rttr::instance(held).try_convert<Geometry::Implementation::FitBase>())
                for (int k = 0; k < 7; ++k)
                    fit->AddPoint(3 + 4 * std::cos(0.8 * k), -2 + 2.5 * std::sin(0.8 * k) + 0.1 * k);
        }
        const std::string name = SeedName(className);
        Write(name + "-new", tool, ArchiveOptions::None);
        tool->Run();
        Write(name, tool);
        Write(name + "-no-image", tool, ArchiveOptions::LastRunResults);
    }
}

template <class Fit> std::shared_ptr<Fit> SampleFit(int count)
{
    auto fit = Quill::Create<Fit>();
    for (int k = 0; k < count; ++k)
        fit->AddPoint(3 + 4 * std::cos(0.7 * k), -2 + 2.5 * std::sin(0.7 * k) + 0.25 * k);
    fit->AddPoint(30, 30);
    fit->setNumToIgnore(1);
    return fit;
}

void WriteFits()
{
    const auto line = SampleFit<FitLine>(4);
    Write("fit-line", line);
    Write("fit-line-result", line->Execute("#"));
    const auto circle = SampleFit<FitCircle>(6);
    circle->setRadiusConstraint(4);
    Write("fit-circle", circle);
    Write("fit-circle-result", circle->Execute("#/Fixture"));
    circle->setRadiusConstraintEnabled(true);
    Write("fit-circle-constrained", circle);
    const auto ellipse = SampleFit<FitEllipse>(8);
    ellipse->setRotationConstraint(0.5);
    Write("fit-ellipse", ellipse);
    Write("fit-ellipse-result", ellipse->Execute("#"));
    ellipse->setRotationConstraintEnabled(true);
    Write("fit-ellipse-constrained", ellipse);
    Write("fit-base", Quill::Create<Geometry::Implementation::FitBase>());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    directory = argv[1];
    WriteShapes();
    WriteSpaces();
    WriteTool<DistancePointPointTool>("distance-point-point");
    WriteTool<AnglePointPointTool>("angle-point-point");
    WriteRegisteredTools();
    WriteFits();
    Write("math-utils", std::make_shared<MathUtils>());
    Write("object-graph", ArchiveGraph::MakeGraph());
    std::printf("%d archives written to %s\n", written, directory.c_str());
    return 0;
}
