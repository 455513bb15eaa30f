#include "XmlPlistReader.h"

#include <fmt/format.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

namespace {

    constexpr std::string_view xmlSpace = " \t\r\n";
    constexpr std::string_view prefix = "XML property list: ";

    Error failure(std::string_view what) { return Error(std::string(prefix) + std::string(what)); }

    std::string_view trimmed(std::string_view text)
    {
        size_t first = text.find_first_not_of(xmlSpace);
        if (first == std::string_view::npos)
            return {};
        return text.substr(first, text.find_last_not_of(xmlSpace) - first + 1);
    }

    bool isBlank(std::string_view text) { return text.find_first_not_of(xmlSpace) == std::string_view::npos; }

    bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
    }

    // Hostile text goes into error messages (and from there into logs), so it
    // is cut short, on a character boundary.
    std::string shown(std::string_view text)
    {
        constexpr size_t shown = 40;
        if (text.size() <= shown)
            return fmt::format("\"{}\"", text);
        size_t cut = shown;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        return fmt::format("\"{}…\"", text.substr(0, cut));
    }

    // ---- Encoding ---------------------------------------------------------

    // The encoding the XML declaration names, or nothing.
    std::optional<std::string> declaredEncoding(std::string_view text)
    {
        if (!text.starts_with("<?xml"))
            return std::nullopt;
        std::string_view declaration = text.substr(0, text.find("?>"));
        size_t at = declaration.find("encoding");
        if (at == std::string_view::npos)
            return std::nullopt;
        at = declaration.find_first_not_of(xmlSpace, at + 8);
        if (at == std::string_view::npos || declaration[at] != '=')
            return std::nullopt;
        at = declaration.find_first_not_of(xmlSpace, at + 1);
        if (at == std::string_view::npos || (declaration[at] != '"' && declaration[at] != '\''))
            return std::nullopt;
        size_t close = declaration.find(declaration[at], at + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        return std::string(declaration.substr(at + 1, close - at - 1));
    }

    // Bytes in `encoding` (an ICU converter name) as UTF-8. A byte sequence the
    // encoding does not define, or one cut short, is refused rather than
    // replaced.
    Result<std::string> convertToUtf8(std::span<const uint8_t> bytes, const std::string& encoding)
    {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(encoding.c_str(), &status), &ucnv_close);
        if (U_FAILURE(status) || !converter)
            return failure(fmt::format("unsupported encoding {}", shown(encoding)));
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        auto source = reinterpret_cast<const char*>(bytes.data());
        auto length = static_cast<int32_t>(bytes.size());
        // Every encoding we meet here yields at most one UTF-16 unit per byte.
        std::vector<UChar> units(bytes.size() + 1);
        int32_t unitCount = ucnv_toUChars(converter.get(), units.data(), static_cast<int32_t>(units.size()), source, length, &status);
        if (U_FAILURE(status))
            return failure(fmt::format("bytes that are not valid {}", encoding));
        int32_t utf8Length = 0;
        status = U_ZERO_ERROR;
        u_strToUTF8(nullptr, 0, &utf8Length, units.data(), unitCount, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
            return failure(fmt::format("bytes that are not valid {}", encoding));
        std::string utf8(static_cast<size_t>(utf8Length), '\0');
        status = U_ZERO_ERROR;
        u_strToUTF8(utf8.data(), utf8Length, nullptr, units.data(), unitCount, &status);
        if (U_FAILURE(status))
            return failure(fmt::format("bytes that are not valid {}", encoding));
        return utf8;
    }

    // The document as UTF-8 text. A byte-order mark decides the encoding;
    // without one the document is UTF-8 unless its declaration names another
    // encoding. An encoding the declaration contradicts is refused.
    Result<std::string> decodedDocument(std::span<const uint8_t> bytes)
    {
        auto startsWith = [&](std::initializer_list<uint8_t> mark) {
            return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
        };
        auto declaresUtf16 = [](const std::optional<std::string>& name) {
            return name && name->size() >= 6 && equalsIgnoringAsciiCase(name->substr(0, 6), "utf-16");
        };
        if (startsWith({ 0x00, 0x00, 0xFE, 0xFF }) || startsWith({ 0xFF, 0xFE, 0x00, 0x00 }))
            return failure("UTF-32 documents are not supported");
        if (startsWith({ 0xFE, 0xFF }) || startsWith({ 0xFF, 0xFE })) {
            auto text = TRY(convertToUtf8(bytes.subspan(2), bytes[0] == 0xFE ? "UTF-16BE" : "UTF-16LE"));
            auto declared = declaredEncoding(text);
            if (declared && !declaresUtf16(declared))
                return failure(fmt::format("a UTF-16 document declares the encoding {}", shown(*declared)));
            return text;
        }
        // "<?" in UTF-16 without a mark: the mark is required.
        if (startsWith({ 0x00, '<', 0x00, '?' }) || startsWith({ '<', 0x00, '?', 0x00 }))
            return failure("UTF-16 without a byte-order mark");
        bool utf8Mark = startsWith({ 0xEF, 0xBB, 0xBF });
        if (utf8Mark)
            bytes = bytes.subspan(3);
        std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        auto declared = declaredEncoding(text);
        if (!declared || equalsIgnoringAsciiCase(*declared, "utf-8") || equalsIgnoringAsciiCase(*declared, "utf8"))
            return std::string(text);
        if (utf8Mark || declaresUtf16(declared))
            return failure(fmt::format("the document's bytes are not the encoding it declares, {}", shown(*declared)));
        return convertToUtf8(bytes, *declared);
    }

    // XML allows neither malformed UTF-8 nor NUL. Other control characters
    // are not XML characters either, but writers put them in strings as they
    // are (no escape can express them), and refusing them would lose a whole
    // favourites file over one odd contact name.
    std::optional<size_t> firstInvalidCharacter(std::string_view text)
    {
        auto bytes = reinterpret_cast<const uint8_t*>(text.data());
        auto length = static_cast<int32_t>(text.size());
        int32_t i = 0;
        while (i < length) {
            if (bytes[i] != 0 && bytes[i] < 0x80) {
                ++i;
                continue;
            }
            int32_t at = i;
            UChar32 c;
            U8_NEXT(bytes, i, length, c);
            if (c <= 0)
                return static_cast<size_t>(at);
        }
        return std::nullopt;
    }

    // ---- Values -------------------------------------------------------------

    // Decimal with an optional sign, or hexadecimal after "0x", as writers of
    // these files write them. The whole text must be the number.
    Result<PlistValue> integerValue(std::string_view text)
    {
        std::string_view number = trimmed(text);
        if (number.empty())
            return failure("empty <integer>");
        auto notAnInteger = [&] { return failure(fmt::format("<integer> holds {}, not an integer", shown(number))); };
        bool negative = false;
        std::string_view digits = number;
        if (digits.front() == '-' || digits.front() == '+') {
            negative = digits.front() == '-';
            digits.remove_prefix(1);
        }
        unsigned base = 10;
        if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            base = 16;
            digits.remove_prefix(2);
        }
        if (digits.empty())
            return notAnInteger();
        uint64_t magnitude = 0;
        bool overflow = false;
        for (char c : digits) {
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = unsigned(c - '0');
            else if (base == 16 && c >= 'a' && c <= 'f')
                digit = unsigned(c - 'a' + 10);
            else if (base == 16 && c >= 'A' && c <= 'F')
                digit = unsigned(c - 'A' + 10);
            else
                return notAnInteger();
            if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / base)
                overflow = true;
            else
                magnitude = magnitude * base + digit;
        }
        constexpr uint64_t int64Max = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
        if (overflow || (negative && magnitude > int64Max + 1))
            return failure(fmt::format("integer {} out of range", shown(number)));
        if (negative)
            return PlistValue(static_cast<int64_t>(uint64_t(0) - magnitude));
        return magnitude > int64Max ? PlistValue::unsignedInteger(magnitude) : PlistValue(static_cast<int64_t>(magnitude));
    }

    // A decimal number with an optional fraction and exponent, or "nan",
    // "inf" and "infinity" with an optional sign, as writers write the values
    // a decimal cannot.
    Result<PlistValue> realValue(std::string_view text)
    {
        std::string_view number = trimmed(text);
        if (number.empty())
            return failure("empty <real>");
        std::string_view rest = number;
        bool negative = false;
        if (rest.front() == '-' || rest.front() == '+') {
            negative = rest.front() == '-';
            rest.remove_prefix(1);
        }
        if (equalsIgnoringAsciiCase(rest, "nan"))
            return PlistValue(std::numeric_limits<double>::quiet_NaN());
        if (equalsIgnoringAsciiCase(rest, "inf") || equalsIgnoringAsciiCase(rest, "infinity"))
            return PlistValue(negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity());
        size_t i = 0;
        auto digits = [&] {
            size_t start = i;
            while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9')
                ++i;
            return i - start;
        };
        size_t mantissaDigits = digits();
        if (i < rest.size() && rest[i] == '.') {
            ++i;
            mantissaDigits += digits();
        }
        bool wellFormed = mantissaDigits > 0;
        if (wellFormed && i < rest.size() && (rest[i] == 'e' || rest[i] == 'E')) {
            ++i;
            if (i < rest.size() && (rest[i] == '+' || rest[i] == '-'))
                ++i;
            wellFormed = digits() > 0;
        }
        if (!wellFormed || i != rest.size())
            return failure(fmt::format("<real> holds {}, not a number", shown(number)));
        // The text is a plain decimal by now, which strtod reads in the C
        // locale the process runs in; too large a number reads as infinity.
        return PlistValue(std::strtod(std::string(number).c_str(), nullptr));
    }

    // "2011-05-06T12:34:56Z", with an optional fraction of a second: a year of
    // four digits and every field present and in range.
    Result<PlistValue> dateValue(std::string_view text)
    {
        std::string_view date = trimmed(text);
        auto notADate = [&] { return failure(fmt::format("<date> holds {}, not a date", shown(date))); };
        auto number = [&](size_t at, size_t digits, int& out) {
            if (at + digits > date.size())
                return false;
            out = 0;
            for (size_t k = at; k < at + digits; ++k) {
                if (date[k] < '0' || date[k] > '9')
                    return false;
                out = out * 10 + (date[k] - '0');
            }
            return true;
        };
        int year, month, day, hour, minute, second;
        if (date.size() < 20 || !number(0, 4, year) || date[4] != '-' || !number(5, 2, month) || date[7] != '-'
            || !number(8, 2, day) || date[10] != 'T' || !number(11, 2, hour) || date[13] != ':' || !number(14, 2, minute)
            || date[16] != ':' || !number(17, 2, second) || date.back() != 'Z')
            return notADate();
        double fraction = 0;
        std::string_view rest = date.substr(19, date.size() - 20);
        if (!rest.empty()) {
            if (rest.front() != '.' || rest.size() < 2)
                return notADate();
            double scale = 0.1;
            for (char c : rest.substr(1)) {
                if (c < '0' || c > '9')
                    return notADate();
                fraction += (c - '0') * scale;
                scale /= 10;
            }
        }
        using namespace std::chrono;
        year_month_day calendarDay { std::chrono::year(year), std::chrono::month(unsigned(month)), std::chrono::day(unsigned(day)) };
        // A 60th second is a leap second.
        if (!calendarDay.ok() || hour > 23 || minute > 59 || second > 60)
            return notADate();
        constexpr auto reference = sys_days { std::chrono::year(2001) / January / 1 };
        double days = double((sys_days(calendarDay) - reference).count());
        return PlistValue(PlistDate { days * 86400 + hour * 3600 + minute * 60 + second + fraction });
    }

    // Base64 with white space anywhere and the padding it needs, no more and
    // no less.
    Result<PlistValue> dataValue(std::string_view text)
    {
        auto sextet = [](char c) -> int {
            if (c >= 'A' && c <= 'Z')
                return c - 'A';
            if (c >= 'a' && c <= 'z')
                return c - 'a' + 26;
            if (c >= '0' && c <= '9')
                return c - '0' + 52;
            if (c == '+')
                return 62;
            if (c == '/')
                return 63;
            return -1;
        };
        PlistData bytes;
        uint32_t buffer = 0;
        int bits = 0;
        size_t significant = 0;
        size_t padding = 0;
        auto notBase64 = [&] { return failure(fmt::format("<data> holds {}, not base64", shown(trimmed(text)))); };
        for (char c : text) {
            if (xmlSpace.find(c) != std::string_view::npos)
                continue;
            if (c == '=') {
                ++padding;
                continue;
            }
            int value = sextet(c);
            if (value < 0 || padding > 0)
                return notBase64();
            ++significant;
            buffer = (buffer << 6) | uint32_t(value);
            bits += 6;
            if (bits >= 8) {
                bits -= 8;
                bytes.push_back(uint8_t(buffer >> bits));
                buffer &= (1u << bits) - 1;
            }
        }
        if (significant % 4 == 1 || padding != (4 - significant % 4) % 4)
            return notBase64();
        return PlistValue(std::move(bytes));
    }

    // ---- Markup -------------------------------------------------------------

    enum class Element { Plist,
        Array,
        Dict,
        Key,
        String,
        Integer,
        Real,
        Date,
        Data,
        True,
        False };

    std::optional<Element> elementNamed(std::string_view name)
    {
        static constexpr std::pair<std::string_view, Element> names[] = {
            { "plist", Element::Plist },
            { "array", Element::Array },
            { "dict", Element::Dict },
            { "key", Element::Key },
            { "string", Element::String },
            { "integer", Element::Integer },
            { "real", Element::Real },
            { "date", Element::Date },
            { "data", Element::Data },
            { "true", Element::True },
            { "false", Element::False },
        };
        for (auto& [known, element] : names) {
            if (known == name)
                return element;
        }
        return std::nullopt;
    }

    struct Tag {
        std::string_view name;
        bool closing { false };
        bool selfClosing { false };
    };

    // A container being filled.
    struct Frame {
        Frame(Element element, std::string_view name)
            : element(element)
            , name(name)
        {
        }

        Element element;
        std::string_view name;
        PlistArray array;
        PlistDictionary dictionary;
        std::optional<std::string> key; // read, waiting for its value
        std::optional<PlistValue> value; // <plist>'s one value
    };

    class Parser {
    public:
        Parser(std::string_view text, const PlistReadLimits& limits)
            : m_text(text)
            , m_limits(limits)
        {
        }

        Result<PlistValue> parse()
        {
            while (m_at < m_text.size()) {
                size_t markup = m_text.find('<', m_at);
                std::string_view between = m_text.substr(m_at, markup == std::string_view::npos ? std::string_view::npos : markup - m_at);
                if (!isBlank(between))
                    return strayText();
                if (markup == std::string_view::npos)
                    break;
                m_at = markup;
                if (startsWith("<!--") || startsWith("<?")) {
                    TRY(skipCommentOrInstruction());
                } else if (startsWith("<![CDATA[")) {
                    auto content = TRY(cdata());
                    if (!isBlank(content))
                        return strayText();
                } else if (startsWith("<!DOCTYPE")) {
                    TRY(skipDoctype());
                } else if (startsWith("<!")) {
                    return error("unknown markup");
                } else {
                    auto tag = TRY(readTag());
                    if (tag.closing)
                        TRY(close(tag.name));
                    else
                        TRY(open(tag));
                }
            }
            if (!m_frames.empty())
                return error(fmt::format("<{}> is never closed", m_frames.back().name));
            if (!m_root)
                return failure("not a well-formed property list");
            return std::move(*m_root);
        }

    private:
        bool startsWith(std::string_view text) const { return m_text.compare(m_at, text.size(), text) == 0; }

        Error error(std::string_view what) const
        {
            size_t line = 1 + size_t(std::count(m_text.begin(), m_text.begin() + std::min(m_at, m_text.size()), '\n'));
            return failure(fmt::format("line {}: {}", line, what));
        }

        Error strayText() const
        {
            if (m_frames.empty())
                return error("text outside the root element");
            return error(fmt::format("text inside <{}>", m_frames.back().name));
        }

        Result<void> skipCommentOrInstruction()
        {
            std::string_view terminator = startsWith("<!--") ? "-->" : "?>";
            size_t end = m_text.find(terminator, m_at + 2);
            if (end == std::string_view::npos)
                return error(terminator == "-->" ? "unterminated comment" : "unterminated processing instruction");
            m_at = end + terminator.size();
            return success();
        }

        Result<std::string_view> cdata()
        {
            size_t start = m_at + 9;
            size_t end = m_text.find("]]>", start);
            if (end == std::string_view::npos)
                return error("unterminated CDATA section");
            m_at = end + 3;
            return m_text.substr(start, end - start);
        }

        // Entity declarations would need a DTD processor; a document type is
        // only a name and an identifier here.
        Result<void> skipDoctype()
        {
            if (!m_frames.empty() || m_root || m_seenDoctype)
                return error("DOCTYPE inside the document");
            m_seenDoctype = true;
            char quote = 0;
            for (size_t j = m_at + 9; j < m_text.size(); ++j) {
                char c = m_text[j];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '[') {
                    return error("DOCTYPE with an internal subset");
                } else if (c == '>') {
                    m_at = j + 1;
                    return success();
                }
            }
            return error("unterminated DOCTYPE");
        }

        Result<Tag> readTag()
        {
            Tag tag;
            size_t nameStart = m_at + 1;
            if (nameStart < m_text.size() && m_text[nameStart] == '/') {
                tag.closing = true;
                ++nameStart;
            }
            size_t nameEnd = m_text.find_first_of(" \t\r\n/>", nameStart);
            if (nameEnd == std::string_view::npos)
                return error("unterminated tag");
            tag.name = m_text.substr(nameStart, nameEnd - nameStart);
            char quote = 0;
            size_t j = nameEnd;
            for (; j < m_text.size(); ++j) {
                char c = m_text[j];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '<') {
                    return error("unterminated tag");
                } else if (c == '>') {
                    break;
                }
            }
            if (j >= m_text.size())
                return error("unterminated tag");
            std::string_view rest = m_text.substr(nameEnd, j - nameEnd);
            tag.selfClosing = !tag.closing && rest.ends_with('/');
            if (tag.name.empty() || (tag.closing && !isBlank(rest)))
                return error("malformed tag");
            m_at = j + 1;
            return tag;
        }

        // Where a value may stand: the root, <plist>'s one value, an array's
        // element, or the value after a dictionary's key.
        Result<void> placeValue(std::string_view name)
        {
            if (m_frames.empty()) {
                if (m_root)
                    return error(fmt::format("<{}> after the root value", name));
            } else {
                auto& top = m_frames.back();
                if (top.element == Element::Plist && top.value)
                    return error(fmt::format("<{}> after <plist>'s value", name));
                if (top.element == Element::Dict && !top.key)
                    return error(fmt::format("<{}> without a <key> in <dict>", name));
            }
            // The root is level 1, as the binary reader counts.
            if (m_containerDepth + 1 > m_limits.maxDepth)
                return error(fmt::format("nested deeper than {} levels", m_limits.maxDepth));
            if (++m_values > m_limits.maxNodes)
                return error(fmt::format("more than {} values", m_limits.maxNodes));
            return success();
        }

        void deliver(PlistValue value)
        {
            if (m_frames.empty()) {
                m_root = std::move(value);
                return;
            }
            auto& top = m_frames.back();
            switch (top.element) {
            case Element::Plist:
                top.value = std::move(value);
                break;
            case Element::Array:
                top.array.push_back(std::move(value));
                break;
            default:
                // A repeated key keeps its first place and takes the last value.
                top.dictionary.set(std::move(*top.key), std::move(value));
                top.key.reset();
            }
        }

        Result<void> open(const Tag& tag)
        {
            auto element = elementNamed(tag.name);
            if (!element)
                return error(fmt::format("unknown element <{}>", tag.name));
            switch (*element) {
            case Element::Plist:
                if (!m_frames.empty() || m_root)
                    return error("<plist> inside the document");
                if (tag.selfClosing)
                    return error("<plist> holds no value");
                m_frames.emplace_back(*element, tag.name);
                return success();
            case Element::Array:
            case Element::Dict:
                TRY(placeValue(tag.name));
                if (tag.selfClosing) {
                    deliver(*element == Element::Array ? PlistValue(PlistArray {}) : PlistValue(PlistDictionary {}));
                } else {
                    m_frames.emplace_back(*element, tag.name);
                    ++m_containerDepth;
                }
                return success();
            case Element::Key: {
                if (m_frames.empty() || m_frames.back().element != Element::Dict)
                    return error("<key> outside a <dict>");
                if (m_frames.back().key)
                    return error(fmt::format("<key> {} has no value", shown(*m_frames.back().key)));
                m_frames.back().key = TRY(leafText(tag));
                return success();
            }
            default:
                TRY(placeValue(tag.name));
                deliver(TRY(leafValue(*element, TRY(leafText(tag)))));
                return success();
            }
        }

        Result<void> close(std::string_view name)
        {
            if (m_frames.empty() || m_frames.back().name != name)
                return error(fmt::format("mismatched closing tag </{}>", name));
            Frame frame = std::move(m_frames.back());
            switch (frame.element) {
            case Element::Plist:
                if (!frame.value)
                    return error("<plist> holds no value");
                m_frames.pop_back();
                deliver(std::move(*frame.value));
                break;
            case Element::Array:
                m_frames.pop_back();
                --m_containerDepth;
                deliver(PlistValue(std::move(frame.array)));
                break;
            default:
                if (frame.key)
                    return error(fmt::format("<key> {} has no value", shown(*frame.key)));
                m_frames.pop_back();
                --m_containerDepth;
                deliver(PlistValue(std::move(frame.dictionary)));
            }
            return success();
        }

        // The character data of a leaf element up to its closing tag, with
        // references resolved; comments and CDATA sections may stand in it,
        // elements may not.
        Result<std::string> leafText(const Tag& tag)
        {
            std::string content;
            if (tag.selfClosing)
                return content;
            while (true) {
                size_t markup = m_text.find('<', m_at);
                if (markup == std::string_view::npos)
                    return error(fmt::format("<{}> is never closed", tag.name));
                TRY(appendResolved(content, m_text.substr(m_at, markup - m_at)));
                m_at = markup;
                if (startsWith("<!--") || startsWith("<?")) {
                    TRY(skipCommentOrInstruction());
                } else if (startsWith("<![CDATA[")) {
                    content += TRY(cdata());
                } else if (startsWith("</")) {
                    auto closing = TRY(readTag());
                    if (closing.name != tag.name)
                        return error(fmt::format("mismatched closing tag </{}>", closing.name));
                    return content;
                } else {
                    return error(fmt::format("markup inside <{}>", tag.name));
                }
            }
        }

        // The five predefined entities and character references; XML knows no
        // others without a DTD.
        Result<void> appendResolved(std::string& out, std::string_view text)
        {
            size_t i = 0;
            while (i < text.size()) {
                size_t amp = text.find('&', i);
                out.append(text.substr(i, amp == std::string_view::npos ? std::string_view::npos : amp - i));
                if (amp == std::string_view::npos)
                    break;
                size_t semicolon = text.find(';', amp);
                if (semicolon == std::string_view::npos || semicolon - amp > 12)
                    return error("'&' that begins no reference");
                std::string_view name = text.substr(amp + 1, semicolon - amp - 1);
                i = semicolon + 1;
                static constexpr std::pair<std::string_view, char> predefined[] = {
                    { "amp", '&' }, { "lt", '<' }, { "gt", '>' }, { "quot", '"' }, { "apos", '\'' }
                };
                auto known = std::find_if(std::begin(predefined), std::end(predefined), [&](auto& p) { return p.first == name; });
                if (known != std::end(predefined)) {
                    out += known->second;
                    continue;
                }
                if (!name.starts_with('#'))
                    return error(fmt::format("unknown entity &{};", name));
                bool hex = name.size() > 1 && name[1] == 'x';
                std::string_view digits = name.substr(hex ? 2 : 1);
                uint32_t code = 0;
                bool valid = !digits.empty();
                for (char c : digits) {
                    int digit = c >= '0' && c <= '9'  ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
                    if (digit < 0 || code > 0x10FFFF) {
                        valid = false;
                        break;
                    }
                    code = code * (hex ? 16 : 10) + uint32_t(digit);
                }
                // Only XML characters may be referred to.
                bool character = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
                    || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
                if (!valid || !character)
                    return error(fmt::format("&{}; refers to no XML character", name));
                char encoded[4];
                int32_t length = 0;
                U8_APPEND_UNSAFE(encoded, length, UChar32(code));
                out.append(encoded, size_t(length));
            }
            return success();
        }

        Result<PlistValue> leafValue(Element element, std::string text)
        {
            auto located = [&](Result<PlistValue> value) -> Result<PlistValue> {
                if (value)
                    return value;
                return error(value.error().reason().substr(prefix.size()));
            };
            switch (element) {
            case Element::String:
                return PlistValue(std::move(text));
            case Element::Integer:
                return located(integerValue(text));
            case Element::Real:
                return located(realValue(text));
            case Element::Date:
                return located(dateValue(text));
            case Element::Data:
                return located(dataValue(text));
            case Element::True:
            case Element::False:
                if (!isBlank(text))
                    return error(fmt::format("<{}> holds text", element == Element::True ? "true" : "false"));
                return PlistValue(element == Element::True);
            default:
                return error("unexpected element");
            }
        }

        std::string_view m_text;
        const PlistReadLimits& m_limits;
        size_t m_at { 0 };
        std::vector<Frame> m_frames;
        size_t m_containerDepth { 0 }; // frames other than <plist>
        std::optional<PlistValue> m_root;
        size_t m_values { 0 };
        bool m_seenDoctype { false };
    };

}

Result<PlistValue> parseXmlPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    if (bytes.size() > limits.maxBytes)
        return Error(fmt::format("property list is larger than {} bytes", limits.maxBytes));
    auto text = TRY(decodedDocument(bytes));
    if (isBlank(text))
        return Error("empty property list");
    if (auto bad = firstInvalidCharacter(text)) {
        size_t line = 1 + size_t(std::count(text.begin(), text.begin() + *bad, '\n'));
        return failure(fmt::format("line {}: bytes that are not UTF-8 characters", line));
    }
    return Parser(text, limits).parse();
}

}
