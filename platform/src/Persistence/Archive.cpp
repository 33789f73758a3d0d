#include <algorithm>
#include <cctype>
#include <cstdio>
#include <istream>
#include <iterator>
#include <limits>
#include <new>
#include <ostream>
#include <sstream>
#include <typeindex>
#include <unordered_map>
#include <utility>

#include <fmt/format.h>

#include <cereal/details/util.hpp>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision {

// What an input archive remembers of the pointers it has read: the dynamic type of every
// object id and whether the object is completely read, how deep the objects being read
// nest, and whether the next pointer is a weak reference.
struct VisionInputArchive::PointerBookkeeping {
    struct Object {
        std::type_index type;
        bool complete = false;
    };
    std::unordered_map<std::uint32_t, Object> objects;
    int nesting = 0;
    bool weakNext = false;
};

namespace {

constexpr std::uint64_t Unbounded = std::numeric_limits<std::uint64_t>::max();

// The product version that can upgrade an archive older than the current class version.
constexpr const char* UpgradingProductVersion = "10.0";

VisionInputArchive* AsVisionArchive(cereal::PortableBinaryInputArchive& ar)
{
    return dynamic_cast<VisionInputArchive*>(&ar);
}

} // namespace

} // namespace Ostrel::Vision

namespace cereal {

// Every container, string and polymorphic name read from a portable binary archive is
// preceded by its element count. Each element takes at least one byte, so a count above
// the bytes left is rejected before anything is resized.
void serialize(PortableBinaryInputArchive& ar, SizeTag<size_type&>& tag)
{
    using Ostrel::Vision::VisionInputArchive;
    ar(tag.size);
    const auto* archive = dynamic_cast<const VisionInputArchive*>(&ar);
    const std::uint64_t left = archive ? archive->BytesLeft() : Ostrel::Vision::Unbounded;
    if (left == Ostrel::Vision::Unbounded) {
        if (tag.size > VisionInputArchive::MaxLengthWithoutEnd)
            throw Exception(
                fmt::format("A length of {} was read from a stream without a known end, where at most {} "
                            "is accepted.",
                            tag.size, VisionInputArchive::MaxLengthWithoutEnd));
    } else if (tag.size > left) {
        throw Exception(fmt::format("A length of {} was read where only {} bytes are left in the archive.",
                                    tag.size, left));
    }
}

// cppcheck-suppress constParameter ; reading through ar advances the stream
void load(PortableBinaryInputArchive& ar, bool& value)
{
    std::uint8_t byte = 0;
    ar(byte);
    if (byte > 1)
        throw Exception(fmt::format("A boolean reads {} where 0 or 1 is stored.", byte));
    value = byte == 1;
}

} // namespace cereal

namespace Ostrel::Vision {

namespace Private {

ArchivePointerRead::ArchivePointerRead(cereal::PortableBinaryInputArchive& ar, std::uint32_t id,
                                       const std::type_info& type)
    : archive_(AsVisionArchive(ar)), id_(id & ~cereal::detail::msb_32bit),
      isNew_((id & cereal::detail::msb_32bit) != 0)
{
    if (!archive_)
        return;
    auto& book = *archive_->pointers_;
    const bool weak = std::exchange(book.weakNext, false);
    if (isNew_) {
        Enter();
        if (!book.objects.emplace(id_, VisionInputArchive::PointerBookkeeping::Object{type, false}).second)
            throw cereal::Exception(fmt::format("The object id {} is introduced twice.", id_));
        return;
    }
    if (id_ == 0)
        return; // a null pointer
    const auto found = book.objects.find(id_);
    if (found == book.objects.end())
        throw cereal::Exception(fmt::format(
            "A pointer refers to the object id {}, which no earlier part of the archive holds.", id_));
    if (found->second.type != std::type_index(type))
        throw cereal::Exception(fmt::format("A pointer to a {} refers to the object id {}, which is a {}.",
                                            cereal::util::demangle(type.name()), id_,
                                            cereal::util::demangle(found->second.type.name())));
    if (!found->second.complete && !weak)
        throw cereal::Exception(
            fmt::format("A pointer refers to the object id {} while that object is still being "
                        "read: shared ownership cannot form a cycle.",
                        id_));
}

ArchivePointerRead::ArchivePointerRead(cereal::PortableBinaryInputArchive& ar) : archive_(AsVisionArchive(ar))
{
    if (!archive_)
        return;
    archive_->pointers_->weakNext = false;
    Enter();
}

void ArchivePointerRead::Enter()
{
    auto& book = *archive_->pointers_;
    if (book.nesting >= MaxObjectNesting)
        throw cereal::Exception(fmt::format(
            "Objects nest deeper than {} levels, more than any object graph does.", MaxObjectNesting));
    ++book.nesting;
    entered_ = true;
}

ArchivePointerRead::~ArchivePointerRead()
{
    if (!entered_)
        return;
    auto& book = *archive_->pointers_;
    --book.nesting;
    if (isNew_) {
        if (const auto found = book.objects.find(id_); found != book.objects.end())
            found->second.complete = true;
    }
}

ArchiveWeakReference::ArchiveWeakReference(cereal::PortableBinaryInputArchive& ar)
    : archive_(AsVisionArchive(ar))
{
    if (archive_)
        archive_->pointers_->weakNext = true;
}

ArchiveWeakReference::~ArchiveWeakReference()
{
    if (archive_)
        archive_->pointers_->weakNext = false;
}

} // namespace Private

VisionOutputArchive::VisionOutputArchive(std::ostream& stream, std::uint32_t options)
    : cereal::PortableBinaryOutputArchive(stream), VisionArchiveWithOptions(options)
{
    (*this)(options);
}

VisionInputArchive::VisionInputArchive(std::istream& stream)
    : cereal::PortableBinaryInputArchive(stream), VisionArchiveWithOptions(0), stream_(stream),
      end_(Unbounded), pointers_(std::make_unique<PointerBookkeeping>())
{
    auto* buffer = stream_.rdbuf();
    const auto here = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
    if (here != std::streampos(-1)) {
        const auto end = buffer->pubseekoff(0, std::ios::end, std::ios::in);
        if (end != std::streampos(-1))
            end_ = static_cast<std::uint64_t>(std::streamoff(end));
        buffer->pubseekpos(here, std::ios::in);
    }
    std::uint32_t options = 0;
    (*this)(options);
    setOptions(options);
}

VisionInputArchive::~VisionInputArchive() = default;

std::uint64_t VisionInputArchive::BytesLeft() const
{
    if (end_ == Unbounded)
        return Unbounded;
    const auto here = stream_.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
    if (here == std::streampos(-1))
        return 0;
    const auto position = static_cast<std::uint64_t>(std::streamoff(here));
    return position >= end_ ? 0 : end_ - position;
}

namespace {

template <class Archive> std::uint32_t OptionsOf(const Archive& ar)
{
    const auto* withOptions = dynamic_cast<const VisionArchiveWithOptions*>(&ar);
    if (!withOptions)
        throw InternalErrorException("The archive carries no options: objects are saved and loaded only "
                                     "through archives made by Serialization::Save and Load.");
    return withOptions->Options();
}

// A type name read from a corrupted archive may hold any bytes; the message shows it
// printable and of bounded length.
std::string PrintableName(const std::string& name)
{
    constexpr std::size_t MaxShown = 80;
    std::string shown;
    for (const char c : name.substr(0, MaxShown)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += std::isprint(byte) ? std::string(1, c) : fmt::format("\\x{:02X}", byte);
    }
    return name.size() > MaxShown ? shown + "..." : shown;
}

// cereal words its reading errors for the programmer of the archive code; the three that
// corrupted and foreign archives raise most are told in the user's terms.
std::string ReadingProblem(const std::string& what)
{
    const std::string unregistered = "Trying to load an unregistered polymorphic type (";
    if (what.rfind(unregistered, 0) == 0) {
        const auto close = what.find(").\n", unregistered.size());
        const auto name =
            what.substr(unregistered.size(),
                        close == std::string::npos ? std::string::npos : close - unregistered.size());
        return fmt::format("it holds an object of type \"{}\", which no loaded library registers.",
                           PrintableName(name));
    }
    unsigned long long wanted = 0;
    unsigned long long read = 0;
    if (std::sscanf(what.c_str(), "Failed to read %llu bytes from input stream! Read %llu", &wanted, &read) ==
        2)
        return fmt::format("it ends in the middle of a value ({} of its {} bytes are there).", read, wanted);
    unsigned long long typeId = 0;
    if (std::sscanf(what.c_str(),
                    "Error while trying to deserialize a polymorphic pointer. Could not find type id %llu",
                    &typeId) == 1)
        return fmt::format("a pointer names the type id {}, which no earlier part of the archive holds.",
                           typeId);
    return what;
}

std::shared_ptr<Quill::IObject> LoadFrom(std::istream& stream)
{
    VisionInputArchive archive(stream);
    std::shared_ptr<Quill::IObject> object;
    archive(object);
    if (!object)
        throw SerializationException("The archive cannot be read: it holds no object.");
    return object;
}

} // namespace

std::uint32_t Options(const cereal::PortableBinaryOutputArchive& ar)
{
    return OptionsOf(ar);
}
std::uint32_t Options(const cereal::PortableBinaryInputArchive& ar)
{
    return OptionsOf(ar);
}

void CheckSerializationVersionMismatch(std::uint32_t archived, std::uint32_t current, const std::string& name)
{
    if (archived == current)
        return;
    // The choice between the two messages: an archive written by an older class version
    // (archived below current, and not 0, which no class version has ever been) is one the
    // upgrading product version can read and save again in the current layout, so the user
    // is told where to update it. A newer version, 0 or any other number cannot be read by
    // anything this framework knows: a plain mismatch.
    if (archived < current && archived > 0)
        throw SerializationException(
            Strings::Substitute("Outdated persistence version in %1. To update please load and then save the "
                                "archive in Kestrune %2",
                                {name, UpgradingProductVersion}));
    throw SerializationException(Strings::Substitute("Persistence version mismatch in %1", {name}));
}

void Serialization::Save(std::ostream& stream, const std::shared_ptr<Quill::IObject>& object,
                         std::uint32_t options)
{
    if (!object)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"object"}));
    try {
        VisionOutputArchive archive(stream, options);
        archive(object);
    } catch (const SerializationException&) {
        throw;
    } catch (const std::exception& e) {
        throw SerializationException(fmt::format("The object cannot be saved: {}", e.what()));
    }
    if (!stream)
        throw SerializationException("The object cannot be saved: the stream refused the data.");
}

std::shared_ptr<Quill::IObject> Serialization::Load(std::istream& stream)
{
    if (!stream || !stream.rdbuf())
        throw SerializationException("The archive cannot be read: the stream is not readable.");
    try {
        // Without a known end no length could be checked against the bytes really there.
        if (stream.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in) == std::streampos(-1)) {
            std::istringstream held(std::string(std::istreambuf_iterator<char>(stream), {}));
            return LoadFrom(held);
        }
        return LoadFrom(stream);
    } catch (const SerializationException&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw SerializationException(
            "The archive cannot be read: it asks for more memory than is available.");
    } catch (const std::exception& e) {
        throw SerializationException(fmt::format("The archive cannot be read: {}", ReadingProblem(e.what())));
    } catch (...) {
        throw SerializationException("The archive cannot be read: an object failed to read itself.");
    }
}

} // namespace Ostrel::Vision
