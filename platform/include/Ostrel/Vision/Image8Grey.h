#pragma once
// An 8-bit grey image: Width() × Height() pixels, row by row from the top-left one, each
// a byte. The geometry library reads only its size and coordinate spaces; a display draws
// over the pixels.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <Ostrel/Vision/IImage.h>

namespace Ostrel::Vision {

class Image8Grey : public IImage {
public:
    // At most this many pixels (1 GiB), far above any camera's and low enough that a
    // mistyped size fails at once instead of exhausting memory.
    static constexpr std::int64_t MaxPixelCount = std::int64_t{1} << 30;

    // All pixels 0. Throws ArgumentOutOfRangeException naming the argument for a negative
    // width or height, and for a size above MaxPixelCount. A 0 × n image is allowed.
    Image8Grey(ObjectCreateAccessToken, std::int32_t width, std::int32_t height);

    std::int32_t Width() const override { return width_; }
    std::int32_t Height() const override { return height_; }
    // ImageCopyConstants bits; an Image8Grey.
    std::shared_ptr<IImage> Copy(std::uint32_t mode) const override;

    // Throw ArgumentOutOfRangeException for a pixel outside the image.
    std::uint8_t At(std::int32_t x, std::int32_t y) const;
    void SetPixel(std::int32_t x, std::int32_t y, std::uint8_t value);
    void Fill(std::uint8_t value);
    // All pixels, row by row; Width() bytes per row.
    std::span<std::uint8_t> Data() { return *pixels_; }
    std::span<const std::uint8_t> Data() const { return *pixels_; }

private:
    Image8Grey();
    std::size_t Index(std::int32_t x, std::int32_t y) const;  // throws outside

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    // Shared between shallow copies (ImageCopyConstants).
    std::shared_ptr<std::vector<std::uint8_t>> pixels_;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        // The pixels are written by value: a loaded image has a buffer of its own.
        if constexpr (Archive::is_loading::value) {
            CheckSerializationVersionMismatch(version, 1, "Image8Grey::serialize()");
            std::vector<std::uint8_t> pixels;
            ar(cereal::base_class<IImage>(this), width_, height_, pixels);
            SetLoadedPixels(std::move(pixels));
        } else {
            ar(cereal::base_class<IImage>(this), width_, height_, *pixels_);
        }
    }
    void SetLoadedPixels(std::vector<std::uint8_t>&& pixels);  // throws SerializationException

    RTTR_ENABLE(IImage)
};

} // namespace Ostrel::Vision
