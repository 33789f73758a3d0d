#pragma once
// The declarations every geometry tool repeats, written once as macros: its three
// record-switch enumerations, its state flags, the typed record-switch accessors and its
// shared_from_this pair. A tool header then states only its own rows: the bits of its
// records and the names of its properties, in order.
//
//   OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(DistancePointCircle,
//       (Point, 0x2)(Circle, 0x4),              // current record, after InputImage 0x1
//       (None, 0x0),                            // last-run record
//       (Point, 0x10)(Circle, 0x20)(Arrow, 0x40))  // diagnostics, after the image bits 0x1, 0x4
//
//   class DistancePointCircleTool : public Implementation::GeometryToolBase {
//   public:
//       OSTREL_GEOMETRY_TOOL(DistancePointCircle, Implementation::GeometryToolBase,
//                            (X)(Y)(InputCircle)(Distance)(CircleX)(CircleY))
//       ...
//   private:
//       ...
//       OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
//   };

#include <array>
#include <cstdint>
#include <string_view>

#include <boost/preprocessor/cat.hpp>
#include <boost/preprocessor/seq/for_each.hpp>
#include <boost/preprocessor/seq/for_each_i.hpp>
#include <boost/preprocessor/seq/size.hpp>
#include <boost/preprocessor/stringize.hpp>
#include <boost/preprocessor/tuple/elem.hpp>
#include <boost/preprocessor/seq/variadic_seq_to_seq.hpp>
#include <rttr/rttr_enable.h>

namespace cereal {
class access;
}

namespace Ostrel::Vision::Geometry::Implementation {

// One bit of a record-switch enumeration with its enumerator's name, as the reflection
// registration lists it. SwitchBits(E{}) returns all bits of E, found by argument lookup.
template <class E>
struct SwitchBit {
    std::string_view name;
    E value;
};

} // namespace Ostrel::Vision::Geometry::Implementation

// Bit operators for a mask enumeration carried as an unsigned 32-bit value.
#define OSTREL_GEOMETRY_MASK_OPERATORS(E)                                                                           \
    constexpr E operator|(E a, E b) { return static_cast<E>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b)); } \
    constexpr E operator&(E a, E b) { return static_cast<E>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b)); } \
    constexpr E operator~(E a) { return static_cast<E>(~static_cast<std::uint32_t>(a)); }                           \
    constexpr bool Any(E a) { return static_cast<std::uint32_t>(a) != 0; }

#define OSTREL_GEOMETRY_DETAIL_ENUMERATOR(r, data, bit) BOOST_PP_TUPLE_ELEM(2, 0, bit) = BOOST_PP_TUPLE_ELEM(2, 1, bit),
#define OSTREL_GEOMETRY_DETAIL_SWITCH_BIT(r, E, bit)                                                                \
    ::Ostrel::Vision::Geometry::Implementation::SwitchBit<E>{BOOST_PP_STRINGIZE(BOOST_PP_TUPLE_ELEM(2, 0, bit)),     \
                                                             E::BOOST_PP_TUPLE_ELEM(2, 0, bit)},
#define OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(E, bits)                                                                 \
    enum class E : std::uint32_t { BOOST_PP_SEQ_FOR_EACH(OSTREL_GEOMETRY_DETAIL_ENUMERATOR, ~, bits) };             \
    OSTREL_GEOMETRY_MASK_OPERATORS(E)                                                                               \
    constexpr auto SwitchBits(E) { return std::array{BOOST_PP_SEQ_FOR_EACH(OSTREL_GEOMETRY_DETAIL_SWITCH_BIT, E, bits)}; }

// At namespace scope, before the tool's class: Stem##CurrentRecordConstants,
// Stem##LastRunRecordConstants and Stem##LastRunRecordDiagConstants, each given as a
// sequence of (Name, bit) pairs; the bits every geometry tool shares (InputImage 0x1 of the
// current record, InputImageByReference 0x1 and InputImageByCopy 0x4 of the diagnostics)
// come first by themselves.
#define OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(Stem, current, lastRun, diag)                                          \
    OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(Stem##CurrentRecordConstants,                                                \
                                       ((InputImage, 0x1))BOOST_PP_VARIADIC_SEQ_TO_SEQ(current))                    \
    OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(Stem##LastRunRecordConstants, BOOST_PP_VARIADIC_SEQ_TO_SEQ(lastRun))         \
    OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(Stem##LastRunRecordDiagConstants,                                            \
                                       ((InputImageByReference, 0x1))((InputImageByCopy, 0x4))                      \
                                           BOOST_PP_VARIADIC_SEQ_TO_SEQ(diag))

#define OSTREL_GEOMETRY_DETAIL_FLAG(r, data, i, name)                                                               \
    static constexpr std::uint64_t BOOST_PP_CAT(Sf, name) = sf0_ << (3 + i);

// In the public section of the tool class Stem##Tool, which derives from Base:
// - the state flags: sf0_ continues Base's numbering, then SfLastRunRecordEnable,
//   SfLastRunRecordDiagEnable, SfCurrentRecordEnable, then one Sf flag per name of the
//   sequence `flags`, in its order, and sfNextSf_;
// - CurrentRecordEnable, LastRunRecordEnable, LastRunRecordDiagEnable typed by the tool's
//   enumerations, with the compare-then-raise setters of the framework (the current-record
//   setter also raises the current-record flag, the last-run setter the last-run flag, the
//   diagnostic setter its own flag alone);
// - shared_from_this returning the tool's own type.
// The macro names no access level: what follows it keeps the section it was placed in.
#define OSTREL_GEOMETRY_TOOL(Stem, Base, flags)                                                                     \
    using BaseTool = Base;                                                                                          \
    static constexpr std::uint64_t sf0_ = Base::sfNextSf_;                                                          \
    static constexpr std::uint64_t SfLastRunRecordEnable = sf0_;                                                    \
    static constexpr std::uint64_t SfLastRunRecordDiagEnable = sf0_ << 1;                                           \
    static constexpr std::uint64_t SfCurrentRecordEnable = sf0_ << 2;                                               \
    BOOST_PP_SEQ_FOR_EACH_I(OSTREL_GEOMETRY_DETAIL_FLAG, ~, flags)                                                  \
    static constexpr std::uint64_t sfNextSf_ = sf0_ << (3 + BOOST_PP_SEQ_SIZE(flags));                              \
    Stem##CurrentRecordConstants CurrentRecordEnable() const                                                        \
    {                                                                                                               \
        return static_cast<Stem##CurrentRecordConstants>(currentRecordEnable_);                                     \
    }                                                                                                               \
    void setCurrentRecordEnable(Stem##CurrentRecordConstants mask)                                                  \
    {                                                                                                               \
        ChangeCurrentRecordEnable(static_cast<std::uint32_t>(mask), SfCurrentRecordEnable);                         \
    }                                                                                                               \
    Stem##LastRunRecordConstants LastRunRecordEnable() const                                                        \
    {                                                                                                               \
        return static_cast<Stem##LastRunRecordConstants>(lastRunRecordEnable_);                                     \
    }                                                                                                               \
    void setLastRunRecordEnable(Stem##LastRunRecordConstants mask)                                                  \
    {                                                                                                               \
        ChangeLastRunRecordEnable(static_cast<std::uint32_t>(mask), SfLastRunRecordEnable);                         \
    }                                                                                                               \
    Stem##LastRunRecordDiagConstants LastRunRecordDiagEnable() const                                                \
    {                                                                                                               \
        return static_cast<Stem##LastRunRecordDiagConstants>(lastRunRecordDiagEnable_);                             \
    }                                                                                                               \
    void setLastRunRecordDiagEnable(Stem##LastRunRecordDiagConstants mask)                                          \
    {                                                                                                               \
        ChangeLastRunRecordDiagEnable(static_cast<std::uint32_t>(mask), SfLastRunRecordDiagEnable);                 \
    }                                                                                                               \
    std::shared_ptr<Stem##Tool> shared_from_this() { return SharedFromThisAs<Stem##Tool>(); }                       \
    std::shared_ptr<const Stem##Tool> shared_from_this() const { return SharedFromThisAs<Stem##Tool>(); }

// Last in the class: the archive hook (defined with the tool's archive) and the reflection
// hooks. Leaves the class in its private section.
#define OSTREL_GEOMETRY_TOOL_TAIL(Base)                                                                             \
private:                                                                                                            \
    friend class cereal::access;                                                                                    \
    template <class Archive>                                                                                        \
    void serialize(Archive& ar, std::uint32_t version);                                                             \
    RTTR_ENABLE(Base)
