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
inline constexpr std::uint32_t LastRunResults = 0x1; // outputs, kept images, display copies, has-result marks
inline constexpr std::uint32_t InputImages = 0x100;  // the tools' input images
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
    ~VisionInputArchive() override;

    // Bytes not yet read. Every length read from the stream is bounded by it, so that a
    // corrupted length cannot make a container allocate what the stream could never fill.
    // A stream that cannot seek (a pipe) has no known end: its lengths are bounded by
    // MaxLengthWithoutEnd instead, which keeps one allocation below a gigabyte but may
    // still be more than the stream holds. Serialization::Load reads such a stream into
    // memory first, so that its lengths are bounded exactly.
    std::uint64_t BytesLeft() const;
    static constexpr std::uint64_t MaxLengthWithoutEnd = std::uint64_t{1} << 26;

private:
    friend class Private::ArchivePointerRead;
    friend class Private::ArchiveWeakReference;
    struct PointerBookkeeping;

    std::istream& stream_;
    std::uint64_t end_;
    std::unique_ptr<PointerBookkeeping> pointers_;
};

// The options of an archive object; throws InternalErrorException for an archive that
// carries none.
std::uint32_t Options(const cereal::PortableBinaryOutputArchive& ar);
std::uint32_t Options(const cereal::PortableBinaryInputArchive& ar);

// Reading a class begins with this check. Throws SerializationException with
// "Persistence version mismatch in %1" or "Outdated persistence version in %1. ..." (%1 =
// name) when the archived class version is not the current one.
void CheckSerializationVersionMismatch(std::uint32_t archived, std::uint32_t current,
                                       const std::string& name);

namespace Serialization {
// Writes the options mask, then the object as a polymorphic shared pointer. Throws
// ArgumentNullException for a null object and SerializationException when writing fails.
void Save(std::ostream& stream, const std::shared_ptr<Quill::IObject>& object, std::uint32_t options);
// Reads what Save wrote and returns the object (never null). Whatever goes wrong inside
// (truncation, corruption, an unknown type, a version mismatch, an exception thrown by a
// class while it reads itself) surfaces as one SerializationException naming the problem.
// A stream that cannot seek is read to its end first (it must hold this one archive), so
// that every length in it is bounded by the bytes it actually holds.
std::shared_ptr<Quill::IObject> Load(std::istream& stream);
} // namespace Serialization

} // namespace Ostrel::Vision
