#include "PlistReader.h"

#include "AtomicFile.h"
#include "BinaryPlistReader.h"

#include <fmt/format.h>
#include <plist/plist.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace foundation {

namespace {

    // An <integer> as written in the document. libplist 2.2 hands every integer
    // back as a uint64 without its sign, so "-1" and 18446744073709551615 look the
    // same; the scan keeps what the text said.
    struct ScannedInteger {
        uint64_t bits { 0 };
        bool isUnsigned { false };
    };

    // A <date> as written in the document, in seconds since 2001. libplist 2.2
    // keeps dates in 32-bit seconds, so a date more than 68 years from 2001
    // comes back wrapped; the scan keeps what the text said.
    struct ScannedDate {
        bool recognised { false };
        double secondsSince2001 { 0 };
    };

    struct XmlScan {
        std::string error;
        std::vector<ScannedInteger> integers;
        std::vector<ScannedDate> dates;
    };

    bool startsWith(std::string_view text, size_t at, std::string_view prefix)
    {
        return text.compare(at, prefix.size(), prefix) == 0;
    }

    // Parses an integer's text. Returns false when it does not fit 64 bits.
    bool parseIntegerText(std::string_view text, ScannedInteger& out, bool& recognised)
    {
        recognised = false;
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
            text.remove_prefix(1);
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
            text.remove_suffix(1);
        bool negative = false;
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            negative = text.front() == '-';
            text.remove_prefix(1);
        }
        unsigned base = 10;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            base = 16;
            text.remove_prefix(2);
        }
        if (text.empty())
            return true;
        uint64_t magnitude = 0;
        for (char c : text) {
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = unsigned(c - '0');
            else if (base == 16 && c >= 'a' && c <= 'f')
                digit = unsigned(c - 'a' + 10);
            else if (base == 16 && c >= 'A' && c <= 'F')
                digit = unsigned(c - 'A' + 10);
            else
                return true; // not a plain number; leave it to the parser
            if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / base)
                return false;
            magnitude = magnitude * base + digit;
        }
        recognised = true;
        constexpr uint64_t int64Max = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
        if (negative) {
            if (magnitude > int64Max + 1)
                return false;
            out = { uint64_t(0) - magnitude, false };
        } else {
            out = { magnitude, magnitude > int64Max };
        }
        return true;
    }

    // "2001-01-01T00:00:00Z", optionally with a fraction of a second, the form
    // property lists write. Anything else is left to libplist.
    ScannedDate parseDateText(std::string_view text)
    {
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
            text.remove_prefix(1);
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
            text.remove_suffix(1);
        auto number = [&](size_t at, size_t digits, int& out) {
            if (at + digits > text.size())
                return false;
            out = 0;
            for (size_t k = at; k < at + digits; ++k) {
                if (text[k] < '0' || text[k] > '9')
                    return false;
                out = out * 10 + (text[k] - '0');
            }
            return true;
        };
        int year, month, day, hour, minute, second;
        if (text.size() < 20 || !number(0, 4, year) || text[4] != '-' || !number(5, 2, month) || text[7] != '-'
            || !number(8, 2, day) || text[10] != 'T' || !number(11, 2, hour) || text[13] != ':' || !number(14, 2, minute)
            || text[16] != ':' || !number(17, 2, second) || text.back() != 'Z')
            return {};
        double fraction = 0;
        std::string_view rest = text.substr(19, text.size() - 20);
        if (!rest.empty()) {
            if (rest.front() != '.' || rest.size() < 2)
                return {};
            double scale = 0.1;
            for (char c : rest.substr(1)) {
                if (c < '0' || c > '9')
                    return {};
                fraction += (c - '0') * scale;
                scale /= 10;
            }
        }
        if (month < 1 || month > 12 || hour > 23 || minute > 59 || second > 60)
            return {};
        using namespace std::chrono;
        year_month_day date { std::chrono::year(year), std::chrono::month(unsigned(month)), std::chrono::day(unsigned(day)) };
        if (!date.ok())
            return {};
        constexpr auto reference = sys_days { std::chrono::year(2001) / January / 1 };
        double days = double((sys_days(date) - reference).count());
        return { true, days * 86400 + hour * 3600 + minute * 60 + second + fraction };
    }

    // Markup that libplist skips must not hide containers: if our idea of where a
    // comment, instruction or DOCTYPE ends differed from libplist's, containers
    // inside it could escape the depth count. Such documents are refused.
    bool hidesContainers(std::string_view region)
    {
        for (std::string_view tag : { "<array", "<dict", "</array", "</dict" }) {
            if (region.find(tag) != std::string_view::npos)
                return true;
        }
        return false;
    }

    // Walks the markup without building anything: bounds nesting and element count
    // before libplist (whose parser and free both recurse) sees the document, and
    // refuses mismatched tags, which a lenient parser might nest differently.
    XmlScan scanXml(std::string_view text, const PlistReadLimits& limits)
    {
        XmlScan scan;
        auto failure = [&](std::string error) {
            scan.error = "XML property list: " + std::move(error);
            return std::move(scan);
        };
        // <plist> wraps the root, and leaves (<string>, <key>...) sit one level
        // below their container.
        size_t maxElementDepth = limits.maxDepth + 2;
        std::vector<std::string_view> open;
        size_t elements = 0;
        size_t i = 0;
        while (i < text.size()) {
            size_t start = text.find('<', i);
            if (start == std::string_view::npos)
                break;
            auto skipPast = [&](std::string_view terminator) {
                size_t end = text.find(terminator, start + 2);
                size_t stop = end == std::string_view::npos ? text.size() : end + terminator.size();
                bool hides = hidesContainers(text.substr(start + 2, stop - start - 2));
                i = stop;
                return hides;
            };
            bool hides = false;
            if (startsWith(text, start, "<?")) {
                hides = skipPast("?>");
            } else if (startsWith(text, start, "<!--")) {
                hides = skipPast("-->");
            } else if (startsWith(text, start, "<![CDATA[")) {
                hides = skipPast("]]>");
            } else if (startsWith(text, start, "<!")) {
                // DOCTYPE, possibly with an internal subset in brackets.
                size_t bracket = 0;
                size_t j = start + 2;
                for (; j < text.size(); ++j) {
                    if (text[j] == '[')
                        ++bracket;
                    else if (text[j] == ']' && bracket)
                        --bracket;
                    else if (text[j] == '>' && !bracket)
                        break;
                }
                hides = hidesContainers(text.substr(start + 2, j - start - 2));
                i = j + 1;
            } else {
                size_t j = start + 1;
                char quote = 0;
                for (; j < text.size(); ++j) {
                    if (quote) {
                        if (text[j] == quote)
                            quote = 0;
                    } else if (text[j] == '"' || text[j] == '\'') {
                        quote = text[j];
                    } else if (text[j] == '>') {
                        break;
                    }
                }
                if (j >= text.size())
                    return failure("unterminated tag");
                bool closing = text[start + 1] == '/';
                bool selfClosing = !closing && text[j - 1] == '/';
                std::string_view tag = text.substr(start + (closing ? 2 : 1), j - start - (closing ? 2 : 1));
                std::string_view name = tag.substr(0, tag.find_first_of(" \t\r\n/"));
                i = j + 1;
                if (closing) {
                    if (open.empty() || open.back() != name)
                        return failure(fmt::format("mismatched closing tag </{}>", name));
                    open.pop_back();
                    continue;
                }
                if (++elements > limits.maxNodes + 1)
                    return failure(fmt::format("more than {} elements", limits.maxNodes));
                if (selfClosing)
                    continue;
                open.push_back(name);
                if (open.size() > maxElementDepth)
                    return failure(fmt::format("nested deeper than {} levels", limits.maxDepth));
                if (name == "integer") {
                    size_t close = text.find('<', i);
                    std::string_view body = text.substr(i, close == std::string_view::npos ? text.size() - i : close - i);
                    ScannedInteger integer;
                    bool recognised = false;
                    if (!parseIntegerText(body, integer, recognised))
                        return failure(fmt::format("integer {} out of range", body));
                    if (recognised)
                        scan.integers.push_back(integer);
                } else if (name == "date") {
                    size_t close = text.find('<', i);
                    scan.dates.push_back(parseDateText(text.substr(i, close == std::string_view::npos ? text.size() - i : close - i)));
                }
            }
            if (hides)
                return failure("containers inside a comment, instruction or DOCTYPE");
        }
        return scan;
    }

    struct PlistFree {
        void operator()(plist_t node) const { plist_free(node); }
    };
    using PlistHandle = std::unique_ptr<void, PlistFree>;

    // Turns libplist's tree into values, in document order so that integers meet
    // their scanned text.
    class LibplistConverter {
    public:
        LibplistConverter(const std::vector<ScannedInteger>& integers, const std::vector<ScannedDate>& dates, const PlistReadLimits& limits)
            : m_integers(integers)
            , m_dates(dates)
            , m_limits(limits)
        {
        }

        std::optional<PlistValue> convert(plist_t node, size_t depth)
        {
            if (depth > m_limits.maxDepth) {
                m_error = fmt::format("XML property list: nested deeper than {} levels", m_limits.maxDepth);
                return std::nullopt;
            }
            if (++m_nodes > m_limits.maxNodes) {
                m_error = fmt::format("XML property list: more than {} values", m_limits.maxNodes);
                return std::nullopt;
            }
            switch (plist_get_node_type(node)) {
            case PLIST_BOOLEAN: {
                uint8_t value = 0;
                plist_get_bool_val(node, &value);
                return PlistValue(value != 0);
            }
            case PLIST_UINT: {
                uint64_t value = 0;
                plist_get_uint_val(node, &value);
                return integer(value);
            }
            case PLIST_REAL: {
                double value = 0;
                plist_get_real_val(node, &value);
                return PlistValue(value);
            }
            case PLIST_STRING: {
                uint64_t length = 0;
                const char* text = plist_get_string_ptr(node, &length);
                return PlistValue(std::string(text ? text : "", text ? length : 0));
            }
            case PLIST_DATA: {
                uint64_t length = 0;
                const char* bytes = plist_get_data_ptr(node, &length);
                if (!bytes)
                    return PlistValue(PlistData());
                auto* begin = reinterpret_cast<const uint8_t*>(bytes);
                return PlistValue(PlistData(begin, begin + length));
            }
            case PLIST_DATE: {
                int32_t seconds = 0;
                int32_t microseconds = 0;
                plist_get_date_val(node, &seconds, &microseconds);
                return date(seconds, microseconds);
            }
            case PLIST_UID: {
                uint64_t value = 0;
                plist_get_uid_val(node, &value);
                return PlistValue(PlistUid { value });
            }
            case PLIST_ARRAY: {
                PlistArray elements;
                uint32_t size = plist_array_get_size(node);
                elements.reserve(size);
                for (uint32_t i = 0; i < size; ++i) {
                    auto element = convert(plist_array_get_item(node, i), depth + 1);
                    if (!element)
                        return std::nullopt;
                    elements.push_back(std::move(*element));
                }
                return PlistValue(std::move(elements));
            }
            case PLIST_DICT:
                return dictionary(node, depth);
            default:
                m_error = "XML property list: unsupported value";
                return std::nullopt;
            }
        }

        std::string takeError() { return std::move(m_error); }

    private:
        PlistValue integer(uint64_t bits)
        {
            if (m_nextInteger < m_integers.size() && m_integers[m_nextInteger].bits == bits) {
                auto scanned = m_integers[m_nextInteger++];
                return scanned.isUnsigned ? PlistValue::unsignedInteger(bits) : PlistValue(static_cast<int64_t>(bits));
            }
            // Out of step with the scan (markup the scan did not understand): take
            // libplist's reading, where the top bit means negative.
            return PlistValue(static_cast<int64_t>(bits));
        }

        // Dates meet their scanned text in document order, as integers do; the
        // text is taken when libplist's 32-bit seconds are its reading.
        PlistValue date(int32_t seconds, int32_t microseconds)
        {
            if (m_nextDate < m_dates.size()) {
                const auto& scanned = m_dates[m_nextDate];
                auto whole = static_cast<int64_t>(std::floor(scanned.secondsSince2001));
                constexpr int64_t low = std::numeric_limits<int32_t>::min();
                constexpr int64_t high = std::numeric_limits<int32_t>::max();
                bool fits = whole >= low && whole <= high;
                // Out of range, libplist answers a saturated or wrapped second.
                bool same = fits ? whole == seconds
                                 : (seconds == low || seconds == high || static_cast<int32_t>(static_cast<uint32_t>(whole)) == seconds);
                if (scanned.recognised && same) {
                    ++m_nextDate;
                    return PlistValue(PlistDate { scanned.secondsSince2001 });
                }
            }
            return PlistValue(PlistDate { seconds + microseconds / 1e6 });
        }

        std::optional<PlistValue> dictionary(plist_t node, size_t depth)
        {
            PlistDictionary entries;
            plist_dict_iter iterator = nullptr;
            plist_dict_new_iter(node, &iterator);
            if (!iterator)
                return PlistValue(std::move(entries));
            std::unique_ptr<void, decltype(&std::free)> iteratorOwner(iterator, &std::free);
            while (true) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, iterator, &key, &item);
                std::unique_ptr<char, decltype(&std::free)> keyOwner(key, &std::free);
                if (!item)
                    break;
                auto value = convert(item, depth + 1);
                if (!value)
                    return std::nullopt;
                // A repeated key keeps its first place and takes the last value.
                entries.set(key ? key : "", std::move(*value));
            }
            return PlistValue(std::move(entries));
        }

        const std::vector<ScannedInteger>& m_integers;
        const std::vector<ScannedDate>& m_dates;
        const PlistReadLimits& m_limits;
        size_t m_nextInteger { 0 };
        size_t m_nextDate { 0 };
        size_t m_nodes { 0 };
        std::string m_error;
    };

}

Result<PlistValue> readXmlPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    if (bytes.size() > limits.maxBytes)
        return Error(fmt::format("property list is larger than {} bytes", limits.maxBytes));
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return Error("empty property list");
    auto scan = scanXml(text, limits);
    if (!scan.error.empty())
        return Error(std::move(scan.error));

    plist_t root = nullptr;
    plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &root);
    PlistHandle owner(root);
    if (!root)
        return Error("XML property list: not a well-formed property list");
    LibplistConverter converter(scan.integers, scan.dates, limits);
    auto value = converter.convert(root, 1);
    if (!value)
        return Error(converter.takeError());
    return std::move(*value);
}

Result<PlistValue> readPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    if (bytes.empty())
        return Error("empty property list");
    if (bytes.size() > limits.maxBytes)
        return Error(fmt::format("property list is larger than {} bytes", limits.maxBytes));
    if (bytes.size() >= 6 && std::memcmp(bytes.data(), "bplist", 6) == 0)
        return readBinaryPlist(bytes, limits);
    return readXmlPlist(bytes, limits);
}

Result<PlistValue> readPlist(std::string_view bytes, const PlistReadLimits& limits)
{
    return readPlist(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), limits);
}

Result<PlistValue> readPlistFile(const std::filesystem::path& hostPath, const PlistReadLimits& limits)
{
    auto file = readWholeFile(hostPath, limits.maxBytes);
    auto bytes = TRY(std::move(file));
    auto result = readPlist(std::span<const uint8_t>(bytes), limits);
    if (!result)
        return result.error().prefixed(hostPath.string() + ": ");
    return result;
}

static Result<PlistValue> requireDictionary(Result<PlistValue> result)
{
    if (result && !result->isDictionary())
        return Error("property list root is not a dictionary");
    return result;
}

Result<PlistValue> readPlistDictionary(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    return requireDictionary(readPlist(bytes, limits));
}

Result<PlistValue> readPlistDictionaryFile(const std::filesystem::path& hostPath, const PlistReadLimits& limits)
{
    return requireDictionary(readPlistFile(hostPath, limits));
}

}
