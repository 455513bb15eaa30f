// The demo phone's photo library: a handful of pictures we paint ourselves
// (gradients and simple shapes), so that the image picker and picture
// messages have something to show. They are computed, not shipped, and the
// same every time, so a seeded phone is the same on every machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simulator {

inline constexpr std::string_view PhotoLibraryDevicePath = "/var/mobile/Media/DCIM/100APPLE";

struct DemoPicture {
    std::string fileName; // "IMG_0001.JPG"
    uint32_t width { 0 };
    uint32_t height { 0 };
    std::vector<uint8_t> bytes; // JPEG or PNG, as the name says
};

// Every picture of the library, in file-name order. Empty when the codecs
// refuse (they do not on any machine we know of).
std::vector<DemoPicture> demoPictures();

// "IMG_0002.JPG" → "/var/mobile/Media/DCIM/100APPLE/IMG_0002.JPG"; a text
// that is already an absolute device path is answered unchanged.
std::string photoLibraryPath(std::string_view nameOrPath);

} // namespace simulator
