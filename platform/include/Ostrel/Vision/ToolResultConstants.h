#pragma once

#include <cstdint>

namespace Ostrel::Vision {

// The outcome of a tool run. Accept (0) is success; a run that throws ends as Error.
enum class ToolResultConstants : std::int32_t {
    Accept = 0,
    Warning = 1,
    Reject = 2,
    Error = 3,
};

} // namespace Ostrel::Vision
