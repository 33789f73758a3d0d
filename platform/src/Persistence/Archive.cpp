#include <istream>
#include <limits>
#include <ostream>

#include <fmt/format.h>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>

namespace cereal {

// Every container, string and polymorphic name read from a portable binary archive is
// preceded by its element count. A corrupted count must not make the reader allocate
// what the stream could never fill: each element takes at least one byte, so a count
// above the bytes left is rejected before anything is resized.
void serialize(PortableBinaryInputArchive& ar, SizeTag<size_type&>& tag)
{
    ar(tag.size);
    const auto* archive = dynamic_cast<const Ostrel::Vision::VisionInputArchive*>(&ar);
    const std::uint64_t left = archive ? archive->BytesLeft() : std::numeric_limits<std::uint64_t>::max();
    if (tag.size > left)
        throw Exception(fmt::format("A length of {} was read where only {} bytes are left in the archive.",
                                    tag.size, left));
}

} // namespace cereal

namespace Ostrel::Vision {

namespace {
// The product version that can upgrade an archive older than the current class version.
constexpr const char* UpgradingProductVersion = "10.0";
} // namespace

VisionOutputArchive::VisionOutputArchive(std::ostream& stream, std::uint32_t options)
    : cereal::PortableBinaryOutputArchive(stream), VisionArchiveWithOptions(options)
{
    (*this)(options);
}

VisionInputArchive::VisionInputArchive(std::istream& stream)
    : cereal::PortableBinaryInputArchive(stream), VisionArchiveWithOptions(0), stream_(stream),
      end_(std::numeric_limits<std::uint64_t>::max())
{
    auto* buffer = stream_.rdbuf();
    const auto here = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
    const auto end = buffer->pubseekoff(0, std::ios::end, std::ios::in);
    if (here != std::streampos(-1) && end != std::streampos(-1)) {
        end_ = static_cast<std::uint64_t>(std::streamoff(end));
        buffer->pubseekpos(here, std::ios::in);
    }
    std::uint32_t options = 0;
    (*this)(options);
    setOptions(options);
}

std::uint64_t VisionInputArchive::BytesLeft() const
{
    if (end_ == std::numeric_limits<std::uint64_t>::max())
        return end_;
    const auto here = stream_.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
    if (here == std::streampos(-1))
        return 0;
    const auto position = static_cast<std::uint64_t>(std::streamoff(here));
    return position >= end_ ? 0 : end_ - position;
}

namespace {
template <class Archive>
std::uint32_t OptionsOf(const Archive& ar)
{
    const auto* withOptions = dynamic_cast<const VisionArchiveWithOptions*>(&ar);
    if (!withOptions)
        throw InternalErrorException("The archive carries no options: objects are saved and loaded only "
                                     "through archives made by Serialization::Save and Load.");
    return withOptions->Options();
}
} // namespace

std::uint32_t Options(const cereal::PortableBinaryOutputArchive& ar) { return OptionsOf(ar); }
std::uint32_t Options(const cereal::PortableBinaryInputArchive& ar) { return OptionsOf(ar); }

void CheckSerializationVersionMismatch(std::uint32_t archived, std::uint32_t current, const std::string& name)
{
    // An archive older than this code is one that an intermediate product version can
    // upgrade; anything else (a newer or unknown version) is a plain mismatch.
    if (archived == current)
        return;
    if (archived < current && archived > 0)
        throw SerializationException(Strings::Substitute(
            "Outdated persistence version in %1. To update please load and then save the archive in Kestrune %2",
            {name, UpgradingProductVersion}));
    throw SerializationException(Strings::Substitute("Persistence version mismatch in %1", {name}));
}

void Serialization::Save(std::ostream& stream, const std::shared_ptr<Quill::IObject>& object, std::uint32_t options)
{
    try {
        VisionOutputArchive archive(stream, options);
        archive(object);
    } catch (const VisionException&) {
        throw;
    } catch (const std::exception& e) {
        throw SerializationException(fmt::format("The object cannot be saved: {}", e.what()));
    }
    if (!stream)
        throw SerializationException("The object cannot be saved: the stream refused the data.");
}

std::shared_ptr<Quill::IObject> Serialization::Load(std::istream& stream)
{
    try {
        VisionInputArchive archive(stream);
        std::shared_ptr<Quill::IObject> object;
        archive(object);
        return object;
    } catch (const SerializationException&) {
        throw;
    } catch (const std::exception& e) {
        throw SerializationException(fmt::format("The archive cannot be read: {}", e.what()));
    }
}

} // namespace Ostrel::Vision
