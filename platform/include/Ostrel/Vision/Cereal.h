#pragma once
// The cereal headers used by framework and library archives, included with default symbol
// visibility: cereal's polymorphic registration lives in function-local statics that must
// be one object across shared libraries, also in a library built with hidden visibility.
//
// Include cereal only through this header (or Archive.h). Besides the cereal headers it
// declares the guards that make reading a portable binary archive safe against a corrupted
// or hostile stream; they are overloads that cereal picks for PortableBinaryInputArchive in
// preference to its own generic ones, so a translation unit that included cereal directly
// would read archives without them.
//
// What the guards enforce while reading:
// - every length (strings, containers, polymorphic type names) is at most the number of
//   bytes left in the stream, so a corrupted length fails before anything is allocated,
//   and a vector grows as its elements are read, so a false length costs no more memory
//   than the stream's own bytes;
// - a boolean is the byte 0 or 1;
// - objects held by pointer nest at most MaxObjectNesting deep, so a stream cannot drive
//   the reader into a stack overflow;
// - an object id is introduced once, and a later reference to it names an object of the
//   same dynamic type that is completely read: a shared pointer never points to an object
//   of another type, and no shared-ownership cycle (which would never be freed) is built.
//   A weak pointer may refer to an object still being read (a child's link to its parent).
// Objects read through pointers must be default-constructible by cereal (a private default
// constructor with cereal::access as friend); load_and_construct is not supported.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <typeinfo>

#pragma GCC visibility push(default)
#include <cereal/archives/portable_binary.hpp>
#include <cereal/cereal.hpp>
#include <cereal/types/array.hpp>
#include <cereal/types/base_class.hpp>
#include <cereal/types/map.hpp>
#include <cereal/types/memory.hpp>
#include <cereal/types/polymorphic.hpp>
#include <cereal/types/set.hpp>
#include <cereal/types/string.hpp>
#include <cereal/types/utility.hpp>
#include <cereal/types/vector.hpp>

namespace Ostrel::Vision {
class VisionInputArchive;
} // namespace Ostrel::Vision

namespace Ostrel::Vision::Private {

// The deepest chain of objects that contain one another through pointers which an archive
// may hold. Real object graphs nest a handful of levels (a tool, its run parameters, their
// point list); the limit only stops a corrupted stream from recursing without end.
inline constexpr int MaxObjectNesting = 128;

// Bookkeeping of one pointer read from an archive, alive while the object it introduces
// is read. Construct it after reading the pointer's id and before reading the object's
// data; it throws cereal::Exception when the pointer breaks one of the rules above. The
// checks apply to archives made by VisionInputArchive, which keeps the bookkeeping; other
// portable binary archives are read unchecked.
class ArchivePointerRead {
public:
    // A shared pointer: `id` as stored (its top bit set for a new object), `type` the
    // dynamic type that the reader will construct or expects to find.
    ArchivePointerRead(cereal::PortableBinaryInputArchive& ar, std::uint32_t id, const std::type_info& type);
    // An object owned by a unique pointer: only its nesting is checked.
    explicit ArchivePointerRead(cereal::PortableBinaryInputArchive& ar);
    ~ArchivePointerRead();
    ArchivePointerRead(const ArchivePointerRead&) = delete;
    ArchivePointerRead& operator=(const ArchivePointerRead&) = delete;

    // True when the id introduces a new object (its data follows in the stream).
    bool IsNew() const { return isNew_; }

private:
    void Enter();

    VisionInputArchive* archive_;
    std::uint32_t id_ = 0;
    bool isNew_ = true;
    bool entered_ = false;
};

// Marks the next pointer read as a weak reference, which may name an object still being
// read. Ends at the end of the scope, or at the next pointer read, whichever comes first.
class ArchiveWeakReference {
public:
    explicit ArchiveWeakReference(cereal::PortableBinaryInputArchive& ar);
    ~ArchiveWeakReference();
    ArchiveWeakReference(const ArchiveWeakReference&) = delete;
    ArchiveWeakReference& operator=(const ArchiveWeakReference&) = delete;

private:
    VisionInputArchive* archive_;
};

} // namespace Ostrel::Vision::Private

namespace cereal {

// Every length read from an input archive is checked against the bytes left in the stream
// (defined with the archive classes).
void serialize(PortableBinaryInputArchive& ar, SizeTag<size_type&>& tag);

// A boolean must be stored as 0 or 1: any other byte would be an invalid bool value.
void load(PortableBinaryInputArchive& ar, bool& value);

// A shared pointer: the id, then, for a new id, the object's data.
template <class T>
void load(PortableBinaryInputArchive& ar, memory_detail::PtrWrapper<std::shared_ptr<T>&>& wrapper)
{
    using NonConstT = std::remove_const_t<T>;
    static_assert(!traits::has_load_and_construct<NonConstT, PortableBinaryInputArchive>::value,
                  "Objects read from archives are default-constructed; load_and_construct is not supported.");
    std::uint32_t id = 0;
    ar(id);
    Ostrel::Vision::Private::ArchivePointerRead read(ar, id, typeid(NonConstT));
    if (read.IsNew()) {
        std::shared_ptr<NonConstT> object(
            detail::Construct<NonConstT, PortableBinaryInputArchive>::load_andor_construct());
        ar.registerSharedPointer(id, object);
        ar(*object);
        wrapper.ptr = std::move(object);
    } else {
        wrapper.ptr = std::static_pointer_cast<T>(ar.getSharedPointer(id));
    }
}

// A unique pointer: a validity byte (0 or 1), then the object's data.
template <class T, class D>
void load(PortableBinaryInputArchive& ar, memory_detail::PtrWrapper<std::unique_ptr<T, D>&>& wrapper)
{
    using NonConstT = std::remove_const_t<T>;
    static_assert(!traits::has_load_and_construct<NonConstT, PortableBinaryInputArchive>::value,
                  "Objects read from archives are default-constructed; load_and_construct is not supported.");
    std::uint8_t valid = 0;
    ar(valid);
    if (valid > 1)
        throw Exception("A unique pointer's marker reads " + std::to_string(valid) +
                        " where 0 or 1 is stored.");
    if (!valid) {
        wrapper.ptr.reset(nullptr);
        return;
    }
    Ostrel::Vision::Private::ArchivePointerRead read(ar);
    std::unique_ptr<NonConstT, D> object(
        detail::Construct<NonConstT, PortableBinaryInputArchive>::load_andor_construct());
    ar(*object);
    wrapper.ptr = std::move(object);
}

// A weak pointer is stored as the shared pointer it locked to; it may refer back to an
// object that is still being read.
template <class T> void load(PortableBinaryInputArchive& ar, std::weak_ptr<T>& pointer)
{
    Ostrel::Vision::Private::ArchiveWeakReference weak(ar);
    std::shared_ptr<T> locked;
    ar(locked);
    pointer = locked;
}

// A vector: its length, then its elements. The length guard bounds the length by the
// bytes left, but an element may need many bytes of memory for each byte of the stream (a
// vertex takes 16), so the vector grows as its elements are read: a false length fails at
// the end of the stream with no more memory taken than the stream's own elements need.
template <class T, class A>
std::enable_if_t<!std::is_same_v<T, bool>> load(PortableBinaryInputArchive& ar, std::vector<T, A>& vector)
{
    constexpr size_type Chunk = 4096;
    size_type size = 0;
    ar(make_size_tag(size));
    vector.clear();
    vector.reserve(std::min(size, Chunk));
    if constexpr (std::is_arithmetic_v<T>) {
        while (vector.size() < size) {
            const std::size_t at = vector.size();
            const std::size_t count = std::min<size_type>(Chunk, size - at);
            vector.resize(at + count);
            ar(binary_data(vector.data() + at, count * sizeof(T)));
        }
    } else {
        for (size_type i = 0; i < size; ++i) {
            T element{};
            ar(element);
            vector.push_back(std::move(element));
        }
    }
}

} // namespace cereal
#pragma GCC visibility pop
