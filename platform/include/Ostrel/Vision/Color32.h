#pragma once

#include <cstdint>

namespace Ostrel::Vision {

// A colour as four bytes in memory order blue, green, red, alpha: the little-endian
// layout of its 32-bit value 0xAARRGGBB.
struct Color32 {
    std::uint8_t B = 0;
    std::uint8_t G = 0;
    std::uint8_t R = 0;
    std::uint8_t A = 0;

    static constexpr Color32 FromUInt32(std::uint32_t argb)
    {
        return Color32{static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 8),
                       static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 24)};
    }
    constexpr std::uint32_t ToUInt32() const
    {
        return std::uint32_t{B} | std::uint32_t{G} << 8 | std::uint32_t{R} << 16 | std::uint32_t{A} << 24;
    }
    friend constexpr bool operator==(const Color32&, const Color32&) = default;

    template <class Archive>
    void serialize(Archive& ar)
    {
        ar(B, G, R, A);
    }
};
static_assert(sizeof(Color32) == 4);

} // namespace Ostrel::Vision
