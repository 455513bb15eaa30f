#include "PlistWriter.h"

#include <fmt/format.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <unordered_map>

namespace foundation {

namespace {

    constexpr int64_t unixSecondsAt2001 = 978307200;
    constexpr size_t base64LineLength = 68;

    void indent(std::string& out, size_t level)
    {
        out.append(level, '\t');
    }

    void appendEscaped(std::string& out, std::string_view text)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            // U+FFFE and U+FFFF (a binary list's UTF-16 text may hold them)
            // are no XML characters at all, and a document holding one could
            // not be read again: U+FFFD stands in.
            if (c == '\xEF' && text.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < text.size()
                && (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
                out += "\xEF\xBF\xBD";
                i += 2;
                continue;
            }
            switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\r':
                // A reader turns a raw one into "\n".
                out += "&#13;";
                break;
            default:
                out += c;
            }
        }
    }

    std::string base64(const PlistData& data)
    {
        static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string out;
        out.reserve((data.size() + 2) / 3 * 4);
        for (size_t i = 0; i < data.size(); i += 3) {
            uint32_t chunk = uint32_t(data[i]) << 16;
            if (i + 1 < data.size())
                chunk |= uint32_t(data[i + 1]) << 8;
            if (i + 2 < data.size())
                chunk |= data[i + 2];
            out += alphabet[(chunk >> 18) & 63];
            out += alphabet[(chunk >> 12) & 63];
            out += i + 1 < data.size() ? alphabet[(chunk >> 6) & 63] : '=';
            out += i + 2 < data.size() ? alphabet[chunk & 63] : '=';
        }
        return out;
    }

    std::string formatReal(double value)
    {
        if (std::isnan(value))
            return "nan";
        if (std::isinf(value))
            return value > 0 ? "+infinity" : "-infinity";
        char buffer[64];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        return std::string(buffer, result.ptr);
    }

    // Dates are written to the second, in UTC, as the platform writes them.
    // The form has four digits for the year, so a date outside the years
    // 0000 to 9999 is written as the nearest one inside them: a reader
    // refuses a longer year.
    std::string formatDate(PlistDate date)
    {
        using namespace std::chrono;
        constexpr double firstSecond = -63145526400; // 0000-01-01T00:00:00Z
        constexpr double lastSecond = 252423993599; // 9999-12-31T23:59:59Z
        double seconds = std::floor(date.secondsSince2001);
        if (std::isnan(seconds))
            seconds = 0;
        seconds = std::clamp(seconds, firstSecond, lastSecond);
        sys_seconds time { std::chrono::seconds(unixSecondsAt2001 + static_cast<int64_t>(seconds)) };
        auto day = floor<days>(time);
        year_month_day ymd { day };
        hh_mm_ss clock { time - day };
        return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}Z", int(ymd.year()), unsigned(ymd.month()),
            unsigned(ymd.day()), clock.hours().count(), clock.minutes().count(), clock.seconds().count());
    }

    void write(std::string& out, const PlistValue& value, size_t level)
    {
        indent(out, level);
        switch (value.type()) {
        case PlistType::String:
            out += "<string>";
            appendEscaped(out, *value.asString());
            out += "</string>\n";
            return;
        case PlistType::Integer:
            if (auto integer = value.asInteger())
                out += fmt::format("<integer>{}</integer>\n", *integer);
            else
                out += fmt::format("<integer>{}</integer>\n", *value.asUnsignedInteger());
            return;
        case PlistType::Real:
            out += fmt::format("<real>{}</real>\n", formatReal(*value.asReal()));
            return;
        case PlistType::Boolean:
            out += *value.asBoolean() ? "<true/>\n" : "<false/>\n";
            return;
        case PlistType::Date:
            out += fmt::format("<date>{}</date>\n", formatDate(*value.asDate()));
            return;
        case PlistType::Data: {
            out += "<data>\n";
            auto encoded = base64(*value.asData());
            for (size_t i = 0; i < encoded.size(); i += base64LineLength) {
                indent(out, level);
                out.append(encoded, i, base64LineLength);
                out += '\n';
            }
            indent(out, level);
            out += "</data>\n";
            return;
        }
        case PlistType::Uid:
            out += "<dict>\n";
            indent(out, level + 1);
            out += "<key>CF$UID</key>\n";
            indent(out, level + 1);
            out += fmt::format("<integer>{}</integer>\n", value.asUid()->value);
            indent(out, level);
            out += "</dict>\n";
            return;
        case PlistType::Array: {
            auto& elements = *value.asArray();
            if (elements.empty()) {
                out += "<array/>\n";
                return;
            }
            out += "<array>\n";
            for (auto& element : elements)
                write(out, element, level + 1);
            indent(out, level);
            out += "</array>\n";
            return;
        }
        case PlistType::Dictionary: {
            auto& entries = *value.asDictionary();
            if (entries.empty()) {
                out += "<dict/>\n";
                return;
            }
            out += "<dict>\n";
            for (auto& [key, element] : entries) {
                indent(out, level + 1);
                out += "<key>";
                appendEscaped(out, key);
                out += "</key>\n";
                write(out, element, level + 1);
            }
            indent(out, level);
            out += "</dict>\n";
            return;
        }
        }
    }

}

std::string writeXmlPlist(const PlistValue& value)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                      "<plist version=\"1.0\">\n";
    write(out, value, 0);
    out += "</plist>\n";
    return out;
}

}

namespace foundation {

namespace {

    class BinaryPlistEncoder {
    public:
        std::vector<uint8_t> encode(const PlistValue& root)
        {
            flatten(root);
            uint64_t count = m_nodes.size();
            m_refSize = widthFor(count - 1);
            std::vector<uint8_t> out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
            std::vector<uint64_t> offsets;
            offsets.reserve(count);
            for (auto& node : m_nodes) {
                offsets.push_back(out.size());
                encodeNode(node, out);
            }
            uint64_t tableOffset = out.size();
            uint8_t offsetSize = widthFor(tableOffset);
            for (uint64_t offset : offsets)
                appendBigEndian(out, offset, offsetSize);
            out.insert(out.end(), 6, 0);
            out.push_back(offsetSize);
            out.push_back(m_refSize);
            appendBigEndian(out, count, 8);
            appendBigEndian(out, 0, 8);
            appendBigEndian(out, tableOffset, 8);
            return out;
        }

    private:
        struct Node {
            const PlistValue* value { nullptr };
            const std::string* key { nullptr }; // a dictionary key, stored as a string object
            std::vector<uint64_t> children; // array elements, or keys then values
        };

        static uint8_t widthFor(uint64_t value)
        {
            if (value <= 0xFF)
                return 1;
            if (value <= 0xFFFF)
                return 2;
            if (value <= 0xFFFFFFFF)
                return 4;
            return 8;
        }

        static void appendBigEndian(std::vector<uint8_t>& out, uint64_t value, size_t width)
        {
            for (size_t i = width; i-- > 0;)
                out.push_back(uint8_t(value >> (8 * i)));
        }

        static void appendHeader(std::vector<uint8_t>& out, uint8_t marker, uint64_t count)
        {
            if (count < 15) {
                out.push_back(uint8_t(marker | count));
                return;
            }
            out.push_back(uint8_t(marker | 0x0F));
            uint8_t width = widthFor(count);
            out.push_back(uint8_t(0x10 | std::countr_zero(width)));
            appendBigEndian(out, count, width);
        }

        uint64_t stringNode(const std::string& text, const PlistValue* value)
        {
            if (auto it = m_strings.find(text); it != m_strings.end())
                return it->second;
            m_nodes.push_back(Node { value, value ? nullptr : &text, {} });
            m_strings.emplace(text, m_nodes.size() - 1);
            return m_nodes.size() - 1;
        }

        uint64_t flatten(const PlistValue& value)
        {
            if (auto* text = value.asString())
                return stringNode(*text, &value);
            uint64_t index = m_nodes.size();
            m_nodes.push_back(Node { &value, nullptr, {} });
            std::vector<uint64_t> children;
            if (auto* array = value.asArray()) {
                for (auto& element : *array)
                    children.push_back(flatten(element));
            } else if (auto* dictionary = value.asDictionary()) {
                for (auto& entry : *dictionary)
                    children.push_back(stringNode(entry.first, nullptr));
                for (auto& entry : *dictionary)
                    children.push_back(flatten(entry.second));
            }
            m_nodes[index].children = std::move(children);
            return index;
        }

        static void appendString(std::vector<uint8_t>& out, const std::string& text)
        {
            bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            if (ascii) {
                appendHeader(out, 0x50, text.size());
                out.insert(out.end(), text.begin(), text.end());
                return;
            }
            std::vector<uint16_t> units;
            for (size_t i = 0; i < text.size();) {
                auto byte = static_cast<unsigned char>(text[i]);
                uint32_t codePoint = 0xFFFD;
                size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2
                    : (byte >> 4) == 0xE                             ? 3
                    : (byte >> 3) == 0x1E                            ? 4
                                                                     : 0;
                if (length == 1) {
                    codePoint = byte;
                } else if (length && i + length <= text.size()) {
                    codePoint = byte & (0x7F >> length);
                    for (size_t j = 1; j < length; ++j) {
                        auto next = static_cast<unsigned char>(text[i + j]);
                        if ((next & 0xC0) != 0x80) {
                            codePoint = 0xFFFD;
                            length = j;
                            break;
                        }
                        codePoint = (codePoint << 6) | (next & 0x3F);
                    }
                } else {
                    length = 1;
                }
                if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
                    codePoint = 0xFFFD;
                i += length;
                if (codePoint >= 0x10000) {
                    codePoint -= 0x10000;
                    units.push_back(uint16_t(0xD800 + (codePoint >> 10)));
                    units.push_back(uint16_t(0xDC00 + (codePoint & 0x3FF)));
                } else {
                    units.push_back(uint16_t(codePoint));
                }
            }
            appendHeader(out, 0x60, units.size());
            for (uint16_t unit : units)
                appendBigEndian(out, unit, 2);
        }

        void encodeNode(const Node& node, std::vector<uint8_t>& out) const
        {
            if (node.key) {
                appendString(out, *node.key);
                return;
            }
            const PlistValue& value = *node.value;
            switch (value.type()) {
            case PlistType::String:
                appendString(out, *value.asString());
                return;
            case PlistType::Integer:
                if (auto integer = value.asInteger(); integer && *integer >= 0 && *integer <= 0xFFFFFFFF) {
                    uint8_t width = widthFor(static_cast<uint64_t>(*integer));
                    out.push_back(uint8_t(0x10 | std::countr_zero(width)));
                    appendBigEndian(out, static_cast<uint64_t>(*integer), width);
                } else if (integer) {
                    out.push_back(0x13);
                    appendBigEndian(out, static_cast<uint64_t>(*integer), 8);
                } else {
                    // Above INT64_MAX: sixteen bytes, high half zero.
                    out.push_back(0x14);
                    appendBigEndian(out, 0, 8);
                    appendBigEndian(out, *value.asUnsignedInteger(), 8);
                }
                return;
            case PlistType::Real:
                out.push_back(0x23);
                appendBigEndian(out, std::bit_cast<uint64_t>(*value.asReal()), 8);
                return;
            case PlistType::Boolean:
                out.push_back(*value.asBoolean() ? 0x09 : 0x08);
                return;
            case PlistType::Date:
                out.push_back(0x33);
                appendBigEndian(out, std::bit_cast<uint64_t>(value.asDate()->secondsSince2001), 8);
                return;
            case PlistType::Data: {
                auto& data = *value.asData();
                appendHeader(out, 0x40, data.size());
                out.insert(out.end(), data.begin(), data.end());
                return;
            }
            case PlistType::Uid: {
                uint64_t uid = value.asUid()->value;
                uint8_t width = widthFor(uid);
                out.push_back(uint8_t(0x80 | (width - 1)));
                appendBigEndian(out, uid, width);
                return;
            }
            case PlistType::Array:
                appendHeader(out, 0xA0, node.children.size());
                break;
            case PlistType::Dictionary:
                appendHeader(out, 0xD0, node.children.size() / 2);
                break;
            }
            for (uint64_t child : node.children)
                appendBigEndian(out, child, m_refSize);
        }

        std::vector<Node> m_nodes;
        std::unordered_map<std::string, uint64_t> m_strings;
        uint8_t m_refSize { 1 };
    };

}

std::vector<uint8_t> writeBinaryPlist(const PlistValue& value)
{
    return BinaryPlistEncoder().encode(value);
}

}
