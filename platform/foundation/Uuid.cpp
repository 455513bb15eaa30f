#include "Uuid.h"

#include <array>
#include <cstdint>
#include <random>
#include <sys/random.h>

namespace foundation {

namespace {

    std::array<uint8_t, 16> randomBytes()
    {
        std::array<uint8_t, 16> bytes {};
        size_t filled = 0;
        while (filled < bytes.size()) {
            ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
            if (got <= 0)
                break;
            filled += static_cast<size_t>(got);
        }
        if (filled < bytes.size()) {
            // Without getrandom (old kernels, seccomp), the library's device still works.
            std::random_device device;
            for (size_t i = filled; i < bytes.size(); ++i)
                bytes[i] = static_cast<uint8_t>(device());
        }
        return bytes;
    }

    bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

} // namespace

std::string uuidString()
{
    auto bytes = randomBytes();
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text.push_back('-');
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 0x0F]);
    }
    return text;
}

bool isUuidString(std::string_view text)
{
    if (text.size() != 36)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : !isHexDigit(text[i]))
            return false;
    }
    return true;
}

} // namespace foundation
