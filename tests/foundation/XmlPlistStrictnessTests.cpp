// What the XML reader refuses and what it still reads: every malformed value
// must make the document unreadable instead of turning into a wrong value, and
// every form real writers use must keep reading.
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace foundation;

namespace {

std::string inPlist(std::string_view body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + std::string(body) + "\n</plist>\n";
}

// The document as UTF-16 with a byte-order mark.
std::string utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char high = char(unit >> 8), low = char(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

struct Refused {
    const char* name;
    std::string document;
    const char* reason; // a fragment of the error text
};

}

TEST(PlistXmlStrictness, MalformedValuesMakeTheDocumentUnreadable)
{
    const Refused cases[] = {
        // Numbers that a lenient parser would cut short or read as 0.
        { "integer with junk", inPlist("<integer>42xy</integer>"), "not an integer" },
        { "integer with a fraction", inPlist("<integer>1.5</integer>"), "not an integer" },
        { "integer with inner space", inPlist("<integer>4 2</integer>"), "not an integer" },
        { "sign alone", inPlist("<integer>-</integer>"), "not an integer" },
        { "hex prefix alone", inPlist("<integer>0x</integer>"), "not an integer" },
        { "hex digit in decimal", inPlist("<integer>12a</integer>"), "not an integer" },
        { "empty integer", inPlist("<integer/>"), "empty <integer>" },
        { "blank integer", inPlist("<integer> </integer>"), "empty <integer>" },
        { "integer below INT64_MIN", inPlist("<integer>-9223372036854775809</integer>"), "out of range" },
        { "empty real", inPlist("<real/>"), "empty <real>" },
        { "real with junk", inPlist("<real>1.5xyz</real>"), "not a number" },
        { "real exponent without digits", inPlist("<real>1e</real>"), "not a number" },
        { "real point alone", inPlist("<real>.</real>"), "not a number" },
        { "hexadecimal real", inPlist("<real>0x1p3</real>"), "not a number" },
        // Dates that would silently become another day.
        { "month 13", inPlist("<date>2011-13-06T12:34:56Z</date>"), "not a date" },
        { "30 February", inPlist("<date>2011-02-30T12:00:00Z</date>"), "not a date" },
        { "hour 24", inPlist("<date>2011-05-06T24:00:00Z</date>"), "not a date" },
        { "truncated date", inPlist("<date>2011-05Z</date>"), "not a date" },
        { "year 10000", inPlist("<date>10000-01-01T00:00:00Z</date>"), "not a date" },
        { "no zone", inPlist("<date>2011-05-06T12:34:56</date>"), "not a date" },
        { "empty date", inPlist("<date/>"), "not a date" },
        { "words", inPlist("<date>not a date</date>"), "not a date" },
        // Data that a lenient decoder would shorten.
        { "base64 without padding", inPlist("<data>AQI</data>"), "not base64" },
        { "base64 with a stray character", inPlist("<data>AQ*=</data>"), "not base64" },
        { "base64 data after padding", inPlist("<data>AQ==AQ==</data>"), "not base64" },
        // Structure the document type does not allow.
        { "key without a value", inPlist("<dict><key>a</key><string>1</string><key>b</key></dict>"), "<key> \"b\" has no value" },
        { "two keys in a row", inPlist("<dict><key>a</key><key>b</key><string>1</string></dict>"), "<key> \"a\" has no value" },
        { "value without a key", inPlist("<dict><string>1</string></dict>"), "without a <key>" },
        { "key outside a dictionary", inPlist("<array><key>a</key></array>"), "outside a <dict>" },
        { "two values in plist", inPlist("<string>a</string><string>b</string>"), "after <plist>'s value" },
        { "empty plist", inPlist(""), "holds no value" },
        { "unknown element", inPlist("<integer>1</integer><foo/>"), "unknown element <foo>" },
        { "element inside a string", inPlist("<string>a<b/>c</string>"), "markup inside <string>" },
        { "text in an array", inPlist("<array>text<true/></array>"), "text inside <array>" },
        { "text in true", inPlist("<true>no</true>"), "<true> holds text" },
        { "text after the root", inPlist("<true/>") + "junk", "junk after document element" },
        { "a second root", inPlist("<true/>") + "<plist><true/></plist>", "junk after document element" },
        // XML itself.
        { "undefined entity", inPlist("<string>&nbsp;</string>"), "undefined entity" },
        { "ampersand alone", inPlist("<string>Tom & Jerry</string>"), "invalid token" },
        { "reference to NUL", inPlist("<string>&#0;</string>"), "reference to invalid character number" },
        { "reference to a surrogate", inPlist("<string>&#xD800;</string>"), "reference to invalid character number" },
        { "reference past Unicode", inPlist("<string>&#x110000;</string>"), "reference to invalid character number" },
        { "internal subset", "<!DOCTYPE plist [<!ENTITY x \"y\">]><plist><string>&x;</string></plist>", "internal subset" },
        // With an external DTD named (as every written file does) an unknown
        // entity could be skipped instead of refused.
        { "undefined entity under a DTD", "<!DOCTYPE plist SYSTEM \"PropertyList-1.0.dtd\"><plist><string>a&nbsp;b</string></plist>", "undefined entity &nbsp;" },
        { "declaration after white space", "\n" + inPlist("<true/>"), "not at start" },
        { "unclosed token", inPlist("<true/><!-- never closed"), "unclosed token" },
        // Bytes that are not the document's encoding.
        { "invalid UTF-8 in a string", inPlist("<string>caf\xE9</string>"), "invalid token" },
        { "invalid UTF-8 in a key", inPlist("<dict><key>\xC3\x28</key><true/></dict>"), "invalid token" },
        { "overlong UTF-8", inPlist("<string>\xC0\xAF</string>"), "invalid token" },
        { "UTF-8 encoded surrogate", inPlist("<string>\xED\xA0\x80</string>"), "invalid token" },
        { "raw NUL outside a value", inPlist(std::string("<array><true/>\0</array>", 23)), "text inside <array>" },
        { "referred noncharacter beside a control character", inPlist("<string>\x07&#xfdd7;</string>"), "noncharacters" },
        { "U+FFFF", inPlist("<string>\xEF\xBF\xBF</string>"), "invalid token" },
        { "UTF-16 without a mark", std::string("<\0?\0x\0m\0l\0", 10), "byte-order mark" },
        { "UTF-8 declaring UTF-16", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><true/></plist>", "declares" },
        { "UTF-16 declaring UTF-8", utf16(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist><true/></plist>", true), "declares" },
        { "UTF-16 with a lone surrogate", utf16(u"<plist><string>\xD800</string></plist>", false), "not valid UTF-16" },
        { "UTF-16 cut mid-unit", utf16(u"<plist><true/></plist>", true) + std::string(1, '\0'), "not valid UTF-16" },
        { "unknown encoding", "<?xml version=\"1.0\" encoding=\"no-such-code\"?><plist><true/></plist>", "unsupported encoding" },
    };
    for (const auto& [name, document, reason] : cases) {
        SCOPED_TRACE(name);
        auto result = readPlist(document);
        EXPECT_FALSE(result) << result->debugDescription();
        EXPECT_NE(result.reason().find(reason), std::string::npos) << "error was: " << result.reason();
    }
}

TEST(PlistXmlStrictness, ErrorsNameTheLine)
{
    auto result = readPlist(inPlist("<dict>\n<key>n</key>\n<integer>42xy</integer>\n</dict>"));
    EXPECT_NE(result.reason().find("line 5: <integer> holds \"42xy\""), std::string::npos) << result.reason();
    std::string huge = "<plist><integer>" + std::string(10000, '7') + "x</integer></plist>";
    EXPECT_LT(readPlist(huge).reason().size(), 200u) << "hostile text is cut short in the message";
}

TEST(PlistXmlStrictness, FormsWritersUseStillRead)
{
    struct Accepted {
        const char* name;
        std::string body;
        PlistValue expected;
    };
    const Accepted cases[] = {
        { "plus sign", "<integer>+7</integer>", PlistValue(7) },
        { "surrounding white space", "<integer>\n\t 42 \n</integer>", PlistValue(42) },
        { "hexadecimal", "<integer>0xFf</integer>", PlistValue(255) },
        { "negative hexadecimal", "<integer>-0x10</integer>", PlistValue(-16) },
        { "leading zeros", "<integer>007</integer>", PlistValue(7) },
        { "character reference in a number", "<integer>&#52;2</integer>", PlistValue(42) },
        { "comment in a number", "<integer><!-- answer -->42</integer>", PlistValue(42) },
        { "real without fraction digits", "<real>1.</real>", PlistValue(1.0) },
        { "real without integer digits", "<real>-.5</real>", PlistValue(-0.5) },
        { "exponent", "<real>2.5E-3</real>", PlistValue(0.0025) },
        { "integer-looking real", "<real>3</real>", PlistValue(3.0) },
        { "infinity", "<real>-infinity</real>", PlistValue(-std::numeric_limits<double>::infinity()) },
        { "inf", "<real>+inf</real>", PlistValue(std::numeric_limits<double>::infinity()) },
        { "fraction of a second", "<date>2001-01-01T00:00:01.25Z</date>", PlistValue(PlistDate { 1.25 }) },
        { "leap second", "<date>2008-12-31T23:59:60Z</date>", PlistValue(PlistDate { 252460800 }) },
        { "year 9999", "<date>9999-12-31T23:59:59Z</date>", PlistValue(PlistDate { 252423993599 }) },
        { "base64 over lines", "<data>\n\tAQID\n\tBA==\n</data>", PlistValue(PlistData { 1, 2, 3, 4 }) },
        { "empty data", "<data></data>", PlistValue(PlistData {}) },
        { "empty string and key", "<dict><key/><string/></dict>", PlistValue(PlistDictionary { { "", "" } }) },
        { "entities and references", "<string>&lt;&amp;&gt;&quot;&apos;&#x41;&#66;&#x1F600;</string>", PlistValue("<&>\"'AB😀") },
        { "CDATA", "<string>a<![CDATA[<b>&]]>c</string>", PlistValue("a<b>&c") },
        { "white space kept in strings", "<string> two  spaces </string>", PlistValue(" two  spaces ") },
        { "control characters as written", "<string>tab\tbell\x07</string>", PlistValue("tab\tbell\x07") },
        { "control characters in a key", "<dict><key>\x01\x1F</key><string>\x0B</string></dict>", PlistValue(PlistDictionary { { "\x01\x1F", "\x0B" } }) },
        { "noncharacters without control characters", "<string>\xEF\xB7\x90\xEF\xB7\x97</string>", PlistValue("\xEF\xB7\x90\xEF\xB7\x97") },
        { "noncharacters beside control characters", "<dict><key>\x07\xEF\xB7\x97</key><string>\xEF\xB7\x99\x01\xEF\xB7\x91\xEF\xB7\x99</string></dict>",
            PlistValue(PlistDictionary { { "\x07\xEF\xB7\x97", "\xEF\xB7\x99\x01\xEF\xB7\x91\xEF\xB7\x99" } }) },
        { "blank true", "<true> </true>", PlistValue(true) },
    };
    for (const auto& [name, body, expected] : cases) {
        SCOPED_TRACE(name);
        auto result = readPlist(inPlist(body));
        ASSERT_TRUE(result) << result.reason();
        EXPECT_EQ(*result, expected) << result->debugDescription();
    }
    auto nan = readPlist(inPlist("<real>nan</real>"));
    ASSERT_TRUE(nan) << nan.reason();
    EXPECT_TRUE(std::isnan(*nan->asReal()));

    // A bare root without <plist>, comments and instructions around it.
    auto bare = readPlist("<!-- written by hand --><dict><key>a</key><true/></dict><?done?>\n");
    ASSERT_TRUE(bare) << bare.reason();
    EXPECT_EQ(*bare, PlistValue(PlistDictionary { { "a", true } }));
}

TEST(PlistXmlStrictness, ReadsOtherDeclaredEncodings)
{
    const std::u16string document = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<plist version=\"1.0\">\n"
                                    u"<dict><key>name</key><string>Zoë 😀</string><key>n</key><integer>-3</integer></dict>\n"
                                    u"</plist>\n";
    const PlistValue expected(PlistDictionary { { "name", "Zoë 😀" }, { "n", -3 } });
    for (bool bigEndian : { true, false }) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        auto result = readPlist(utf16(document, bigEndian));
        ASSERT_TRUE(result) << result.reason();
        EXPECT_EQ(*result, expected);
    }
    auto latin1 = readPlist("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>caf\xE9</string></plist>");
    ASSERT_TRUE(latin1) << latin1.reason();
    EXPECT_EQ(*latin1, PlistValue("café"));
    auto windows = readPlist("<?xml version=\"1.0\" encoding=\"windows-1252\"?><plist><string>\x80 \x07</string></plist>");
    ASSERT_TRUE(windows) << windows.reason();
    EXPECT_EQ(*windows, PlistValue("€ \x07"));
    auto marked = readPlist("\xEF\xBB\xBF" + inPlist("<string>é</string>"));
    ASSERT_TRUE(marked) << marked.reason();
    EXPECT_EQ(*marked, PlistValue("é"));
}

TEST(PlistXmlStrictness, TheWriterWritesOnlyDatesTheReaderTakes)
{
    // Four-digit years end at 9999 and begin at 0000; beyond them the
    // nearest date that can be written stands in.
    PlistValue far(PlistArray { PlistDate { 1e12 }, PlistDate { -1e12 } });
    auto result = readPlist(writeXmlPlist(far));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result,
        PlistValue(PlistArray { PlistDate { 252423993599 }, PlistDate { -63145526400 } }));
}

TEST(PlistXmlStrictness, StringsSurviveTheWriterAndTheReader)
{
    // A reader folds raw line ends to "\n", and control characters cross the
    // XML parser in disguise: both must come back as they were.
    PlistValue value(PlistDictionary { { "lines\r\n", "a\r\nb\rc\n" }, { "controls", "\x01\x07\x1B[0m\x1F" } });
    auto result = readPlist(writeXmlPlist(value));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, value);
}
