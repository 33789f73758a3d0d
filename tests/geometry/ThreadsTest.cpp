// Tools and computations on several threads at once. Each thread has its own tools, one of
// every registered class, whose shapes sit in spaces of one image and its space tree that
// all threads share and nobody changes meanwhile; next to them each thread calls MathUtils
// and the fitting library directly. Every answer must be the one a single thread got
// before. Run under ThreadSanitizer (make test-tsan), the test proves the absence of data
// races as well.
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include <Geometry/FitEllipse.h>
#include <Geometry/FitEllipseResult.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Polygon.h>
#include <Ostrel/Vision/Transform2DLensDistortion.h>
#include <korm/korm.h>

#include "RegisteredTools.h"

namespace {

using namespace RegisteredTools;
using Geometry::MathUtils;

constexpr int threadCount = 8;
constexpr int rounds = 3;

// An image whose tree holds a linear space and a lens-distorted one beneath it.
std::shared_ptr<Image8Grey> SharedImage()
{
    auto image = Quill::Create<Image8Grey>(64, 48);
    const auto tree = image->CoordinateSpaceTree();
    tree->AddSpace("#", "Fixture", Transform2DLinear::ScaleRotationTranslation(1.5, 1.5, 0.2, -3, 4));
    tree->AddSpace("#/Fixture", "Lens", Quill::Create<Transform2DLensDistortion>(30.0, 20.0, 60.0, -0.05, 0.01, 0.0, 0.0));
    return image;
}

// The tools of one thread: every registered tool with good inputs, its shapes placed in the
// shared spaces, taking turns.
std::vector<ToolPtr> ThreadTools(const std::shared_ptr<IImage>& image)
{
    std::vector<ToolPtr> tools;
    int turn = 0;
    for (const auto& name : RegisteredToolNames()) {
        auto tool = GoodTool(name, image);
        for (const auto& pin : tool->Inputs())
            if (IsShape(pin->GetValue(tool)))
                Quill::Create<ToolPin>(pin->Path() + ".SelectedSpaceName")
                    ->SetValue(tool, std::string(++turn % 2 ? "#/Fixture" : "#/Fixture/Lens"));
        tools.push_back(tool);
    }
    return tools;
}

// A polygon large enough to keep an index for repeated distance queries; the threads share
// one that nobody queried before, so that they race to build its index.
std::shared_ptr<Polygon> LargePolygon()
{
    auto polygon = Quill::Create<Polygon>();
    for (int k = 0; k < 600; ++k)
        polygon->AddVertex(20 + (k % 2 ? 9 : 8) * std::cos(0.01 * k), 15 + (k % 2 ? 9 : 8) * std::sin(0.01 * k));
    polygon->setSelectedSpaceName("#/Fixture");
    return polygon;
}

// What one thread computes besides its tools: MathUtils over shapes of its own in the shared
// spaces and over the shared polygon, and the fitting library through a fit and directly.
std::vector<double> Computations(const IImage& image, const Polygon& polygon)
{
    std::vector<double> numbers;
    auto ellipse = Quill::Create<Ellipse>();
    ellipse->SetCenterXYRadiusXYRotation(20, 15, 9, 4, 0.3);
    ellipse->setSelectedSpaceName("#/Fixture/Lens");
    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(2, 30, 40, 28);
    segment->setSelectedSpaceName("#/Fixture");
    auto circle = Quill::Create<Circle>();
    circle->SetCenterRadius(12, 10, 6);
    double x0, y0, x1, y1;
    numbers.push_back(MathUtils::DistanceSegmentEllipse(*segment, *ellipse, &image, x0, y0, x1, y1));
    numbers.insert(numbers.end(), {x0, y0, x1, y1});
    numbers.push_back(MathUtils::DistancePointEllipse(3, 4, *ellipse, &image, x0, y0));
    int count = 0;
    MathUtils::IntersectSegmentCircle(*segment, *circle, &image, count, x0, y0, x1, y1);
    numbers.insert(numbers.end(), {double(count), x0, y0, x1, y1});
    for (int k = 0; k < 4; ++k) {
        numbers.push_back(MathUtils::DistancePointPolygon(18 + k, 14 - k, polygon, &image, x0, y0));
        numbers.insert(numbers.end(), {x0, y0});
    }

    auto fit = Quill::Create<Geometry::FitEllipse>();
    std::vector<korm_vect> points;
    for (int k = 0; k < 16; ++k) {
        const double x = 10 + 7 * std::cos(0.4 * k), y = -3 + 2 * std::sin(0.4 * k) + 0.02 * (k % 3);
        fit->AddPoint(x, y);
        points.push_back({x, y});
    }
    fit->setNumToIgnore(2);
    const auto result = fit->Execute("#/Fixture");
    numbers.insert(numbers.end(), {result->RMSError(), result->GetEllipse()->CenterX(), result->GetEllipse()->RadiusY()});

    korm_circleFitParams params;
    korm_circleFitParams_init(&params);
    params.numToIgnore = 1;
    korm_circleFitResult circleFit;
    korm_circleFitResult_construct(&circleFit);
    EXPECT_EQ(korm_circleFit(points.data(), static_cast<int32_t>(points.size()), &params, &circleFit), KORM_S_OK);
    numbers.insert(numbers.end(), {circleFit.centerX, circleFit.centerY, circleFit.radius, circleFit.rmsError});
    korm_circleFitResult_destruct(&circleFit);
    return numbers;
}

struct Answers {
    std::vector<Outcome> tools;
    std::vector<double> computations;
    bool operator==(const Answers&) const = default;
};

Answers Compute(const std::vector<ToolPtr>& tools, const IImage& image, const Polygon& polygon)
{
    Answers answers;
    for (const auto& tool : tools) {
        answers.tools.push_back(RunAndRead(tool));
        tool->CreateLastRunRecord();
    }
    answers.computations = Computations(image, polygon);
    return answers;
}

TEST(Threads, ToolsOverOneSharedImageAgreeWithOneThread)
{
    const auto image = SharedImage();
    const Answers expected = Compute(ThreadTools(image), *image, *LargePolygon());
    const auto shared = LargePolygon();
    for (const auto& outcome : expected.tools)
        ASSERT_EQ(outcome.result, ToolResultConstants::Accept);

    std::vector<std::vector<ToolPtr>> tools;
    for (int t = 0; t < threadCount; ++t)
        tools.push_back(ThreadTools(image));
    std::vector<int> agreed(threadCount, 0);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < threadCount; ++t)
            threads.emplace_back([&, t] {
                for (int round = 0; round < rounds; ++round)
                    agreed[t] += Compute(tools[t], *image, *shared) == expected;
            });
    }
    EXPECT_EQ(agreed, std::vector<int>(threadCount, rounds));
}

} // namespace
