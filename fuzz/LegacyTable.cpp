// Fuzz target: the text form of a legacy table (docs/legacy-table.md) read by
// ConversionContext::FromJson, then every object of the table converted and used as a
// host would use it (Exercise.h). Reading may end in a SerializationException; a
// conversion in the exceptions docs/legacy-table.md names (std::out_of_range for a missing
// property or handle, std::runtime_error for a bad fetch, a VisionException from a setter
// or for an unregistered type). Anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>

#include <Geometry/LibraryInfo.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Legacy.h>

#include "Exercise.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A call into the geometry library, so that the linker keeps it and its legacy types
    // are registered before the first table is converted.
    return Ostrel::Vision::Geometry::LibraryVersion().empty() ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Ostrel::Vision;
    using namespace Ostrel::Vision::Implementation::Internal;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::unique_ptr<ConversionContext> table;
    try {
        table = ConversionContext::FromJson(in);
    } catch (const SerializationException&) {
        return 0;
    }
    for (const auto& [handle, info] : table->Objects()) {
        try {
            if (const auto object = Orv9xConverter::Orv9xConvert(handle, table.get()))
                FuzzSupport::Exercise(object);
        } catch (const InternalErrorException& e) {
            FuzzSupport::Finding("internal error", e.what());
        } catch (const VisionException&) {
        } catch (const std::out_of_range&) {
        } catch (const std::runtime_error&) {
        }
    }
    return 0;
}
