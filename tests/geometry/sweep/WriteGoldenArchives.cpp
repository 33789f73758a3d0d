// Writes the golden archives: every registered class of the library, as its sample, with
// every options mask. Usage: ostrel-write-golden-archives <directory> (the committed set
// lives in tests/data/archives). Rewrite them only with a deliberate change of the wire
// format, which also breaks every archive users hold.
#include <cstdio>
#include <fstream>

#include <Ostrel/Vision/Archive.h>

#include "geometry/sweep/Samples.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    int written = 0;
    for (const auto& name : Sweep::RegisteredClasses()) {
        for (const auto options : Sweep::AllOptions) {
            std::ofstream out(std::string(argv[1]) + "/" + Sweep::GoldenArchiveName(name, options),
                              std::ios::binary);
            Ostrel::Vision::Serialization::Save(out, Sweep::MakeSample(name), options);
            written += out ? 1 : 0;
        }
    }
    std::printf("%d archives written to %s\n", written, argv[1]);
    return 0;
}
