#pragma once
// A block over many images on all cores: one copy of the block per worker (made by saving
// the block into an archive and loading it back), images taken in turn, rows collected in
// image order.

#include <filesystem>
#include <string>
#include <vector>

#include "Block.h"

namespace Ogeo {

struct BatchOptions {
    std::string images;                  // a folder (its .png files) or a glob pattern
    std::filesystem::path csv;           // one row per image and output
    std::filesystem::path overlayFolder; // if set, IMAGE.png with the results drawn over it
    unsigned jobs = 0;                   // 0: one worker per core
};

// The images a folder or pattern names, sorted; throws InputError when there are none.
std::vector<std::filesystem::path> BatchImages(const std::string& folderOrPattern);

// Returns the exit status: 0 when every tool accepted on every image, 1 otherwise.
int RunBatch(const Block& block, const BatchOptions& options);

} // namespace Ogeo
