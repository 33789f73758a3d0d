#pragma once
// Random transforms and a sample space tree for the spaces tests.

#include <cmath>
#include <memory>
#include <numbers>
#include <random>

#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Transform2DLensDistortion.h>

namespace SpacesTest {

using namespace Ostrel::Vision;

// Scales 0.5 to 2, any rotation, a mild shear and shifts up to 1000 pixels: invertible
// and well conditioned, as calibrations are.
inline std::shared_ptr<Transform2DLinear> RandomAffine(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> scale(0.5, 2.0), angle(-std::numbers::pi, std::numbers::pi),
        shear(-0.3, 0.3), shift(-1000.0, 1000.0);
    const Transform2DLinear shearing(1.0, shear(rng), 0.0, 1.0, 0.0, 0.0);
    return std::make_shared<Transform2DLinear>(
        Transform2DLinear::ScaleRotationTranslation(scale(rng), scale(rng), angle(rng), shift(rng), shift(rng)) *
        shearing);
}

// Close to the identity about the middle of a 640 × 480 image, so that points of the image
// stay where a lens model of RandomLens is one-to-one.
inline std::shared_ptr<Transform2DLinear> MildAffine(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> scale(0.9, 1.1), angle(-0.1, 0.1), shift(-20.0, 20.0);
    const Transform2DLinear aboutCentre =
        Transform2DLinear::ScaleRotationTranslation(scale(rng), scale(rng), angle(rng), 0.0, 0.0);
    return std::make_shared<Transform2DLinear>(Transform2DLinear::Translation(320.0 + shift(rng), 240.0 + shift(rng)) *
                                               aboutCentre * Transform2DLinear::Translation(-320.0, -240.0));
}

// About the middle of a 640 × 480 image, normalised by 500 pixels, with coefficients of
// real lenses: one-to-one, and its image covering, well beyond the image (the worst
// barrel folds at r = 1.41, beyond which no point's image reaches r = 1.01).
inline std::shared_ptr<Transform2DLensDistortion> RandomLens(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> centre(-20.0, 20.0), k1(-0.1, 0.1), k2(-0.02, 0.02), p(-0.005, 0.005);
    return Ostrel::Quill::Create<Transform2DLensDistortion>(320.0 + centre(rng), 240.0 + centre(rng), 500.0,
                                                            k1(rng), k2(rng), p(rng), p(rng));
}

// #
// ├── Fixture        (FixtureT)
// │   └── Plate      (a lens)
// └── Stage          (StageT)
//     ├── Plate      (StagePlateT)  "Plate" alone is ambiguous
//     └── Tool       (ToolT)
struct SampleTree {
    Transform2DLinear FixtureT{2.0, 0.0, 0.0, 2.0, -10.0, 5.0};
    Transform2DLinear StageT = Transform2DLinear::ScaleRotationTranslation(1.0, 1.5, 0.4, 100.0, -20.0);
    Transform2DLinear StagePlateT{1.0, 0.2, 0.0, 1.0, 3.0, 4.0};
    Transform2DLinear ToolT = Transform2DLinear::ScaleRotationTranslation(0.5, 0.5, -1.0, 7.0, 8.0);
    std::shared_ptr<Transform2DLensDistortion> Lens =
        Ostrel::Quill::Create<Transform2DLensDistortion>(300.0, 200.0, 400.0, -0.1, 0.02, 0.003, -0.002);
    std::shared_ptr<CoordinateSpaceTree> Tree = Ostrel::Quill::Create<CoordinateSpaceTree>();

    SampleTree()
    {
        Tree->AddSpace("#", "Fixture", FixtureT);
        Tree->AddSpace("#/Fixture", "Plate", Lens);
        Tree->AddSpace("#", "Stage", StageT);
        Tree->AddSpace("Stage", "Plate", StagePlateT);
        Tree->AddSpace("#/Stage", "Tool", ToolT);
    }
};

} // namespace SpacesTest
