#pragma once
// Archives: cereal's portable binary archives carrying a 32-bit options mask. The mask is
// the first thing in the stream; every serialize reads it from the archive object at the
// start of its own fields and writes placeholders where an option is clear, so that an
// archive has the same shape whatever the options.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/Cereal.h>

namespace Ostrel::Vision {

namespace ArchiveOptions {
inline constexpr std::uint32_t None = 0x0;
inline constexpr std::uint32_t LastRunResults = 0x1;  // outputs, kept images, display copies, has-result marks
inline constexpr std::uint32_t InputImages = 0x100;   // the tools' input images
} // namespace ArchiveOptions

class VisionArchiveWithOptions {
public:
    explicit VisionArchiveWithOptions(std::uint32_t options) : options_(options) {}
    virtual ~VisionArchiveWithOptions() = default;

    std::uint32_t Options() const { return options_; }
    bool Has(std::uint32_t option) const { return (options_ & option) == option; }

protected:
    void setOptions(std::uint32_t options) { options_ = options; }

private:
    std::uint32_t options_;
};

// The archive objects. serialize templates are written for the cereal archive types; the
// objects passed to them are these, and Options(ar) reaches the mask.
class VisionOutputArchive : public cereal::PortableBinaryOutputArchive, public VisionArchiveWithOptions {
public:
    VisionOutputArchive(std::ostream& stream, std::uint32_t options);
};

class VisionInputArchive : public cereal::PortableBinaryInputArchive, public VisionArchiveWithOptions {
public:
    // Reads the options mask at the start of the stream.
    explicit VisionInputArchive(std::istream& stream);

    // Bytes not yet read; every size read from the stream is bounded by it, so that a
    // corrupted length cannot make a container allocate gigabytes.
    std::uint64_t BytesLeft() const;

private:
    std::istream& stream_;
    std::uint64_t end_;
};

// The options of an archive object; throws InternalErrorException for an archive that
// carries none.
std::uint32_t Options(const cereal::PortableBinaryOutputArchive& ar);
std::uint32_t Options(const cereal::PortableBinaryInputArchive& ar);

// Reading a class begins with this check. Throws SerializationException with
// "Persistence version mismatch in %1" or "Outdated persistence version in %1. ..." (%1 =
// name) when the archived class version is not the current one.
void CheckSerializationVersionMismatch(std::uint32_t archived, std::uint32_t current, const std::string& name);

namespace Serialization {
// Writes the options mask, then the object as a polymorphic shared pointer.
void Save(std::ostream& stream, const std::shared_ptr<Quill::IObject>& object, std::uint32_t options);
// Reads what Save wrote. Whatever goes wrong inside (truncation, corruption, an unknown
// type, a version mismatch) surfaces as one SerializationException naming the problem.
std::shared_ptr<Quill::IObject> Load(std::istream& stream);
} // namespace Serialization

} // namespace Ostrel::Vision
