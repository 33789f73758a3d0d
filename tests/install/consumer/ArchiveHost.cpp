// A host that links the geometry library but calls none of its functions: it only reads a
// geometry tool's archive through the framework. Linked with --as-needed, it must still load
// the library, whose registrations the archive needs.
#include <fstream>
#include <iostream>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>

int main(int argc, char** argv)
{
    using namespace Ostrel;
    if (argc != 2)
        return 2;
    std::ifstream in(argv[1], std::ios::binary);
    try {
        auto object = Vision::Serialization::Load(in);
        std::cout << "loaded " << rttr::type::get(*object).get_name().to_string() << "\n";
    } catch (const Vision::VisionException& e) {
        std::cout << e.Message() << "\n";
        return 1;
    }
    return 0;
}
