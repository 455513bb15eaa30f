// Builds binary property lists byte by byte, so that tests can make the
// hostile shapes (cycles, fan-out, deep chains, bad offsets) that no honest
// writer produces. Objects are raw encodings; references are object indices.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace foundation::testing {

class BinaryPlistBuilder {
public:
    using Bytes = std::vector<uint8_t>;

    explicit BinaryPlistBuilder(uint8_t refSize = 1)
        : m_refSize(refSize)
    {
    }

    size_t raw(Bytes bytes)
    {
        m_objects.push_back(std::move(bytes));
        return m_objects.size() - 1;
    }

    // Reserves an index now, to be filled later (for forward references).
    size_t reserve() { return raw({}); }
    void fill(size_t index, Bytes bytes) { m_objects[index] = std::move(bytes); }

    size_t string(std::string_view text)
    {
        Bytes bytes = header(0x50, text.size());
        bytes.insert(bytes.end(), text.begin(), text.end());
        return raw(std::move(bytes));
    }

    size_t utf16(std::u16string_view text)
    {
        Bytes bytes = header(0x60, text.size());
        for (char16_t unit : text) {
            bytes.push_back(uint8_t(unit >> 8));
            bytes.push_back(uint8_t(unit));
        }
        return raw(std::move(bytes));
    }

    size_t integer(int64_t value)
    {
        Bytes bytes { 0x13 };
        appendBigEndian(bytes, static_cast<uint64_t>(value), 8);
        return raw(std::move(bytes));
    }

    size_t uid(uint64_t value, size_t width = 1)
    {
        Bytes bytes { uint8_t(0x80 | (width - 1)) };
        appendBigEndian(bytes, value, width);
        return raw(std::move(bytes));
    }

    size_t boolean(bool value) { return raw({ uint8_t(value ? 0x09 : 0x08) }); }

    Bytes arrayBytes(const std::vector<size_t>& references) const
    {
        Bytes bytes = header(0xA0, references.size());
        for (size_t reference : references)
            appendBigEndian(bytes, reference, m_refSize);
        return bytes;
    }
    size_t array(const std::vector<size_t>& references) { return raw(arrayBytes(references)); }

    Bytes dictionaryBytes(const std::vector<size_t>& keys, const std::vector<size_t>& values) const
    {
        Bytes bytes = header(0xD0, keys.size());
        for (size_t key : keys)
            appendBigEndian(bytes, key, m_refSize);
        for (size_t value : values)
            appendBigEndian(bytes, value, m_refSize);
        return bytes;
    }
    size_t dictionary(const std::vector<size_t>& keys, const std::vector<size_t>& values)
    {
        return raw(dictionaryBytes(keys, values));
    }

    Bytes build(size_t topObject, uint8_t offsetSize = 0) const
    {
        Bytes out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
        std::vector<uint64_t> offsets;
        for (auto& object : m_objects) {
            offsets.push_back(out.size());
            out.insert(out.end(), object.begin(), object.end());
        }
        uint64_t tableOffset = out.size();
        if (!offsetSize)
            offsetSize = tableOffset < 0x100 ? 1 : tableOffset < 0x10000 ? 2
                                                                         : 4;
        for (uint64_t offset : offsets)
            appendBigEndian(out, offset, offsetSize);
        out.insert(out.end(), 6, 0);
        out.push_back(offsetSize);
        out.push_back(m_refSize);
        appendBigEndian(out, m_objects.size(), 8);
        appendBigEndian(out, topObject, 8);
        appendBigEndian(out, tableOffset, 8);
        return out;
    }

    static void appendBigEndian(Bytes& bytes, uint64_t value, size_t width)
    {
        for (size_t i = width; i-- > 0;)
            bytes.push_back(uint8_t(value >> (8 * i)));
    }

    // A marker with its count, using an integer object after it for large counts.
    static Bytes header(uint8_t marker, uint64_t count)
    {
        if (count < 15)
            return { uint8_t(marker | count) };
        Bytes bytes { uint8_t(marker | 0x0F), 0x13 };
        appendBigEndian(bytes, count, 8);
        return bytes;
    }

private:
    uint8_t m_refSize;
    std::vector<Bytes> m_objects;
};

}
