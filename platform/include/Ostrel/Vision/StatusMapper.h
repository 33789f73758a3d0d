#pragma once
// Statuses of the point-fitting library and the mapper that turns a failing one into a
// framework exception. A status is a 32-bit value whose top bit marks a failure.

#include <cstdint>

namespace Ostrel::Vision {

namespace FitStatus {
inline constexpr std::uint32_t Ok = 0x00000000;
inline constexpr std::uint32_t TooFewPoints = 0x80000B2D;     // too few usable points
inline constexpr std::uint32_t AmbiguousPoints = 0x80000582;  // no unique shape through the points
inline constexpr std::uint32_t NonFiniteInput = 0x80000A0F;   // a coordinate or parameter is NaN or infinite
inline constexpr std::uint32_t InvalidArgument = 0x80070057;  // null pointer, negative count, bad parameter
inline constexpr std::uint32_t OutOfMemory = 0x8007000E;
inline constexpr std::uint32_t Failure = 0x80004005;          // anything else
constexpr bool Failed(std::uint32_t status) { return (status & 0x80000000u) != 0; }
} // namespace FitStatus

// Returns on success; otherwise throws the framework exception that matches the status.
void ThrowOnFailedStatus(std::uint32_t status);

} // namespace Ostrel::Vision
