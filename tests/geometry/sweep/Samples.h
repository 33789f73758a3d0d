#pragma once
// What the archive sweep, its golden archives and their generator share: the library's
// archived classes as cereal's registry lists them, one sample object per class with every
// writable property away from its default (tools also run), and a flat description of an
// object through its reflection, against which a loaded object is compared.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/Image8Grey.h>

namespace Sweep {

inline constexpr const char* LibraryNamespace = "Ostrel::Vision::Geometry::";
// Every mask a host may choose, in the bits that matter: last-run results, input images.
inline constexpr std::uint32_t AllOptions[] = {0x0, 0x1, 0x100, 0x101};

// The qualified names of the library's classes that cereal can create from an archive.
std::vector<std::string> RegisteredClasses();
std::string ShortName(const std::string& qualified);

// A new object of a registered class, made by the factory.
std::shared_ptr<Ostrel::Quill::IObject> NewObject(const std::string& qualified);
// The image every sample tool runs over: small, with pixels and a space of its own.
std::shared_ptr<Ostrel::Vision::Image8Grey> SampleImage();
// The sample of a registered class: made by the factory, every writable property (and
// those of the shapes and run parameters it holds) set away from its default through
// reflection, fit parameters given points; a tool is then run over SampleImage() and must
// succeed; a fit result is what its fit's Execute returns.
std::shared_ptr<Ostrel::Quill::IObject> MakeSample(const std::string& qualified);

// One reflected value: its text, and the number when it is one.
struct Field {
    std::string text;
    std::optional<double> number;
};
// Every property path of the object (properties, fake properties, pins of a tool, and
// those of the objects they hold, two levels deep) with its value; a getter that throws
// gives "throws <exception class>".
using Description = std::map<std::string, Field>;
Description Describe(const std::shared_ptr<Ostrel::Quill::IObject>& object);
bool SameValue(const Field& a, const Field& b);

// The first live graphic of a tool's current record changed as a display drags it; the
// state flags the tool raised.
std::vector<std::uint64_t> DragFirstLiveGraphic(const std::shared_ptr<Ostrel::Quill::IObject>& tool);

std::string GoldenArchiveName(const std::string& qualified, std::uint32_t options);

} // namespace Sweep
