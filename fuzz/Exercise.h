#pragma once
// What the fuzz targets do with an object that loaded or converted: use it as a host
// would, so that the tools, fits and shapes run on the fuzzed values as well. A tool runs
// (on a small image if it came without one) and makes its records; a fit executes. Every
// number an accepted run or a fit result reports must be finite.
//
// An outcome the library documents (a failed run, a VisionException) is fine. Anything
// else (an InternalErrorException, another exception escaping, a NaN passed off as a
// result) aborts, which the fuzzer reports as a finding together with the input.
#include <memory>

#include <Ostrel/Quill/IObject.h>

namespace FuzzSupport {

void Exercise(const std::shared_ptr<Ostrel::Quill::IObject>& object);

// Prints `what` and the exception's text and aborts.
[[noreturn]] void Finding(const char* what, const char* detail);

} // namespace FuzzSupport
