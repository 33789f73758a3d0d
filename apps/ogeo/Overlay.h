#pragma once
// The last-run records of a block's tools drawn over its image. Every graphic of a record
// (its value, the graphics its constructor built, their child graphics) becomes one item
// of a scene in pixel coordinates: its space is mapped into the image's root space point
// by point, so curves stay right under a lens-distortion transform. The scene is then
// painted into a PNG or written as SVG.

#include <filesystem>
#include <string>
#include <vector>

#include <Ostrel/Vision/Color32.h>
#include <Ostrel/Vision/GraphicConstants.h>

#include "Block.h"

namespace Ogeo {

struct PixelPoint {
    double x, y;
};

struct SceneItem {
    std::string kind;  // the graphic's class, without namespace
    std::string tip;   // the tool's name, then the tip text (or the record key when it has none)
    Ostrel::Vision::Color32 color;
    double lineWidth = 1;
    Ostrel::Vision::GraphicLineStyleConstants lineStyle = Ostrel::Vision::GraphicLineStyleConstants::Solid;
    struct Path {
        std::vector<PixelPoint> points;
        bool closed = false;
        bool filled = false;
    };
    std::vector<Path> paths;
    // A label: its text, anchor and alignment.
    std::string text;
    PixelPoint anchor{0, 0};
    Ostrel::Vision::GraphicLabelAlignmentConstants alignment = Ostrel::Vision::GraphicLabelAlignmentConstants::TopLeft;
};

// The graphics of the last-run records of the block's tools, in run order. A graphic whose
// space cannot be mapped into the image is left out, and named in `skipped`.
std::vector<SceneItem> BuildScene(Block& block, std::vector<std::string>* skipped = nullptr);

// Writes the image with the scene over it; the format follows the file name's extension
// (".png" or ".svg"). Throws InputError for another extension or a file that cannot be
// written; a file is written whole or not at all.
void WriteOverlay(const std::filesystem::path& file, const Ostrel::Vision::Image8Grey& image,
                  const std::vector<SceneItem>& scene);

// The image as a PNG file, without overlay.
void WritePng(const std::filesystem::path& file, const Ostrel::Vision::Image8Grey& image);

} // namespace Ogeo
