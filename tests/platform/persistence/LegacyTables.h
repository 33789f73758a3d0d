#pragma once
// Helpers of the legacy conversion tests: a table from its text form, the message of an
// expected exception.
#include <memory>
#include <sstream>
#include <string>

#include <Ostrel/Vision/Legacy.h>

namespace LegacyTables {

inline std::unique_ptr<Ostrel::Vision::Implementation::Internal::ConversionContext>
Table(const std::string& json)
{
    std::istringstream in(json);
    return Ostrel::Vision::Implementation::Internal::ConversionContext::FromJson(in);
}

// The what() of the Exception that `call` throws, or "(no exception)".
template <class Exception, class Call> std::string MessageOf(Call&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no exception)";
}

} // namespace LegacyTables
