#pragma once
// A tool block: an image with its coordinate spaces, tools created by registered class
// name, their properties set by pin path, and links from output pins to input pins. The
// run order follows the links; every tool that is registered with the reflection system
// can take part, so a new tool needs nothing here.
//
// The file format is described in docs/ogeo.md.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/ToolBase.h>

namespace Ogeo {

// Bad input: a block file, an image, an archive. The message names the file, the place in
// it and what was expected; the command ends with status 2.
class InputError : public std::runtime_error {
public:
    InputError(const std::string& file, const std::string& where, const std::string& problem);
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

struct BlockTool {
    std::string name;
    std::string className;  // without the library's namespace
    std::shared_ptr<Ostrel::Vision::Implementation::ToolBase> tool;
};

struct BlockLink {
    int from, to;  // indices into Block::tools
    std::string fromPath, toPath;
    std::shared_ptr<Ostrel::Vision::ToolPin> fromPin, toPin;
};

// A space the block adds to its image: `name` under `parent`, childFromParent mapping
// parent coordinates into it.
struct BlockSpace {
    std::string parent, name;
    std::shared_ptr<const Ostrel::Vision::Transform2D> childFromParent;
};

struct Block {
    std::filesystem::path file;
    nlohmann::ordered_json source;  // the document as read (kept for saving the block again)
    std::vector<BlockSpace> spaces;
    std::string selectedSpace;  // the image's selected space; "#" unless the block names one
    std::shared_ptr<Ostrel::Vision::Image8Grey> image;
    std::vector<BlockTool> tools;
    std::vector<BlockLink> links;
    std::vector<int> order;  // tool indices: every tool after the tools it takes values from
};

// Reads and checks a block file; `imageOverride`, if not empty, replaces the block's image.
Block LoadBlock(const std::filesystem::path& file, const std::filesystem::path& imageOverride = {});
// Builds a block from a document already in memory; `file` names it in messages and
// anchors relative image paths. With `loadedTools` (read from an archive), the block takes
// those tools, one per entry of "tools" and of the class it names, instead of creating
// them and setting their properties.
using ToolList = std::vector<std::shared_ptr<Ostrel::Vision::Implementation::ToolBase>>;
Block BuildBlock(const nlohmann::ordered_json& document, const std::filesystem::path& file,
                 const std::filesystem::path& imageOverride = {}, const ToolList* loadedTools = nullptr);

// An 8-bit grey image read from a PNG (colour is converted to luminance).
std::shared_ptr<Ostrel::Vision::Image8Grey> ReadPng(const std::filesystem::path& file);

// Adds the block's spaces to `image`, selects the block's space and makes it the input
// image of every tool.
void SetBlockImage(Block& block, std::shared_ptr<Ostrel::Vision::Image8Grey> image);

// The registered name of a tool class without the library's namespace.
std::string ShortClassName(const Ostrel::Quill::IObject& object);

} // namespace Ogeo
