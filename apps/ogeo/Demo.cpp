// `ogeo demo`: a synthetic machined part (a bored hole, a straight edge, a slot, noise and
// a few burrs), edge points found by a plain gradient search along lines, and a block of
// tools (fits, a distance, an intersection, an angle and a label) that measures the part
// in millimetres through a calibrated plate space.
#include <algorithm>
#include <cmath>
#include <iostream>
#include <numbers>
#include <random>

#include <fmt/format.h>

#include <Ostrel/Vision/Vision.h>

#include "Block.h"
#include "Commands.h"
#include "Overlay.h"
#include "Report.h"

namespace Ogeo {

using namespace Ostrel::Vision;
using Json = nlohmann::ordered_json;

namespace {

constexpr int Width = 640, Height = 480;
constexpr double MillimetresPerPixel = 0.05;
// The part as drawn, in pixels: what the measurements should find.
constexpr double HoleX = 250, HoleY = 230, HoleRadius = 80;
constexpr double EdgeTopX = 500, EdgeBottomX = 524;  // the edge runs from (500, 0) to (524, 480)
constexpr double SlotY = 392, SlotLeft = 330, SlotRight = 440, SlotRadius = 22;
constexpr std::uint8_t Background = 40, Metal = 190;

double Coverage(double signedDistance)  // > 0 outside
{
    return std::clamp(0.5 - signedDistance, 0.0, 1.0);
}

double EdgeDistance(double x, double y)
{
    const double dx = EdgeBottomX - EdgeTopX, dy = Height;
    return ((x - EdgeTopX) * dy - y * dx) / std::hypot(dx, dy);
}

// The part: metal left of the edge, with the hole and the slot cut out; burrs are small
// blobs of metal left on the rims.
std::shared_ptr<Image8Grey> DrawPart(std::uint32_t seed)
{
    struct Blob {
        double x, y, r;
    };
    std::vector<Blob> burrs;
    for (double degrees : {35.0, 160.0, 275.0}) {
        const double a = degrees * std::numbers::pi / 180;
        burrs.push_back({HoleX + (HoleRadius - 4) * std::cos(a), HoleY + (HoleRadius - 4) * std::sin(a), 6});
    }
    burrs.push_back({EdgeTopX + (EdgeBottomX - EdgeTopX) * 300.0 / Height + 4, 300, 6});
    burrs.push_back({400, SlotY - SlotRadius + 4, 5});

    auto image = Ostrel::Quill::Create<Image8Grey>(Width, Height);
    auto pixels = image->Data();
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 4);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const double hole = HoleRadius - std::hypot(x - HoleX, y - HoleY);
            const double along = std::clamp<double>(x, SlotLeft, SlotRight);
            const double slot = SlotRadius - std::hypot(x - along, y - SlotY);
            double metal = Coverage(EdgeDistance(x, y)) * (1 - Coverage(-hole)) * (1 - Coverage(-slot));
            for (const auto& b : burrs)
                metal = std::max(metal, Coverage(std::hypot(x - b.x, y - b.y) - b.r));
            const double value = Background + (Metal - Background) * metal + noise(rng);
            pixels[static_cast<std::size_t>(y) * Width + x] = static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
        }
    return image;
}

double Sample(const Image8Grey& image, double x, double y)
{
    const int x0 = std::clamp(static_cast<int>(std::floor(x)), 0, image.Width() - 2);
    const int y0 = std::clamp(static_cast<int>(std::floor(y)), 0, image.Height() - 2);
    const double fx = std::clamp(x - x0, 0.0, 1.0), fy = std::clamp(y - y0, 0.0, 1.0);
    auto at = [&](int dx, int dy) { return static_cast<double>(image.At(x0 + dx, y0 + dy)); };
    return (1 - fy) * ((1 - fx) * at(0, 0) + fx * at(1, 0)) + fy * ((1 - fx) * at(0, 1) + fx * at(1, 1));
}

// The strongest rise of brightness (dark to bright) along the line from (x, y) in
// direction (dx, dy) over `length` pixels, to a tenth of a pixel by a parabola through the
// peak of the central-difference gradient. Returns false when no rise stands out.
bool FindEdge(const Image8Grey& image, double x, double y, double dx, double dy, double length, double& ex,
              double& ey)
{
    constexpr double Step = 0.5;
    // Samples at t = Step, 2 Step, ... below length - Step, sized up front.
    const int count = std::max(0, static_cast<int>(std::ceil((length - Step) / Step)) - 1);
    if (count < 3)
        return false;
    std::vector<double> gradient(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = Step * (i + 1);
        gradient[i] = Sample(image, x + (t + Step) * dx, y + (t + Step) * dy) -
                      Sample(image, x + (t - Step) * dx, y + (t - Step) * dy);
    }
    int peak = 1;
    for (int i = 2; i + 1 < count; ++i)
        if (gradient[i] > gradient[peak])
            peak = i;
    if (gradient[peak] < 40)
        return false;
    const double left = gradient[peak - 1], centre = gradient[peak], right = gradient[peak + 1];
    const double offset = 0.5 * (left - right) / (left - 2 * centre + right);
    const double t = Step * (1 + peak + offset);
    ex = x + t * dx;
    ey = y + t * dy;
    return true;
}

// Edge points in pixels, found by the gradient search: on the hole's rim, along the
// straight edge and along the slot's upper flank.
struct EdgePoints {
    std::vector<std::pair<double, double>> hole, edge, flank;
};

EdgePoints FindEdgePoints(const Image8Grey& image)
{
    EdgePoints found;
    double x, y;
    // Rays out of the hole's nominal centre: dark inside, metal outside.
    for (int i = 0; i < 36; ++i) {
        const double a = 2 * std::numbers::pi * i / 36;
        if (FindEdge(image, HoleX + 40 * std::cos(a), HoleY + 40 * std::sin(a), std::cos(a), std::sin(a), 80, x, y))
            found.hole.emplace_back(x, y);
    }
    // Rows across the edge, from the background into the metal.
    for (int row = 30; row <= 450; row += 30)
        if (FindEdge(image, 600, row, -1, 0, 160, x, y))
            found.edge.emplace_back(x, y);
    // Columns up from the slot's axis into the metal above it.
    for (double column = SlotLeft + 10; column <= SlotRight - 10; column += 10)
        if (FindEdge(image, column, SlotY, 0, -1, 2 * SlotRadius, x, y))
            found.flank.emplace_back(x, y);
    return found;
}

// A point list in the plate space, to a ten-thousandth of a millimetre.
Json PlatePoints(const std::vector<std::pair<double, double>>& pixels)
{
    auto millimetres = [](double pixel) { return std::round(pixel * MillimetresPerPixel * 1e4) / 1e4; };
    Json points = Json::array();
    for (const auto& [x, y] : pixels)
        points.push_back({millimetres(x), millimetres(y)});
    return points;
}

// The demo's block: the fits of the hole, the edge and the slot's flank from the edge
// points (in the plate space, millimetres, which the block selects), the gap from the hole
// to the edge, the corner where the flank meets the edge and the angle between them, and a
// label with the gap at the edge.
Json DemoBlock(const EdgePoints& points)
{
    Json block;
    block["image"] = {{"png", "demo-part.png"}};
    block["spaces"] = Json::array({{{"name", "Plate"}, {"parent", "#"}, {"scale", MillimetresPerPixel}}});
    block["selectedSpace"] = "Plate";
    auto row = [&](const char* name, const char* className, Json properties) {
        block["tools"].push_back({{"name", name}, {"class", className}, {"properties", std::move(properties)}});
    };
    // The burrs are left out: one on each straight line, three on the hole's rim, where a
    // burr may catch two rays.
    auto fit = [](const std::vector<std::pair<double, double>>& pixels, int numToIgnore) {
        return Json{{"RunParams", {{"points", PlatePoints(pixels)}}}, {"RunParams.NumToIgnore", numToIgnore}};
    };
    row("Hole", "FitCircleTool", fit(points.hole, 4));
    row("Edge", "FitLineTool", fit(points.edge, 1));
    row("Flank", "FitLineTool", fit(points.flank, 1));
    row("Gap", "DistanceLineCircleTool", Json::object());
    row("Corner", "IntersectLineLineTool", Json::object());
    row("EdgeToFlank", "AngleLineLineTool", Json::object());
    row("GapLabel", "CreateGraphicLabelTool",
        {{"SourceSelector", "FormattedText"}, {"InputGraphicLabel", {{"label", {0, 0}}, {"text", "gap {D:.3f} mm"}}}});
    auto links = Json::array();
    for (const auto& [from, to] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Edge.Result.GetLine()", "Gap.Line"},
             {"Hole.Result.GetCircle()", "Gap.InputCircle"},
             {"Edge.Result.GetLine()", "Corner.LineA"},
             {"Flank.Result.GetLine()", "Corner.LineB"},
             {"Edge.Result.GetLine()", "EdgeToFlank.LineA"},
             {"Flank.Result.GetLine()", "EdgeToFlank.LineB"},
             {"Gap.Distance", "GapLabel.InputDouble"},
             {"Gap.LineX", "GapLabel.InputGraphicLabel.X"},
             {"Gap.LineY", "GapLabel.InputGraphicLabel.Y"}})
        links.push_back({{"from", from}, {"to", to}});
    block["links"] = std::move(links);
    return block;
}

} // namespace

int RunDemo(const std::filesystem::path& outDir, int extraImages)
{
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error)
        throw InputError(outDir.string(), "", "cannot make the folder: " + error.message());

    const auto part = DrawPart(7);
    const auto points = FindEdgePoints(*part);
    std::cout << fmt::format(
        "Synthetic part {} x {} px, {} mm per pixel. Drawn: hole centre ({}, {}) px radius {} px; edge from "
        "({}, 0) to ({}, {}) px; slot flank at y = {} px.\nGradient search along lines (written for the demo): {} "
        "hole points, {} edge points, {} flank points.\n\n",
        Width, Height, MillimetresPerPixel, HoleX, HoleY, HoleRadius, EdgeTopX, EdgeBottomX, Height,
        SlotY - SlotRadius, points.hole.size(), points.edge.size(), points.flank.size());

    const auto blockFile = outDir / "demo-block.json";
    WritePng(outDir / "demo-part.png", *part);
    WriteFileAtomically(blockFile, DemoBlock(points).dump(2) + "\n");
    auto block = LoadBlock(blockFile);
    const auto outcomes = RunBlock(block);
    std::cout << FormatTable(outcomes);
    const auto scene = BuildScene(block);
    WriteOverlay(outDir / "demo.png", *block.image, scene);
    WriteOverlay(outDir / "demo.svg", *block.image, scene);
    if (extraImages > 0) {
        std::filesystem::create_directories(outDir / "parts");
        for (int i = 0; i < extraImages; ++i)
            WritePng(outDir / "parts" / fmt::format("part-{:04}.png", i), *DrawPart(1000 + i));
        std::cout << fmt::format("\nWrote {} more parts into {}/parts for batch runs.", extraImages, outDir.string());
    }
    std::cout << fmt::format("\nWrote {0}/demo.png and {0}/demo.svg (the part with the results), {0}/demo-part.png "
                             "and {0}/demo-block.json; run it again with:\n  ogeo run {1} --overlay out.svg\n",
                             outDir.string(), blockFile.string());
    return AllAccepted(outcomes) ? 0 : 1;
}

} // namespace Ogeo
