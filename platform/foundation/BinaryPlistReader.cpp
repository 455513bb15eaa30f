#include "BinaryPlistReader.h"

#include <fmt/format.h>

#include <bit>
#include <cstring>
#include <deque>
#include <limits>
#include <vector>

namespace foundation {

namespace {

    constexpr size_t headerSize = 8;
    constexpr size_t trailerSize = 32;

    // Decoded once per object index; later references share the value.
    struct Decoded {
        enum class State { InProgress,
            Done } state { State::InProgress };
        PlistValue value;
        uint64_t expandedNodes { 0 };
        uint64_t height { 0 };
    };

    class BinaryPlistDecoder {
    public:
        BinaryPlistDecoder(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
            : m_bytes(bytes)
            , m_limits(limits)
        {
        }

        Result<PlistValue> decode()
        {
            if (!readTrailer())
                return Error(std::move(m_error));
            auto* root = object(m_topObject, 1);
            if (!root)
                return Error(std::move(m_error));
            return root->value;
        }

    private:
        bool fail(std::string error)
        {
            if (m_error.empty())
                m_error = "binary property list: " + std::move(error);
            return false;
        }

        uint64_t readBigEndian(uint64_t offset, size_t width) const
        {
            uint64_t value = 0;
            for (size_t i = 0; i < width; ++i)
                value = (value << 8) | m_bytes[offset + i];
            return value;
        }

        // Whether [start, start + length) lies inside the object area.
        bool inObjectArea(uint64_t start, uint64_t length) const
        {
            return start >= headerSize && start <= m_offsetTableOffset && length <= m_offsetTableOffset - start;
        }

        bool readTrailer()
        {
            if (m_bytes.size() < headerSize + 1 + trailerSize)
                return fail("too short for a header and a trailer");
            if (std::memcmp(m_bytes.data(), "bplist00", headerSize) != 0)
                return fail("unsupported header");
            uint64_t trailer = m_bytes.size() - trailerSize;
            m_offsetSize = m_bytes[trailer + 6];
            m_refSize = m_bytes[trailer + 7];
            m_objectCount = readBigEndian(trailer + 8, 8);
            m_topObject = readBigEndian(trailer + 16, 8);
            m_offsetTableOffset = readBigEndian(trailer + 24, 8);
            if (m_offsetSize < 1 || m_offsetSize > 8)
                return fail(fmt::format("offset size {} out of range", m_offsetSize));
            if (m_refSize < 1 || m_refSize > 8)
                return fail(fmt::format("reference size {} out of range", m_refSize));
            if (m_objectCount == 0)
                return fail("no objects");
            if (m_topObject >= m_objectCount)
                return fail(fmt::format("top object {} out of range", m_topObject));
            if (m_offsetTableOffset <= headerSize || m_offsetTableOffset >= trailer)
                return fail("offset table outside the file");
            if (m_objectCount > (trailer - m_offsetTableOffset) / m_offsetSize)
                return fail(fmt::format("offset table too short for {} objects", m_objectCount));
            // At most one slot per offset-table entry, so bounded by the file size.
            m_slots.assign(m_objectCount, 0);
            return true;
        }

        // Reads a count: the marker's low nibble, or an integer object after it.
        bool readCount(uint64_t& cursor, uint8_t lowNibble, uint64_t& count)
        {
            if (lowNibble != 0xF) {
                count = lowNibble;
                return true;
            }
            if (!inObjectArea(cursor, 1))
                return fail("truncated count");
            uint8_t marker = m_bytes[cursor];
            if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3)
                return fail("malformed count");
            size_t width = size_t(1) << (marker & 0x0F);
            if (!inObjectArea(cursor + 1, width))
                return fail("truncated count");
            count = readBigEndian(cursor + 1, width);
            cursor += 1 + width;
            return true;
        }

        bool readReference(uint64_t at, uint64_t& index)
        {
            index = readBigEndian(at, m_refSize);
            if (index >= m_objectCount)
                return fail(fmt::format("reference {} out of range", index));
            return true;
        }

        static void appendUtf8(std::string& out, uint32_t codePoint)
        {
            if (codePoint < 0x80) {
                out += static_cast<char>(codePoint);
            } else if (codePoint < 0x800) {
                out += static_cast<char>(0xC0 | (codePoint >> 6));
                out += static_cast<char>(0x80 | (codePoint & 0x3F));
            } else if (codePoint < 0x10000) {
                out += static_cast<char>(0xE0 | (codePoint >> 12));
                out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (codePoint & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (codePoint >> 18));
                out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (codePoint & 0x3F));
            }
        }

        // The format's 8-bit strings are ASCII; stray high bytes are taken as Latin-1
        // so that every string we hand out is valid UTF-8.
        std::string decodeAscii(uint64_t start, uint64_t length) const
        {
            std::string out;
            out.reserve(length);
            for (uint64_t i = 0; i < length; ++i)
                appendUtf8(out, m_bytes[start + i]);
            return out;
        }

        // Unpaired surrogates become U+FFFD.
        std::string decodeUtf16(uint64_t start, uint64_t units) const
        {
            std::string out;
            out.reserve(units * 2);
            for (uint64_t i = 0; i < units; ++i) {
                uint32_t unit = static_cast<uint32_t>(readBigEndian(start + 2 * i, 2));
                if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
                    uint32_t low = static_cast<uint32_t>(readBigEndian(start + 2 * (i + 1), 2));
                    if (low >= 0xDC00 && low <= 0xDFFF) {
                        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                        ++i;
                        continue;
                    }
                }
                if (unit >= 0xD800 && unit <= 0xDFFF)
                    unit = 0xFFFD;
                appendUtf8(out, unit);
            }
            return out;
        }

        // Adds a child's expansion to its parent's, refusing totals above the limit.
        bool addChild(Decoded& parent, const Decoded& child)
        {
            parent.expandedNodes += child.expandedNodes;
            parent.height = std::max(parent.height, child.height + 1);
            if (parent.expandedNodes > m_limits.maxNodes)
                return fail(fmt::format("expands to more than {} values", m_limits.maxNodes));
            return true;
        }

        const Decoded* object(uint64_t index, uint64_t depth)
        {
            if (uint32_t slot = m_slots[index]) {
                auto& known = m_decoded[slot - 1];
                if (known.state == Decoded::State::InProgress) {
                    fail(fmt::format("reference cycle through object {}", index));
                    return nullptr;
                }
                if (depth + known.height > m_limits.maxDepth) {
                    fail(fmt::format("nested deeper than {} levels", m_limits.maxDepth));
                    return nullptr;
                }
                return &known;
            }
            if (depth > m_limits.maxDepth) {
                fail(fmt::format("nested deeper than {} levels", m_limits.maxDepth));
                return nullptr;
            }
            if (m_decoded.size() >= m_limits.maxNodes) {
                fail(fmt::format("more than {} objects", m_limits.maxNodes));
                return nullptr;
            }
            m_decoded.emplace_back();
            m_slots[index] = static_cast<uint32_t>(m_decoded.size());
            auto& slot = m_decoded.back();
            Decoded result;
            result.expandedNodes = 1;
            if (!decodeObject(index, depth, result))
                return nullptr;
            result.state = Decoded::State::Done;
            slot = std::move(result);
            return &slot;
        }

        bool decodeObject(uint64_t index, uint64_t depth, Decoded& result)
        {
            uint64_t offset = readBigEndian(m_offsetTableOffset + index * m_offsetSize, m_offsetSize);
            if (!inObjectArea(offset, 1))
                return fail(fmt::format("object {} has offset {} outside the object area", index, offset));
            uint8_t marker = m_bytes[offset];
            uint8_t low = marker & 0x0F;
            uint64_t cursor = offset + 1;
            switch (marker >> 4) {
            case 0x0:
                if (marker == 0x08 || marker == 0x09) {
                    result.value = PlistValue(marker == 0x09);
                    return true;
                }
                return fail(fmt::format("unsupported marker {:#04x}", marker));
            case 0x1:
                return decodeInteger(cursor, low, result);
            case 0x2: {
                if (low != 2 && low != 3)
                    return fail(fmt::format("real of unsupported size at object {}", index));
                size_t width = size_t(1) << low;
                if (!inObjectArea(cursor, width))
                    return fail("truncated real");
                uint64_t bits = readBigEndian(cursor, width);
                result.value = width == 4 ? PlistValue(double(std::bit_cast<float>(static_cast<uint32_t>(bits))))
                                          : PlistValue(std::bit_cast<double>(bits));
                return true;
            }
            case 0x3:
                if (marker != 0x33 || !inObjectArea(cursor, 8))
                    return fail("malformed date");
                result.value = PlistValue(PlistDate { std::bit_cast<double>(readBigEndian(cursor, 8)) });
                return true;
            case 0x4:
            case 0x5:
            case 0x6: {
                uint64_t count = 0;
                if (!readCount(cursor, low, count))
                    return false;
                uint64_t unitSize = (marker >> 4) == 0x6 ? 2 : 1;
                if (count > (m_offsetTableOffset - std::min(cursor, m_offsetTableOffset)) / unitSize
                    || !inObjectArea(cursor, count * unitSize))
                    return fail(fmt::format("length {} of object {} runs past the object area", count, index));
                if ((marker >> 4) == 0x4)
                    result.value = PlistValue(PlistData(m_bytes.begin() + cursor, m_bytes.begin() + cursor + count));
                else if ((marker >> 4) == 0x5)
                    result.value = PlistValue(decodeAscii(cursor, count));
                else
                    result.value = PlistValue(decodeUtf16(cursor, count));
                return true;
            }
            case 0x8: {
                size_t width = low + 1;
                if (!inObjectArea(cursor, width))
                    return fail("truncated UID");
                uint64_t uid = readBigEndian(cursor, width);
                if (uid > std::numeric_limits<uint32_t>::max())
                    return fail(fmt::format("UID {} out of range", uid));
                result.value = PlistValue(PlistUid { uid });
                return true;
            }
            case 0xA:
            case 0xC:
                return decodeArray(cursor, low, depth, result);
            case 0xD:
                return decodeDictionary(cursor, low, depth, result);
            default:
                return fail(fmt::format("unsupported marker {:#04x}", marker));
            }
        }

        bool decodeInteger(uint64_t cursor, uint8_t low, Decoded& result)
        {
            if (low > 4)
                return fail("integer of unsupported size");
            size_t width = size_t(1) << low;
            if (!inObjectArea(cursor, width))
                return fail("truncated integer");
            if (width < 8) {
                // Integers narrower than eight bytes are unsigned.
                result.value = PlistValue(static_cast<int64_t>(readBigEndian(cursor, width)));
            } else if (width == 8) {
                result.value = PlistValue(static_cast<int64_t>(readBigEndian(cursor, 8)));
            } else {
                // Sixteen bytes: written for values above INT64_MAX (high half zero),
                // or a sign-extended negative.
                uint64_t high = readBigEndian(cursor, 8);
                uint64_t lowHalf = readBigEndian(cursor + 8, 8);
                if (high == 0)
                    result.value = PlistValue::unsignedInteger(lowHalf);
                else if (high == ~uint64_t(0) && (lowHalf >> 63))
                    result.value = PlistValue(static_cast<int64_t>(lowHalf));
                else
                    return fail("128-bit integer out of range");
            }
            return true;
        }

        bool referenceArea(uint64_t cursor, uint64_t count, uint64_t perEntry)
        {
            uint64_t available = m_offsetTableOffset - std::min(cursor, m_offsetTableOffset);
            if (count > available / (m_refSize * perEntry))
                return fail(fmt::format("{} references run past the object area", count));
            return true;
        }

        bool decodeArray(uint64_t cursor, uint8_t low, uint64_t depth, Decoded& result)
        {
            uint64_t count = 0;
            if (!readCount(cursor, low, count) || !referenceArea(cursor, count, 1))
                return false;
            PlistArray elements;
            elements.reserve(count);
            for (uint64_t i = 0; i < count; ++i) {
                uint64_t reference = 0;
                if (!readReference(cursor + i * m_refSize, reference))
                    return false;
                auto* child = object(reference, depth + 1);
                if (!child || !addChild(result, *child))
                    return false;
                elements.push_back(child->value);
            }
            result.value = PlistValue(std::move(elements));
            return true;
        }

        bool decodeDictionary(uint64_t cursor, uint8_t low, uint64_t depth, Decoded& result)
        {
            uint64_t count = 0;
            if (!readCount(cursor, low, count) || !referenceArea(cursor, count, 2))
                return false;
            PlistDictionary entries;
            for (uint64_t i = 0; i < count; ++i) {
                uint64_t keyReference = 0;
                uint64_t valueReference = 0;
                if (!readReference(cursor + i * m_refSize, keyReference)
                    || !readReference(cursor + (count + i) * m_refSize, valueReference))
                    return false;
                auto* key = object(keyReference, depth + 1);
                if (!key)
                    return false;
                if (!key->value.isString())
                    return fail(fmt::format("dictionary key (object {}) is not a string", keyReference));
                std::string keyText = *key->value.asString();
                auto* value = object(valueReference, depth + 1);
                if (!value || !addChild(result, *value))
                    return false;
                // A repeated key keeps its first place and takes the last value.
                entries.set(std::move(keyText), value->value);
            }
            result.value = PlistValue(std::move(entries));
            return true;
        }

        std::span<const uint8_t> m_bytes;
        PlistReadLimits m_limits;
        std::string m_error;
        uint8_t m_offsetSize { 0 };
        uint8_t m_refSize { 0 };
        uint64_t m_objectCount { 0 };
        uint64_t m_topObject { 0 };
        uint64_t m_offsetTableOffset { 0 };
        // Object index → 1 + position in m_decoded (0: not met yet). A deque keeps
        // the decoded objects in place while more are added.
        std::vector<uint32_t> m_slots;
        std::deque<Decoded> m_decoded;
    };

}

Result<PlistValue> readBinaryPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    if (bytes.size() > limits.maxBytes)
        return Error(fmt::format("property list is larger than {} bytes", limits.maxBytes));
    return BinaryPlistDecoder(bytes, limits).decode();
}

}
