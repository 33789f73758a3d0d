#pragma once
// The framework's message table. Templates hold %1, %2, ... placeholders, filled in order
// by Substitute, the one substitution used for messages and labels alike.

#include <string>
#include <string_view>
#include <vector>

namespace Ostrel::Vision::Strings {

inline constexpr std::string_view E_OstTool_NoResult =
    "The tool has no result: it has not run successfully since it was created, changed its result or failed.";
inline constexpr std::string_view E_OstOperator_NoInputImage =
    "The tool has no input image: set InputImage before running it.";
inline constexpr std::string_view E_OstShape_CoordinatesMustDiffer =
    "The two points must differ: no shape can be built from coinciding coordinates.";
inline constexpr std::string_view IDS_Ost_InvalidArgNull_1 = "The argument %1 must not be null.";
inline constexpr std::string_view IDS_Ost_InvalidArgRange_3 =
    "The argument %1 is out of range: it must lie between %2 and %3.";
inline constexpr std::string_view IDS_Ost_InvalidArgGE_2 =
    "The argument %1 is out of range: it must be greater than or equal to %2.";
inline constexpr std::string_view IDS_Ost_InvalidArgGEandLT_3 =
    "The index passed to %1 is out of range: it must be at least %2 and less than %3.";
inline constexpr std::string_view IDS_Ost_InvalidArgNotFinite_1 =
    "The argument %1 must be a finite number.";

// Replaces each "%n" (1 <= n <= args.size()) by the n-th argument. A number outside that
// range is left as written; inserted text is not scanned again.
std::string Substitute(std::string_view format, const std::vector<std::string>& args);

} // namespace Ostrel::Vision::Strings
