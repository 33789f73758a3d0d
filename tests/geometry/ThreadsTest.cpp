// Tools and computations on several threads at once. Each thread has its own tools, one of
// every registered class (the fits among them), whose shapes sit in spaces of one image and
// its space tree that all threads share and nobody changes meanwhile; next to them each
// thread queries a polygon that all share, through MathUtils. Every answer must be the one
// a single thread got before. Run under ThreadSanitizer (make test-tsan), the test proves
// the absence of data races as well.
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Polygon.h>
#include <Ostrel/Vision/Transform2DLensDistortion.h>

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

// What one thread computes besides its tools: distances to the shared polygon.
std::vector<double> Computations(const IImage& image, const Polygon& polygon)
{
    std::vector<double> numbers;
    double x, y;
    for (int k = 0; k < 4; ++k) {
        numbers.push_back(MathUtils::DistancePointPolygon(18 + k, 14 - k, polygon, &image, x, y));
        numbers.insert(numbers.end(), {x, y});
    }
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
