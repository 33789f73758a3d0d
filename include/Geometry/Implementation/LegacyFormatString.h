#pragma once
// The conversion of label format strings saved by the previous product generation, in the
// composite syntax "{D,-8:F2}", into the {fmt} syntax "{D:<8.2F}" that the label tool
// formats with.

#include <string>
#include <string_view>

#include <Geometry/GeometryExport.h>

namespace Ostrel::Vision::Geometry::Implementation {

// Rewrites every legacy token of `text` and copies everything else unchanged.
//
// A token is "{" name ["," width] [":" letter [digits]] "}": name one of B, D, I, T (or
// "|"), width an optional "-" and decimal digits, letter one of c d e f g n p r x, their
// capitals, or "|". A token becomes "{" name [":" align width] [precision] [type] "}":
// a negative width aligns left ("<"), any other right (">"); the digits become the
// precision; the letter maps to a {fmt} type: C gives a "$" before the token and ".2f",
// N gives "L", R gives ".9g" for D and "d" for I, D E F G X keep their letter. Tokens
// are found as a left-to-right search for the first token on the same line (the text
// before a token and on its line is the token's literal text); text on earlier lines,
// braces outside tokens and the text after the last token are copied as they are.
//
// Scans in linear time and constant stack, whatever the length of `text`.
//
// Throws VisionException "Unconvertable Format String - (<match>). Percentage format not
// supported" for the letter P or p, "Invalid Format String - (<match>)." for "|" as the
// letter, where <match> is the token with its literal text; std::out_of_range for a
// width outside the 32-bit range.
OSTREL_GEOMETRY_API std::string ConvertLegacyFormatString(std::string_view text);

} // namespace Ostrel::Vision::Geometry::Implementation
