// Fuzz target: Serialization::Load of an archive, over every class the platform, the
// geometry library and the archive tests' object graph register. Loading must end in an
// object or in a SerializationException; a loaded object is then used as a host would use
// it (Exercise.h). Anything else (another exception, a crash, a sanitizer report, a hang,
// memory beyond the fuzzer's limit) is a finding.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include <Geometry/LibraryInfo.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>

#include "Exercise.h"
#include "persistence/ArchiveGraph.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A call into the geometry library, so that the linker keeps it and its classes are
    // registered before the first archive is read.
    return Ostrel::Vision::Geometry::LibraryVersion().empty() ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Ostrel::Vision;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::shared_ptr<Ostrel::Quill::IObject> object;
    try {
        object = Serialization::Load(in);
    } catch (const SerializationException&) {
        return 0;
    }
    if (!object)
        FuzzSupport::Finding("Load", "returned null");
    try {
        FuzzSupport::Exercise(object);
    } catch (const InternalErrorException& e) {
        FuzzSupport::Finding("internal error", e.what());
    } catch (const VisionException&) {
    }
    return 0;
}
