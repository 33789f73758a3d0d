#include "Commands.h"

#include <iostream>

#include <CLI/CLI.hpp>

#include <Geometry/LibraryInfo.h>

#include "Batch.h"
#include "Block.h"
#include "BlockArchive.h"
#include "Overlay.h"
#include "Report.h"

namespace Ogeo {

namespace {

struct Options {
    std::string block, image, json;
    std::vector<std::string> overlays;
    BatchOptions batch;
    std::string archive, options = "0", table;
    std::string demoOut = ".";
    int demoImages = 0;
};

std::uint32_t OptionsMask(const std::string& text)
{
    std::size_t used = 0;
    unsigned long mask = 0;
    try {
        mask = std::stoul(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || used == 0 || mask > 0xFFFFFFFFul)
        throw InputError("--options " + text + ": expected a 32-bit mask such as 0x101");
    return static_cast<std::uint32_t>(mask);
}

Options& TheOptions()
{
    static Options options;
    return options;
}

void ExpectOverlayExtension(const std::string& file)
{
    const auto extension = std::filesystem::path(file).extension();
    if (extension != ".png" && extension != ".svg")
        throw InputError(file, "", "an overlay is a .png or an .svg file");
}

// Runs a loaded block once; prints the table, writes the JSON and the overlays.
int RunOnce(Block& block, const Options& options)
{
    for (const auto& overlay : options.overlays)
        ExpectOverlayExtension(overlay);
    const auto outcomes = RunBlock(block);
    std::cout << FormatTable(outcomes);
    if (!options.json.empty())
        WriteFileAtomically(options.json, ToJson(block, outcomes).dump(2) + "\n");
    if (!options.overlays.empty()) {
        std::vector<std::string> skipped;
        const auto scene = BuildScene(block, &skipped);
        for (const auto& note : skipped)
            std::cerr << "ogeo: not drawn: " << note << "\n";
        for (const auto& overlay : options.overlays)
            WriteOverlay(overlay, *block.image, scene);
    }
    return AllAccepted(outcomes) ? 0 : 1;
}

void AddCommands(CLI::App& app)
{
    auto& options = TheOptions();
    auto* run = app.add_subcommand("run", "Run a tool block once over its image");
    run->add_option("BLOCK", options.block, "Block file (JSON, see docs/ogeo.md)")->required();
    run->add_option("--image", options.image, "PNG image to run over instead of the block's own");
    run->add_option("--json", options.json, "Write the run's results as JSON to this file");
    run->add_option("--overlay", options.overlays,
                    "Draw the tools' last-run records over the image into this .png or .svg (may be repeated)");
    auto* images = run->add_option("--images", options.batch.images,
                                   "Run over every PNG of a folder or glob pattern (quote it) instead, on all cores");
    run->add_option("--csv", options.batch.csv, "With --images: one row per image and output")->needs(images);
    run->add_option("--overlay-dir", options.batch.overlayFolder,
                    "With --images: write each image with its results drawn over it into this folder")
        ->needs(images);
    run->add_option("--jobs", options.batch.jobs, "With --images: workers (default: one per core)")->needs(images);
    images->needs("--csv");
    images->excludes("--json")->excludes("--overlay")->excludes("--image");

    auto* save = app.add_subcommand("save", "Save a block file as a binary block archive");
    save->add_option("BLOCK", options.block, "Block file (JSON)")->required();
    save->add_option("-o,--output", options.archive, "Archive to write")->required();
    save->add_option("--options", options.options,
                     "Archive options mask: 0x1 the last run's results (the block is run first), 0x100 the input "
                     "images");

    auto* inspect = app.add_subcommand("inspect", "Print an archive as a tree of classes and property values");
    inspect->add_option("ARCHIVE", options.archive, "Block archive, or any object the library saved")->required();

    auto* convert = app.add_subcommand("convert", "Convert a legacy table (docs/legacy-table.md) into a block archive");
    convert->add_option("TABLE", options.table, "Legacy table in its JSON text form")->required();
    convert->add_option("-o,--output", options.archive, "Archive to write")->required();
    convert->add_option("--options", options.options, "Archive options mask");

    auto* demo = app.add_subcommand(
        "demo",
        "Draw a synthetic machined part, run the built-in block on it and write demo-part.png (the part), "
        "demo.png and demo.svg (the part with the results drawn over it) and demo-block.json (the block, "
        "to edit and run with `ogeo run`). The edge points come from a simple gradient search along lines "
        "written for the demo, not from a tool of the library.");
    demo->add_option("--out", options.demoOut, "Folder for the demo's files (made if missing)");
    demo->add_option("--images", options.demoImages,
                     "Also draw this many parts with other noise into DIR/parts, to run the block over as a batch")
        ->check(CLI::Range(0, 100000));
}

int RunSelectedCommand(const CLI::App& app)
{
    const auto& options = TheOptions();
    if (app.got_subcommand("run")) {
        auto block = LoadBlockFile(options.block, options.image);
        return options.batch.images.empty() ? RunOnce(block, options) : RunBatch(block, options.batch);
    }
    if (app.got_subcommand("save")) {
        const auto mask = OptionsMask(options.options);
        auto block = LoadBlockFile(options.block);
        if (mask & 0x1)
            RunBlock(block);
        WriteFileAtomically(options.archive, SaveBlockArchive(block, mask));
        return 0;
    }
    if (app.got_subcommand("inspect")) {
        std::cout << InspectArchive(options.archive);
        return 0;
    }
    if (app.got_subcommand("convert")) {
        std::string log;
        const auto bytes = ConvertLegacyTable(options.table, OptionsMask(options.options), log);
        std::cerr << log;
        WriteFileAtomically(options.archive, bytes);
        return 0;
    }
    if (app.got_subcommand("demo"))
        return RunDemo(options.demoOut, options.demoImages);
    return 2;
}

} // namespace

int Main(int argc, char** argv)
{
    CLI::App app{"ogeo: runs blocks of geometry tools over images and draws their results"};
    // The tools are created by name through the registration the library runs when it is
    // loaded; asking it for its version also keeps the linker from leaving it out, since
    // nothing else here names one of its symbols.
    app.set_version_flag("--version", Ostrel::Vision::Geometry::LibraryVersion());
    app.require_subcommand(1);
    AddCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    try {
        return RunSelectedCommand(app);
    } catch (const std::exception& e) {
        std::cerr << "ogeo: " << e.what() << "\n";
        return 2;
    }
}

} // namespace Ogeo
