// The command-line demo: an image with a calibrated plate space, shapes placed in
// millimetres and mapped into pixels, then the point-pair tools run, their records shown,
// and their archives written and read back with each option; last, a circle fitted to
// edge points with the scratches among them left out.
#include <cmath>
#include <iostream>
#include <numbers>
#include <random>
#include <sstream>

#include <fmt/format.h>

#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>
#include <Geometry/FitCircle.h>
#include <Geometry/FitCircleResult.h>
#include <Geometry/LibraryInfo.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Quill/ChangedSignal.h>
#include <Ostrel/Vision/Vision.h>

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

namespace {

constexpr double MillimetresPerPixel = 0.05;
constexpr double PlateRotationDegrees = 10;

std::string UsageName(RecordUsageConstants usage)
{
    return rttr::type::get<RecordUsageConstants>().get_enumeration().value_to_name(usage).to_string();
}

void PrintRecord(const Record& record, int depth)
{
    std::string tip;
    if (auto graphic = record.ValueAs<GraphicBase>(); graphic && !graphic->TipText().empty())
        tip = fmt::format("  tip \"{}\"", graphic->TipText());
    std::string space;
    if (auto graphic = record.ValueAs<GraphicBase>())
        space = fmt::format("  space \"{}\"", graphic->SelectedSpaceName());
    std::cout << fmt::format("{:{}}\"{}\"  usage {} ({})  {}{}{}\n", "", 2 * depth + 4, record.Key(),
                             static_cast<int>(record.Usage()), UsageName(record.Usage()),
                             record.Value() ? record.ValueType().get_name().to_string() : "null", space, tip);
    for (const auto& sub : record.SubRecords())
        PrintRecord(*sub, depth + 1);
}

std::shared_ptr<Image8Grey> CalibratedImage()
{
    auto image = Quill::Create<Image8Grey>(640, 480);
    // Plate coordinates in millimetres: pixel coordinates scaled, turned and moved.
    const auto plateFromPixels = Transform2DLinear::ScaleRotationTranslation(
        MillimetresPerPixel, MillimetresPerPixel, PlateRotationDegrees * std::numbers::pi / 180, -5, 3);
    image->CoordinateSpaceTree()->AddSpace("#", "Plate", plateFromPixels);
    return image;
}

void MapShapes(const std::shared_ptr<Image8Grey>& image)
{
    std::cout << "1. Shapes placed in millimetres, mapped into pixels\n";
    std::cout << fmt::format("   image 640 x 480, space \"#/Plate\": {} mm per pixel, turned {} degrees\n",
                             MillimetresPerPixel, PlateRotationDegrees);
    auto circle = Quill::Create<Circle>();
    circle->SetCenterRadius(10, 8, 2.5);
    circle->setSelectedSpaceName("Plate");
    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(2, 2, 14, 6);
    segment->setSelectedSpaceName("Plate");

    const auto toPixels = image->LinearTransformToImage("Plate", 0, 0);
    auto ellipse = circle->MapLinear(toPixels, static_cast<std::uint32_t>(CopyShapeConstants::All));
    auto mapped = segment->MapLinear(toPixels, static_cast<std::uint32_t>(CopyShapeConstants::All));
    std::cout << fmt::format(
        "   circle  centre ({}, {}) mm, radius {} mm  ->  ellipse centre ({:.3f}, {:.3f}) px, "
        "radii {:.3f} x {:.3f} px\n",
        circle->CenterX(), circle->CenterY(), circle->Radius(), ellipse->CenterX(), ellipse->CenterY(),
        ellipse->RadiusX(), ellipse->RadiusY());
    std::cout << fmt::format(
        "   segment ({}, {}) - ({}, {}) mm, {:.3f} mm long  ->  ({:.3f}, {:.3f}) - ({:.3f}, {:.3f}) px, "
        "{:.3f} px long\n",
        segment->StartX(), segment->StartY(), segment->EndX(), segment->EndY(), segment->Length(),
        mapped->StartX(), mapped->StartY(), mapped->EndX(), mapped->EndY(), mapped->Length());

    // The same measurement on the plate (no image: the shapes' own millimetres) and in the
    // image (each shape mapped into pixels): the plate is 0.05 mm per pixel, so the pixel
    // gap is 20 times the millimetre gap.
    double sx, sy, cx, cy;
    const double mm = MathUtils::DistanceSegmentCircle(*segment, *circle, nullptr, sx, sy, cx, cy);
    const double px = MathUtils::DistanceSegmentCircle(*segment, *circle, image.get(), sx, sy, cx, cy);
    std::cout << fmt::format(
        "   MathUtils::DistanceSegmentCircle: {:.4f} mm on the plate, {:.4f} px in the image, "
        "from ({:.3f}, {:.3f}) px on the segment to ({:.3f}, {:.3f}) px on the circle\n\n",
        mm, px, sx, sy, cx, cy);
}

std::shared_ptr<DistancePointPointTool> RunTools(const std::shared_ptr<Image8Grey>& image)
{
    std::cout << "2. Point-pair tools\n";
    auto distance = Quill::Create<DistancePointPointTool>();
    distance->setName("Gap");
    distance->setInputImage(image);
    distance->setStartX(100);
    distance->setStartY(120);
    distance->setEndX(400);
    distance->setEndY(520);
    std::uint64_t raised = 0;
    boost::signals2::scoped_connection watch = distance->ChangedEvent().connect(
        [&](const std::shared_ptr<Quill::ChangedEventArgs>& args) { raised |= args->StateFlags(); });
    distance->Run();
    std::cout << fmt::format("   DistancePointPointTool: result {}, Distance = {:.6f}, Angle = {:.6f} rad, "
                             "events raised 0x{:X}, {:.1f} us\n",
                             static_cast<int>(distance->RunStatus().Result()), distance->Distance(),
                             distance->Angle(), raised, distance->RunStatus().ProcessingTime() * 1e6);

    auto angle = Quill::Create<AnglePointPointTool>();
    angle->setInputImage(image);
    angle->setEndX(10);
    angle->setEndY(-20);
    angle->Run();
    std::cout << fmt::format("   AnglePointPointTool:    Angle = {:.6f} rad ({:.3f} deg)\n", angle->Angle(),
                             angle->Angle() * 180 / std::numbers::pi);

    auto failing = Quill::Create<AnglePointPointTool>();
    failing->Run();
    std::cout << fmt::format("   without an image:       result {}, \"{}\"\n\n",
                             static_cast<int>(failing->RunStatus().Result()), failing->RunStatus().Message());

    std::cout << "   last-run record of \"Gap\" (key, usage, value, space, tip):\n";
    PrintRecord(*distance->CreateLastRunRecord(), 0);
    std::cout << "   current record:\n";
    PrintRecord(*distance->CreateCurrentRecord(), 0);
    std::cout << "\n";
    return distance;
}

void Archives(const std::shared_ptr<DistancePointPointTool>& tool)
{
    std::cout << "3. Archives (options 0x1 keep the last run's results, 0x100 the input image)\n";
    for (std::uint32_t options : {0x0u, 0x1u, 0x100u, 0x101u}) {
        std::stringstream stream;
        Serialization::Save(stream, tool, options);
        const auto bytes = stream.str().size();
        auto loaded = std::dynamic_pointer_cast<DistancePointPointTool>(Serialization::Load(stream));
        std::string distance;
        try {
            distance = fmt::format("{:.6f}", loaded->Distance());
        } catch (const ToolNoResultException&) {
            distance = "no result (the tool must run again)";
        }
        std::cout << fmt::format("   options 0x{:03X}: {:7} bytes, image {}, Distance {}\n", options, bytes,
                                 loaded->InputImage() ? "kept" : "not kept", distance);
    }
}

void FitACircle()
{
    std::cout << "\n4. A circle fitted to an edge: 36 points over half a circle of radius 40 px, noise 0.5 px, "
                 "4 of them scratches\n";
    auto fit = Quill::Create<FitCircle>();
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0, 0.5);
    for (int i = 0; i < 36; ++i) {
        const double t = std::numbers::pi * i / 35;
        const double r = 40 + (i % 9 == 4 ? 6 : 0) + noise(rng); // every ninth point lies on a scratch
        fit->AddPoint(320 + r * std::cos(t), 240 + r * std::sin(t));
    }
    for (int ignore : {0, 4}) {
        fit->setNumToIgnore(ignore);
        const auto result = fit->Execute("#");
        std::string left;
        for (int i = 0; i < result->NumPoints(); ++i)
            if (!result->GetUsed(i))
                left += fmt::format(" {}", i);
        std::cout << fmt::format("   NumToIgnore {}: centre ({:.3f}, {:.3f}), radius {:.3f} px, RMS {:.3f} px{}\n",
                                 ignore, result->GetCircle()->CenterX(), result->GetCircle()->CenterY(),
                                 result->GetCircle()->Radius(), result->RMSError(),
                                 left.empty() ? "" : ", left out:" + left);
    }
}

} // namespace

int main()
{
    try {
        std::cout << "Ostrel geometry tools " << LibraryVersion() << "\n\n";
        const auto image = CalibratedImage();
        MapShapes(image);
        Archives(RunTools(image));
        FitACircle();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "demo failed: " << e.what() << "\n";
        return 1;
    }
}
