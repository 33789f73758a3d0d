// Fuzz target for archive loading: reads one archive from standard input and loads it.
// Loading must end in an object or in SerializationException; anything else (another
// exception, a crash, a sanitizer report, a hang) is a finding.
//
// Built only with -DOSTREL_BUILD_FUZZ=ON. With AFL++:
//   CXX=afl-clang-fast++ cmake -S . -B build-fuzz -G Ninja -DOSTREL_BUILD_FUZZ=ON
//       -DOSTREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug   (one command line)
//   cmake --build build-fuzz --target OstrelArchiveFuzz
//   afl-fuzz -i seeds -o findings -- build-fuzz/platform/OstrelArchiveFuzz
// Seeds are archives written by Serialization::Save; `OstrelArchiveFuzz --seed > seeds/graph`
// writes one: the object graph of the robustness tests, whose classes the target registers
// besides those of the platform.
// Under afl-clang-fast the target runs in persistent mode, reading test cases from shared
// memory; elsewhere it reads standard input once.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>

#include "persistence/ArchiveGraph.h"

namespace {

void LoadOne(const std::string& bytes)
{
    std::istringstream in(bytes);
    try {
        Ostrel::Vision::Serialization::Load(in);
    } catch (const Ostrel::Vision::SerializationException&) {
        // The expected outcome of a corrupted archive.
    }
}

int WriteSeed()
{
    Ostrel::Vision::Serialization::Save(std::cout, ArchiveGraph::MakeGraph(), 0x101);
    return std::cout ? 0 : 1;
}

} // namespace

#ifdef __AFL_FUZZ_TESTCASE_LEN
__AFL_FUZZ_INIT();
#endif

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--seed") == 0)
        return WriteSeed();
#ifdef __AFL_FUZZ_TESTCASE_LEN
    __AFL_INIT();
    const unsigned char* buffer = __AFL_FUZZ_TESTCASE_BUF;
    while (__AFL_LOOP(10000)) {
        const auto length = static_cast<std::size_t>(__AFL_FUZZ_TESTCASE_LEN);
        LoadOne(std::string(reinterpret_cast<const char*>(buffer), length));
    }
#else
    LoadOne(std::string(std::istreambuf_iterator<char>(std::cin), {}));
#endif
    return 0;
}
