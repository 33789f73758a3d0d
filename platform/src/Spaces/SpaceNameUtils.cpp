#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::SpaceNameUtils {

namespace {

bool IsElementCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

[[noreturn]] void Reject(const std::string& name, const std::string& why)
{
    throw ArgumentException(Strings::Substitute("The coordinate space name \"%1\" is malformed: %2", {name, why}));
}

// Checks the elements of `name` from `start` on: element ("/" element)*.
void CheckElements(const std::string& name, std::size_t start)
{
    std::size_t begin = start;
    while (true) {
        const std::size_t end = name.find('/', begin);
        const std::size_t stop = end == std::string::npos ? name.size() : end;
        if (stop == begin) {
            if (end == std::string::npos)
                Reject(name, "it ends with \"/\".");
            Reject(name, begin == 0 ? "it begins with \"/\"." : "it has an empty element (\"//\").");
        }
        if (name[begin] == '.')
            Reject(name, "an element begins with \".\" (\".\" may only open a name, as \".\" or \"./\").");
        for (std::size_t i = begin; i < stop; ++i) {
            const char c = name[i];
            if (IsElementCharacter(c))
                continue;
            if (c == '#' || c == '$')
                Reject(name, Strings::Substitute("\"%1\" may only open a name.", {std::string(1, c)}));
            const unsigned code = static_cast<unsigned char>(c);
            Reject(name, code >= 0x21 && code < 0x7F
                             ? Strings::Substitute("the character \"%1\" may not appear in it (letters, digits, "
                                                   "\"_\", \"-\" and \".\" may).",
                                                   {std::string(1, c)})
                             : Strings::Substitute("it holds the character with code %1, which may not appear in "
                                                   "it (letters, digits, \"_\", \"-\" and \".\" may).",
                                                   {std::to_string(code)}));
        }
        if (end == std::string::npos)
            return;
        begin = end + 1;
    }
}

// Checks a name that opens with "#", "." or "$": that character alone, or followed by
// "/" and elements.
void CheckPrefixed(const std::string& name)
{
    if (name.size() == 1)
        return;
    if (name[1] != '/')
        Reject(name, Strings::Substitute("\"%1\" must stand alone or be followed by \"/\".", {name.substr(0, 1)}));
    if (name.size() == 2)
        Reject(name, "it ends with \"/\".");
    CheckElements(name, 2);
}

} // namespace

void CheckSpaceNameSyntax(const std::string& name, bool allowRelative)
{
    if (name.empty())
        throw ArgumentException("The coordinate space name is empty.");
    const char first = name[0];
    if (first == '#') {
        CheckPrefixed(name);
        return;
    }
    if (!allowRelative)
        Reject(name, "a fully qualified name must begin with \"#\" (\"#\" or \"#/Fixture\").");
    if (first == '.' || first == '$')
        CheckPrefixed(name);
    else
        CheckElements(name, 0);
}

void CheckSpaceNameSyntax(const char* name, bool allowRelative)
{
    if (!name)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"name"}));
    CheckSpaceNameSyntax(std::string(name), allowRelative);
}

std::string ImageSpaceNameFQ(const IImage& image)
{
    const std::string& selected = image.SelectedSpaceName();
    std::string name = image.CoordinateSpaceTree()->LookUpName(selected, true);
    if (name.empty())
        throw InvalidOperationException(Strings::Substitute(
            "The image's selected space \"%1\" names no single space of its coordinate space tree.", {selected}));
    return name;
}

std::string ImageSpaceNameFQ(const std::shared_ptr<const IImage>& image)
{
    if (!image)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"image"}));
    return ImageSpaceNameFQ(*image);
}

bool IsFullyQualified(const std::string& name) { return !name.empty() && name[0] == '#'; }

std::vector<std::string> SplitElements(const std::string& name)
{
    std::vector<std::string> elements;
    std::size_t begin = 0;
    if (!name.empty() && (name[0] == '#' || name[0] == '$' || (name[0] == '.' && (name.size() == 1 || name[1] == '/'))))
        begin = name.size() == 1 ? 1 : 2;
    while (begin < name.size()) {
        const std::size_t end = name.find('/', begin);
        const std::size_t stop = end == std::string::npos ? name.size() : end;
        elements.push_back(name.substr(begin, stop - begin));
        begin = stop + 1;
    }
    return elements;
}

} // namespace Ostrel::Vision::SpaceNameUtils
