#include "PlistWriter.h"

#include <fmt/format.h>

#include <charconv>
#include <chrono>
#include <cmath>

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
        for (char c : text) {
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
    std::string formatDate(PlistDate date)
    {
        using namespace std::chrono;
        double seconds = std::floor(date.secondsSince2001);
        if (!std::isfinite(seconds) || std::abs(seconds) > 1e13)
            seconds = 0;
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
