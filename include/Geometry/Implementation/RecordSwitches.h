#pragma once
// Helpers every geometry tool uses to declare its record switches: the bit operators of
// its three mask enumerations and the typed accessor pairs over the ToolBase integers.

#include <cstdint>

// Bit operators for a mask enumeration carried as an unsigned 32-bit value.
#define OSTREL_GEOMETRY_MASK_OPERATORS(E)                                                      \
    constexpr E operator|(E a, E b) { return static_cast<E>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b)); } \
    constexpr E operator&(E a, E b) { return static_cast<E>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b)); } \
    constexpr E operator~(E a) { return static_cast<E>(~static_cast<std::uint32_t>(a)); }      \
    constexpr bool Any(E a) { return static_cast<std::uint32_t>(a) != 0; }

// Inside a tool class: CurrentRecordEnable, LastRunRecordEnable and LastRunRecordDiagEnable
// typed by the tool's enumerations Stem##CurrentRecordConstants and so on, with the
// compare-then-raise setters of the tool base and the tool's own three flags.
#define OSTREL_GEOMETRY_RECORD_SWITCHES(Stem)                                                  \
public:                                                                                        \
    Stem##CurrentRecordConstants CurrentRecordEnable() const                                   \
    {                                                                                          \
        return static_cast<Stem##CurrentRecordConstants>(currentRecordEnable_);                \
    }                                                                                          \
    void setCurrentRecordEnable(Stem##CurrentRecordConstants mask)                             \
    {                                                                                          \
        ChangeCurrentRecordEnable(static_cast<std::uint32_t>(mask), SfCurrentRecordEnable);    \
    }                                                                                          \
    Stem##LastRunRecordConstants LastRunRecordEnable() const                                   \
    {                                                                                          \
        return static_cast<Stem##LastRunRecordConstants>(lastRunRecordEnable_);                \
    }                                                                                          \
    void setLastRunRecordEnable(Stem##LastRunRecordConstants mask)                             \
    {                                                                                          \
        ChangeLastRunRecordEnable(static_cast<std::uint32_t>(mask), SfLastRunRecordEnable);    \
    }                                                                                          \
    Stem##LastRunRecordDiagConstants LastRunRecordDiagEnable() const                           \
    {                                                                                          \
        return static_cast<Stem##LastRunRecordDiagConstants>(lastRunRecordDiagEnable_);        \
    }                                                                                          \
    void setLastRunRecordDiagEnable(Stem##LastRunRecordDiagConstants mask)                     \
    {                                                                                          \
        ChangeLastRunRecordDiagEnable(static_cast<std::uint32_t>(mask), SfLastRunRecordDiagEnable); \
    }
