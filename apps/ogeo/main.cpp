// ogeo: runs blocks of geometry tools over images from the command line and draws what
// they measured. Exit status: 0 all tools accepted, 1 a tool run failed, 2 bad input.
#include <iostream>

#include <CLI/CLI.hpp>

#include <Geometry/LibraryInfo.h>

#include "Block.h"
#include "Commands.h"

int main(int argc, char** argv)
{
    CLI::App app{"ogeo: runs blocks of geometry tools over images and draws their results"};
    // The tools are created by name through the registration the library runs when it is
    // loaded; asking it for its version also keeps the linker from leaving it out, since
    // nothing else here names one of its symbols.
    app.set_version_flag("--version", Ostrel::Vision::Geometry::LibraryVersion());
    app.require_subcommand(1);
    Ogeo::AddCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    try {
        return Ogeo::RunSelectedCommand(app);
    } catch (const Ogeo::InputError& e) {
        std::cerr << "ogeo: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "ogeo: " << e.what() << "\n";
        return 2;
    }
}
