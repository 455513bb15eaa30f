// Decoding and encoding of the two picture formats the phone keeps (JPEG
// and PNG) with libjpeg-turbo and libpng. Every failure is a value: a file
// that is not a picture decodes to nothing, never to a crash or an exit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace uikit {

struct ImageHeader {
    uint32_t width { 0 };
    uint32_t height { 0 };
};

// Eight-bit RGBA, rows top to bottom.
struct Bitmap {
    uint32_t width { 0 };
    uint32_t height { 0 };
    std::vector<uint8_t> rgba;
};

enum class ImageFormat {
    Unknown,
    Jpeg,
    Png,
};

ImageFormat sniffImageFormat(std::span<const uint8_t>);
// Reads only as far as the dimensions.
std::optional<ImageHeader> readImageHeader(std::span<const uint8_t>);
std::optional<Bitmap> decodeImage(std::span<const uint8_t>);
// Quality 0…1 as the phone takes it; alpha is dropped (JPEG has none).
std::optional<std::vector<uint8_t>> encodeJpeg(const Bitmap&, double quality);
std::optional<std::vector<uint8_t>> encodePng(const Bitmap&);

} // namespace uikit
