#include "Commands.h"

#include <iostream>

#include "Block.h"
#include "Overlay.h"
#include "Report.h"

namespace Ogeo {

namespace {

struct Options {
    std::string block, image, json;
    std::vector<std::string> overlays;
    std::string demoOut = ".";
    int demoImages = 0;
};

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

} // namespace

void AddCommands(CLI::App& app)
{
    auto& options = TheOptions();
    auto* run = app.add_subcommand("run", "Run a tool block once over its image");
    run->add_option("BLOCK", options.block, "Block file (JSON, see docs/ogeo.md)")->required();
    run->add_option("--image", options.image, "PNG image to run over instead of the block's own");
    run->add_option("--json", options.json, "Write the run's results as JSON to this file");
    run->add_option("--overlay", options.overlays,
                    "Draw the tools' last-run records over the image into this .png or .svg (may be repeated)");

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
        auto block = LoadBlock(options.block, options.image);
        return RunOnce(block, options);
    }
    if (app.got_subcommand("demo"))
        return RunDemo(options.demoOut, options.demoImages);
    return 2;
}

} // namespace Ogeo
