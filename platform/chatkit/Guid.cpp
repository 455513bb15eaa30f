#include "Guid.h"

#include <mutex>
#include <random>

namespace chatkit {

std::string newGUID()
{
    static std::mutex lock;
    static std::mt19937_64 generator { std::random_device {}() };
    uint64_t high, low;
    {
        std::lock_guard guard(lock);
        high = generator();
        low = generator();
    }
    high = (high & ~0xF000ull) | 0x4000ull; // version 4
    low = (low & ~(0xC0ull << 56)) | (0x80ull << 56); // RFC 4122 variant
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (int i = 0; i < 32; ++i) {
        uint64_t word = i < 16 ? high : low;
        int shift = 60 - 4 * (i % 16);
        if (i == 8 || i == 12 || i == 16 || i == 20)
            text += '-';
        text += hex[(word >> shift) & 0xF];
    }
    return text;
}

} // namespace chatkit
