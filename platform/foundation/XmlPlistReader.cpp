#include "XmlPlistReader.h"
#include "Strings.h"

#include <expat.h>
#include <fmt/format.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <charconv>
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

    bool isBlank(std::string_view text) { return text.find_first_not_of(xmlSpace) == std::string_view::npos; }

    bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
    }

    // Hostile text goes into error messages (and from there into logs), so it
    // is cut short, on a character boundary.
    std::string cut(std::string_view text)
    {
        constexpr size_t shown = 40;
        if (text.size() <= shown)
            return std::string(text);
        size_t end = shown;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        return fmt::format("{}…", text.substr(0, end));
    }

    std::string shown(std::string_view text) { return fmt::format("\"{}\"", cut(text)); }

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
        auto convert = [&](char* target, size_t capacity) {
            ucnv_reset(converter.get());
            return ucnv_toAlgorithmic(UCNV_UTF8, converter.get(), target, int32_t(capacity),
                reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()), &status);
        };
        // Measured first, then written.
        std::string utf8(size_t(std::max(convert(nullptr, 0), 0)), '\0');
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            status = U_ZERO_ERROR;
            convert(utf8.data(), utf8.size());
        }
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

    // XML allows no control characters but tab and the line ends, yet writers
    // put them in strings as they are (no escape can express them), and
    // refusing them would lose a whole favourites file over one odd contact
    // name. They cross the XML parser as the noncharacters U+FDD0 to U+FDEF,
    // which it lets through, and turn back in a value's text. Tab and the line
    // ends need no stand-in, so tab's place, U+FDD9, marks a noncharacter of
    // the document's own: it crosses as U+FDD9 followed by itself, and a
    // binary list's string holding both kinds still reads back from the XML
    // written for it. A reference to one of the noncharacters would reach the
    // text past this scan and so is refused beside control characters. NUL
    // goes the same way as the other controls: a string may hold it (a binary
    // list's UTF-16 text does), and our writer writes it as it is.
    constexpr std::string_view standInLead = "\xEF\xB7"; // U+FDC0 to U+FDFF

    constexpr char escapeMark = char(0x90 + '\t');

    bool isStandInControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

    bool isStandIn(std::string_view text, size_t at)
    {
        auto third = at + 2 < text.size() ? static_cast<unsigned char>(text[at + 2]) : 0;
        return text.compare(at, 2, standInLead) == 0 && third >= 0x90 && third <= 0xAF;
    }

    // A character reference ("&#…;") at `at` to one of the stand-ins.
    bool refersToStandIn(std::string_view text, size_t at)
    {
        if (text.compare(at, 2, "&#") != 0)
            return false;
        bool hex = text.compare(at + 2, 1, "x") == 0;
        uint32_t code = 0;
        auto digits = text.data() + at + (hex ? 3 : 2);
        bool read = std::from_chars(digits, text.data() + text.size(), code, hex ? 16 : 10).ec == std::errc();
        return read && code >= 0xFDD0 && code <= 0xFDEF;
    }

    Result<bool> standInForControls(std::string& text)
    {
        if (std::none_of(text.begin(), text.end(), [](char c) { return isStandInControl(c); }))
            return false;
        std::string replaced;
        replaced.reserve(text.size() + text.size() / 8);
        for (size_t i = 0; i < text.size(); ++i) {
            auto c = static_cast<unsigned char>(text[i]);
            if (refersToStandIn(text, i))
                return failure("a reference to one of the noncharacters U+FDD0 to U+FDEF beside control characters");
            if (isStandIn(text, i)) {
                replaced += standInLead;
                replaced += escapeMark;
                replaced.append(text, i, 3);
                i += 2;
            } else if (isStandInControl(c)) {
                replaced += standInLead;
                replaced += char(0x90 + c);
            } else {
                replaced += char(c);
            }
        }
        text = std::move(replaced);
        return true;
    }

    void restoreControls(std::string& text)
    {
        size_t to = 0;
        for (size_t from = 0; from < text.size();) {
            if (!isStandIn(text, from)) {
                text[to++] = text[from++];
            } else if (text[from + 2] == escapeMark && isStandIn(text, from + 3)) {
                for (size_t k = 0; k < 3; ++k)
                    text[to++] = text[from + 3 + k];
                from += 6;
            } else {
                text[to++] = char(static_cast<unsigned char>(text[from + 2]) - 0x90);
                from += 3;
            }
        }
        text.resize(to);
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

    // ---- Structure ----------------------------------------------------------

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

    constexpr std::string_view elementNames[] = { "plist", "array", "dict", "key", "string", "integer", "real", "date", "data", "true", "false" };

    std::string_view nameOf(Element element) { return elementNames[static_cast<size_t>(element)]; }

    std::optional<Element> elementNamed(std::string_view name)
    {
        auto found = std::find(std::begin(elementNames), std::end(elementNames), name);
        if (found == std::end(elementNames))
            return std::nullopt;
        return static_cast<Element>(found - std::begin(elementNames));
    }

    bool isContainer(Element element) { return element == Element::Plist || element == Element::Array || element == Element::Dict; }

    // An element being read: a container being filled, or a leaf gathering
    // its text.
    struct Frame {
        explicit Frame(Element element)
            : element(element)
        {
        }

        Element element;
        PlistArray array;
        PlistDictionary dictionary;
        std::optional<std::string> key; // read, waiting for its value
        std::optional<PlistValue> value; // <plist>'s one value
        std::string text; // a leaf's
    };

    // Builds the value from the XML parser's events. The parser does the XML:
    // encodings of bytes, well-formedness, references, comments and CDATA. The
    // first failure stops it and is the answer.
    class Builder {
    public:
        Builder(const PlistReadLimits& limits, bool controlsStoodIn)
            : m_limits(limits)
            , m_controlsStoodIn(controlsStoodIn)
        {
        }

        Result<PlistValue> build(std::string_view text)
        {
            if (text.size() > size_t(std::numeric_limits<int>::max()))
                return failure("document too large");
            // The bytes are UTF-8 by now, whatever the declaration says.
            std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"), &XML_ParserFree);
            if (!parser)
                return failure("out of memory");
            m_parser = parser.get();
            XML_SetUserData(m_parser, this);
            XML_SetElementHandler(
                m_parser,
                [](void* self, const XML_Char* name, const XML_Char**) { static_cast<Builder*>(self)->open(name); },
                [](void* self, const XML_Char*) { static_cast<Builder*>(self)->close(); });
            XML_SetCharacterDataHandler(m_parser, [](void* self, const XML_Char* text, int length) {
                static_cast<Builder*>(self)->characters(std::string_view(text, size_t(length)));
            });
            // Entities other than the five predefined ones would need a DTD:
            // an internal subset is refused before it declares any, and the
            // external one is never read, so no reference can expand.
            XML_SetStartDoctypeDeclHandler(m_parser, [](void* self, const XML_Char*, const XML_Char*, const XML_Char*, int internalSubset) {
                if (internalSubset)
                    static_cast<Builder*>(self)->stop("DOCTYPE with an internal subset");
            });
            // With an external DTD named, the parser would pass over an entity
            // it cannot know instead of refusing it.
            XML_SetSkippedEntityHandler(m_parser, [](void* self, const XML_Char* name, int) {
                static_cast<Builder*>(self)->stop(fmt::format("undefined entity &{};", cut(name)));
            });
            XML_SetParamEntityParsing(m_parser, XML_PARAM_ENTITY_PARSING_NEVER);
            if (XML_Parse(m_parser, text.data(), int(text.size()), XML_TRUE) != XML_STATUS_OK) {
                if (m_error)
                    return std::move(*m_error);
                return error(XML_ErrorString(XML_GetErrorCode(m_parser)));
            }
            if (!m_root)
                return failure("no value");
            return std::move(*m_root);
        }

    private:
        Error error(std::string_view what) const { return failure(fmt::format("line {}: {}", XML_GetCurrentLineNumber(m_parser), what)); }

        void stop(std::string_view what) { stop(error(what)); }

        void stop(Error error)
        {
            if (m_error)
                return;
            m_error = std::move(error);
            XML_StopParser(m_parser, XML_FALSE);
        }

        void open(std::string_view name)
        {
            if (m_error)
                return;
            if (!m_frames.empty() && !isContainer(m_frames.back().element))
                return stop(fmt::format("markup inside <{}>", nameOf(m_frames.back().element)));
            auto element = elementNamed(name);
            if (!element)
                return stop(fmt::format("unknown element <{}>", cut(name)));
            if (*element == Element::Plist) {
                if (!m_frames.empty())
                    return stop("<plist> inside the document");
            } else if (*element == Element::Key) {
                if (m_frames.empty() || m_frames.back().element != Element::Dict)
                    return stop("<key> outside a <dict>");
                if (auto& pending = m_frames.back().key)
                    return stop(fmt::format("<key> {} has no value", shown(*pending)));
            } else {
                if (auto refusal = misplaced(*element))
                    return stop(*refusal);
                if (*element == Element::Array || *element == Element::Dict)
                    ++m_containerDepth;
            }
            m_frames.emplace_back(*element);
        }

        // Why a value may not stand here, if it may not: a value belongs at the
        // root, as <plist>'s one value, in an array, or after a dictionary's key.
        std::optional<std::string> misplaced(Element element)
        {
            if (!m_frames.empty() && m_frames.back().element == Element::Plist && m_frames.back().value)
                return fmt::format("<{}> after <plist>'s value", nameOf(element));
            if (!m_frames.empty() && m_frames.back().element == Element::Dict && !m_frames.back().key)
                return fmt::format("<{}> without a <key> in <dict>", nameOf(element));
            // The root is level 1, as the binary reader counts.
            if (m_containerDepth + 1 > m_limits.maxDepth)
                return fmt::format("nested deeper than {} levels", m_limits.maxDepth);
            if (++m_values > m_limits.maxNodes)
                return fmt::format("more than {} values", m_limits.maxNodes);
            return std::nullopt;
        }

        void characters(std::string_view text)
        {
            if (m_error || m_frames.empty())
                return;
            auto& top = m_frames.back();
            if (!isContainer(top.element))
                top.text += text;
            else if (!isBlank(text))
                stop(fmt::format("text inside <{}>", nameOf(top.element)));
        }

        void close()
        {
            if (m_error)
                return;
            Frame frame = std::move(m_frames.back());
            m_frames.pop_back();
            if (m_controlsStoodIn)
                restoreControls(frame.text);
            switch (frame.element) {
            case Element::Plist:
                if (!frame.value)
                    return stop("<plist> holds no value");
                return deliver(std::move(*frame.value));
            case Element::Array:
                --m_containerDepth;
                return deliver(PlistValue(std::move(frame.array)));
            case Element::Dict:
                --m_containerDepth;
                if (frame.key)
                    return stop(fmt::format("<key> {} has no value", shown(*frame.key)));
                return deliver(PlistValue(std::move(frame.dictionary)));
            case Element::Key:
                m_frames.back().key = std::move(frame.text);
                return;
            default:
                auto value = leafValue(frame.element, frame.text);
                if (!value)
                    return stop(error(value.error().reason().substr(prefix.size())));
                return deliver(value.releaseValue());
            }
        }

        void deliver(PlistValue value)
        {
            if (m_frames.empty()) {
                m_root = std::move(value);
                return;
            }
            auto& top = m_frames.back();
            if (top.element == Element::Plist) {
                top.value = std::move(value);
            } else if (top.element == Element::Array) {
                top.array.push_back(std::move(value));
            } else {
                // A repeated key keeps its first place and takes the last value.
                top.dictionary.set(std::move(*top.key), std::move(value));
                top.key.reset();
            }
        }

        static Result<PlistValue> leafValue(Element element, std::string& text)
        {
            switch (element) {
            case Element::String:
                return PlistValue(std::move(text));
            case Element::Integer:
                return integerValue(text);
            case Element::Real:
                return realValue(text);
            case Element::Date:
                return dateValue(text);
            case Element::Data:
                return dataValue(text);
            default:
                if (!isBlank(text))
                    return failure(fmt::format("<{}> holds text", nameOf(element)));
                return PlistValue(element == Element::True);
            }
        }

        const PlistReadLimits& m_limits;
        bool m_controlsStoodIn;
        XML_Parser m_parser { nullptr };
        std::vector<Frame> m_frames;
        size_t m_containerDepth { 0 };
        size_t m_values { 0 };
        std::optional<PlistValue> m_root;
        std::optional<Error> m_error;
    };

}

Result<PlistValue> parseXmlPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    if (bytes.size() > limits.maxBytes)
        return Error(fmt::format("property list is larger than {} bytes", limits.maxBytes));
    auto text = TRY(decodedDocument(bytes));
    if (isBlank(text))
        return Error("empty property list");
    bool controlsStoodIn = TRY(standInForControls(text));
    return Builder(limits, controlsStoodIn).build(text);
}

}
