#pragma once
// Coordinate-space names.
//
// A name is a path of elements separated by "/". An element is one or more of the
// characters A–Z, a–z, 0–9, "_", "-" and ".", and does not begin with ".". Forms:
// - fully qualified: "#" (the root, pixel space) or "#/" followed by elements: "#/Fixture/Plate";
// - partial: elements alone, "Plate" or "Fixture/Plate" (the trailing part of one
//   fully qualified name);
// - relative to an image's selected space: "." or "./" followed by elements;
// - "$", alone or followed by "/" and elements: the space of the graphic that holds a
//   child graphic.
// Partial, relative and "$" names are the relative forms.

#include <memory>
#include <string>
#include <vector>

namespace Ostrel::Vision {

class IImage;

namespace SpaceNameUtils {

inline constexpr const char* RootName = "#";
inline constexpr const char* SelectedSpaceName = ".";
inline constexpr const char* ParentGraphicSpaceName = "$";

// Throws ArgumentException naming the name and what is wrong with it (empty, a character
// that no name may hold, an empty element, a trailing "/", a "#", "." or "$" anywhere but at
// the start, ...) unless it is a fully qualified name or, with allowRelative, a relative
// form.
void CheckSpaceNameSyntax(const std::string& name, bool allowRelative);
// The same; throws ArgumentNullException for a null name.
void CheckSpaceNameSyntax(const char* name, bool allowRelative);

// The fully qualified name of the image's selected space ("#" for a new image). Throws
// InvalidOperationException when the selected name no longer names one space of the
// image's tree (a space added later can make a partial name ambiguous).
std::string ImageSpaceNameFQ(const IImage& image);
// The same; throws ArgumentNullException for a null image.
std::string ImageSpaceNameFQ(const std::shared_ptr<const IImage>& image);

bool IsFullyQualified(const std::string& name);  // by syntax alone
// The elements of a syntactically valid name after its leading "#", "." or "$", if any.
std::vector<std::string> SplitElements(const std::string& name);

} // namespace SpaceNameUtils
} // namespace Ostrel::Vision
