// `ogeo demo`: a synthetic machined part (a bored hole, a straight edge, a slot, noise and
// a few burrs), edge points found by a plain gradient search along lines, and a block of
// tools that measures the part in millimetres through a calibrated plate space.
#include <algorithm>
#include <cmath>
#include <iostream>
#include <numbers>
#include <random>

#include <fmt/format.h>

#include <Geometry/FitCircle.h>
#include <Geometry/FitCircleResult.h>
#include <Geometry/FitLine.h>
#include <Geometry/FitLineResult.h>
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
    std::vector<double> gradient;
    for (double t = Step; t < length - Step; t += Step)
        gradient.push_back(Sample(image, x + (t + Step) * dx, y + (t + Step) * dy) -
                           Sample(image, x + (t - Step) * dx, y + (t - Step) * dy));
    const auto peak = std::max_element(gradient.begin() + 1, gradient.end() - 1);
    if (*peak < 40)
        return false;
    const double left = *(peak - 1), centre = *peak, right = *(peak + 1);
    const double offset = 0.5 * (left - right) / (left - 2 * centre + right);
    const double t = Step * (1 + (peak - gradient.begin()) + offset);
    ex = x + t * dx;
    ey = y + t * dy;
    return true;
}

struct Measured {
    std::vector<std::pair<double, double>> holePoints, edgePoints;
    double holeX, holeY, holeRadius;             // fitted, pixels
    double edgeX, edgeY, edgeRotation;           // fitted, pixels
    std::pair<double, double> foot, edgeStart, edgeEnd;  // on the fitted edge, millimetres
};

Measured FindFeatures(const Image8Grey& image)
{
    Measured m{};
    // Rays out of the hole's nominal centre: dark inside, metal outside.
    auto circle = Ostrel::Quill::Create<Geometry::FitCircle>();
    for (int i = 0; i < 36; ++i) {
        const double a = 2 * std::numbers::pi * i / 36;
        double x, y;
        if (FindEdge(image, HoleX + 40 * std::cos(a), HoleY + 40 * std::sin(a), std::cos(a), std::sin(a), 80, x, y)) {
            m.holePoints.emplace_back(x, y);
            circle->AddPoint(x, y);
        }
    }
    // Rows across the edge, from the background into the metal.
    auto line = Ostrel::Quill::Create<Geometry::FitLine>();
    for (int y = 30; y <= 450; y += 30) {
        double ex, ey;
        if (FindEdge(image, 600, y, -1, 0, 160, ex, ey)) {
            m.edgePoints.emplace_back(ex, ey);
            line->AddPoint(ex, ey);
        }
    }
    circle->setNumToIgnore(4);
    line->setNumToIgnore(2);
    const auto hole = circle->Execute("#")->GetCircle();
    const auto edge = line->Execute("#")->GetLine();
    m.holeX = hole->CenterX();
    m.holeY = hole->CenterY();
    m.holeRadius = hole->Radius();
    m.edgeX = edge->X();
    m.edgeY = edge->Y();
    m.edgeRotation = edge->Rotation();
    const double ux = std::cos(m.edgeRotation), uy = std::sin(m.edgeRotation);
    auto onEdge = [&](double x, double y) {
        const double t = (x - m.edgeX) * ux + (y - m.edgeY) * uy;
        return std::pair{(m.edgeX + t * ux) * MillimetresPerPixel, (m.edgeY + t * uy) * MillimetresPerPixel};
    };
    m.foot = onEdge(m.holeX, m.holeY);
    m.edgeStart = onEdge(m.edgePoints.front().first, m.edgePoints.front().second);
    m.edgeEnd = onEdge(m.edgePoints.back().first, m.edgePoints.back().second);
    return m;
}

// The demo's block: one row per tool, then the links. Plain coordinates are in the plate
// space (millimetres), which the block selects; the fitted hole is given in pixels.
Json DemoBlock(const Measured& m)
{
    Json block;
    block["image"] = {{"png", "demo-part.png"}};
    block["spaces"] = Json::array({{{"name", "Plate"}, {"parent", "#"}, {"scale", MillimetresPerPixel}}});
    block["selectedSpace"] = "Plate";
    auto row = [&](const char* name, const char* className, Json properties) {
        block["tools"].push_back({{"name", name}, {"class", className}, {"properties", std::move(properties)}});
    };
    row("HoleToEdge", "DistancePointCircleTool",
        {{"X", m.foot.first},
         {"Y", m.foot.second},
         {"InputCircle", {{"circle", {m.holeX, m.holeY, m.holeRadius}}, {"space", "#"}}}});
    row("GapCheck", "DistancePointPointTool", {{"EndX", m.foot.first}, {"EndY", m.foot.second}});
    row("EdgeLength", "DistancePointPointTool",
        {{"StartX", m.edgeStart.first},
         {"StartY", m.edgeStart.second},
         {"EndX", m.edgeEnd.first},
         {"EndY", m.edgeEnd.second}});
    row("EdgeAngle", "AnglePointPointTool",
        {{"StartX", m.edgeStart.first},
         {"StartY", m.edgeStart.second},
         {"EndX", m.edgeEnd.first},
         {"EndY", m.edgeEnd.second}});
    block["links"] = Json::array({{{"from", "HoleToEdge.CircleX"}, {"to", "GapCheck.StartX"}},
                                  {{"from", "HoleToEdge.CircleY"}, {"to", "GapCheck.StartY"}}});
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
    const auto measured = FindFeatures(*part);
    std::cout << fmt::format(
        "Synthetic part {} x {} px, {} mm per pixel. Drawn: hole centre ({}, {}) px radius {} px; edge from "
        "({}, 0) to ({}, {}) px.\nGradient search: {} hole points, {} edge points; hole fitted at ({:.3f}, "
        "{:.3f}) px radius {:.3f} px with 4 points left out, edge with 2 left out.\n\n",
        Width, Height, MillimetresPerPixel, HoleX, HoleY, HoleRadius, EdgeTopX, EdgeBottomX, Height,
        measured.holePoints.size(), measured.edgePoints.size(), measured.holeX, measured.holeY, measured.holeRadius);

    const auto blockFile = outDir / "demo-block.json";
    const auto document = DemoBlock(measured);
    WritePng(outDir / "demo-part.png", *part);
    WriteFileAtomically(blockFile, document.dump(2) + "\n");
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
