#include "foundation/BinaryPlistBuilder.h"

#include <foundation/BinaryPlistReader.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>
#include <foundation/PropertyList.h>

#include <gtest/gtest.h>

#include <thread>

using namespace foundation;
using foundation::testing::BinaryPlistBuilder;

namespace {

std::string xmlDocument(std::string_view body)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                       "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                       "<plist version=\"1.0\">\n")
        + std::string(body) + "\n</plist>\n";
}

Result<PlistValue> readBytes(const std::vector<uint8_t>& bytes, const PlistReadLimits& limits = {})
{
    return readPlist(std::span<const uint8_t>(bytes), limits);
}

// Refused with an error text that mentions `fragment`.
void expectRefused(const Result<PlistValue>& result, std::string_view fragment)
{
    EXPECT_TRUE(result.isError()) << result->debugDescription();
    EXPECT_NE(result.reason().find(fragment), std::string::npos) << "error was: " << result.reason();
}

}

TEST(PlistDictionary, KeepsInsertionOrderAndPlaceOnReplace)
{
    PlistDictionary dictionary { { "version", "1.100000" }, { "ncqr", "1" }, { "EIC", "0" } };
    dictionary.set("ncqr", "0");
    dictionary.set("bug", "new");
    EXPECT_EQ(dictionary.keys(), (std::vector<std::string> { "version", "ncqr", "EIC", "bug" }));
    EXPECT_EQ(*dictionary.find("ncqr"), PlistValue("0"));
    EXPECT_TRUE(dictionary.remove("ncqr"));
    EXPECT_FALSE(dictionary.remove("ncqr"));
    EXPECT_EQ(dictionary.keys(), (std::vector<std::string> { "version", "EIC", "bug" }));
}

TEST(PlistDictionary, LookupStaysRightAcrossTheIndexThreshold)
{
    PlistDictionary dictionary;
    for (int i = 0; i < 40; ++i)
        dictionary.set("key" + std::to_string(i), i);
    for (int i = 0; i < 40; i += 2)
        EXPECT_TRUE(dictionary.remove("key" + std::to_string(i)));
    dictionary.set("key7", "changed");
    dictionary.set("late", true);
    ASSERT_EQ(dictionary.size(), 21u);
    EXPECT_EQ(dictionary.entryAt(0).first, "key1");
    EXPECT_EQ(*dictionary.find("key7"), PlistValue("changed"));
    EXPECT_EQ(*dictionary.find("key39"), PlistValue(39));
    EXPECT_EQ(dictionary.find("key8"), nullptr);
    EXPECT_EQ(dictionary.entryAt(20).first, "late");
    // Shrinking below the threshold falls back to scanning.
    for (int i = 1; i < 40; i += 2)
        dictionary.remove("key" + std::to_string(i));
    EXPECT_EQ(dictionary.size(), 1u);
    EXPECT_TRUE(dictionary.contains("late"));
}

TEST(PlistValue, CopiesAreIndependent)
{
    PlistValue original(PlistDictionary { { "groups", PlistArray { "a", "b" } } });
    PlistValue copy = original;
    copy.mutableDictionary()->set("extra", 1);
    EXPECT_FALSE(original.find("extra"));
    PlistValue nested = *original.find("groups");
    nested.mutableArray()->push_back("c");
    EXPECT_EQ(original.find("groups")->asArray()->size(), 2u);
    EXPECT_EQ(nested.asArray()->size(), 3u);
}

TEST(PlistValue, MovedFromContainersReadAsEmpty)
{
    PlistValue source(PlistArray { "a" });
    PlistValue target = std::move(source);
    ASSERT_TRUE(source.isArray()); // NOLINT(bugprone-use-after-move): the state is defined
    EXPECT_TRUE(source.asArray()->empty());
    source.mutableArray()->push_back("b");
    EXPECT_EQ(source, PlistValue(PlistArray { "b" }));
    EXPECT_EQ(target, PlistValue(PlistArray { "a" }));
}

TEST(PlistValue, CopiesChangedOnOtherThreadsDoNotTouchEachOther)
{
    PlistValue shared(PlistArray(100, PlistValue("x")));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([shared, t]() mutable {
            for (int i = 0; i < 200; ++i) {
                PlistValue local = shared;
                local.mutableArray()->push_back(t);
                shared = local;
            }
            EXPECT_EQ(shared.asArray()->size(), 300u);
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared.asArray()->size(), 100u);
}

TEST(PlistValue, TypesAndIntegerRanges)
{
    EXPECT_EQ(PlistValue(-5).asInteger(), -5);
    EXPECT_EQ(PlistValue(-5).asUnsignedInteger(), std::nullopt);
    auto big = PlistValue::unsignedInteger(UINT64_MAX);
    EXPECT_EQ(big.asInteger(), std::nullopt);
    EXPECT_EQ(big.asUnsignedInteger(), UINT64_MAX);
    EXPECT_NE(big, PlistValue(int64_t(-1)));
    EXPECT_EQ(PlistValue::unsignedInteger(7), PlistValue(7));
    EXPECT_EQ(PlistValue("1").asInteger(), std::nullopt);
    EXPECT_EQ(PlistValue(1).stringValue(), "");
    EXPECT_TRUE(PlistValue().isString());
    EXPECT_NE(PlistValue(true), PlistValue(1));
    EXPECT_EQ(PlistValue(PlistDictionary { { "a", 1 }, { "b", 2 } }),
        PlistValue(PlistDictionary { { "b", 2 }, { "a", 1 } }));
}

TEST(PlistXml, ReadsThePreferencesFileTheSettingsApplicationWrites)
{
    auto result = readPlist(xmlDocument("<dict>\n\t<key>version</key>\n\t<string>1.100000</string>\n"
                                        "\t<key>qrcolors</key>\n\t<string>0.500000 0.250000 1.000000</string>\n"
                                        "\t<key>bug</key>\n\t<string>new</string>\n</dict>"));
    ASSERT_TRUE(result) << result.reason();
    auto* dictionary = result->asDictionary();
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->keys(), (std::vector<std::string> { "version", "qrcolors", "bug" }));
    EXPECT_EQ(result->find("qrcolors")->stringValue(), "0.500000 0.250000 1.000000");
}

TEST(PlistXml, IntegersKeepTheirSignAndUnsignedRange)
{
    auto result = readPlist(xmlDocument("<array><integer>-1</integer><integer>18446744073709551615</integer>"
                                        "<integer>0x10</integer><integer>9223372036854775807</integer>"
                                        "<integer>-9223372036854775808</integer></array>"));
    ASSERT_TRUE(result) << result.reason();
    auto& array = *result->asArray();
    EXPECT_EQ(array[0].asInteger(), -1);
    EXPECT_EQ(array[1].asUnsignedInteger(), UINT64_MAX);
    EXPECT_EQ(array[1].asInteger(), std::nullopt);
    EXPECT_EQ(array[2].asInteger(), 16);
    EXPECT_EQ(array[3].asInteger(), INT64_MAX);
    EXPECT_EQ(array[4].asInteger(), INT64_MIN);

    // libplist would saturate this to UINT64_MAX; a wrong number is worse than none.
    expectRefused(readPlist(xmlDocument("<integer>99999999999999999999</integer>")), "out of range");
}

TEST(PlistXml, DatesKeepTheirYearFarFrom2001)
{
    // 32-bit seconds from 2001 reach only 1933 to 2069.
    auto result = readPlist(xmlDocument("<array><date>2100-03-01T12:00:00Z</date><date>1900-01-01T00:00:00Z</date>"
                                        "<date>2012-05-04T10:20:30Z</date></array>"));
    ASSERT_TRUE(result) << result.reason();
    auto& array = *result->asArray();
    ASSERT_EQ(array.size(), 3u);
    EXPECT_DOUBLE_EQ(array[0].asDate()->secondsSince2001, 3129278400.0);
    EXPECT_DOUBLE_EQ(array[1].asDate()->secondsSince2001, -3187296000.0);
    EXPECT_DOUBLE_EQ(array[2].asDate()->secondsSince2001, 357819630.0);

    PlistValue far(PlistArray { PlistDate { 3129278400.0 }, PlistDate { -3187296000.0 } });
    auto back = readPlist(writeXmlPlist(far));
    ASSERT_TRUE(back) << back.reason();
    EXPECT_EQ(*back, far);
}

TEST(PlistXml, RepeatedKeyKeepsFirstPlaceAndLastValue)
{
    auto result = readPlist(xmlDocument("<dict><key>a</key><string>1</string><key>b</key><string>2</string>"
                                        "<key>a</key><string>3</string></dict>"));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(result->asDictionary()->keys(), (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(result->find("a")->stringValue(), "3");
}

TEST(PlistXml, UidDictionariesStayDictionaries)
{
    auto result = readPlist(xmlDocument("<dict><key>CF$UID</key><integer>3</integer></dict>"));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, PlistValue(PlistDictionary { { "CF$UID", 3 } }));
}

TEST(PlistXml, RefusesUnreadableInput)
{
    expectRefused(readPlist(std::string_view("")), "empty");
    expectRefused(readPlist(std::string_view(" \n\t")), "empty");
    expectRefused(readPlist(std::string_view("this is not a property list")), "syntax error");
    expectRefused(readPlist(xmlDocument("<dict><key>a</key><string>b</string>")), "mismatched");
    expectRefused(readPlist(xmlDocument("<array><string>x</array></string>")), "mismatched");
    std::string truncated = xmlDocument("<dict><key>a</key><string>b</string></dict>");
    expectRefused(readPlist(std::string_view(truncated).substr(0, truncated.size() / 2)), "");
    expectRefused(readPlist(std::string_view("<plist><dict")), "unclosed token");
    expectRefused(readPlist("<!DOCTYPE x [ [ ]> <array><array> ] >" + xmlDocument("<true/>")), "DOCTYPE");
}

TEST(PlistXml, MarkupInsideCommentsIsNotRead)
{
    auto result = readPlist(xmlDocument("<array><!-- <array><array> --></array>"));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, PlistValue(PlistArray {}));
}

TEST(PlistXml, RefusesDeepNesting)
{
    // Deep enough to overflow the stack of any reader or destructor that recurses.
    std::string deep = "<plist>";
    for (int i = 0; i < 200'000; ++i)
        deep += "<array>";
    for (int i = 0; i < 200'000; ++i)
        deep += "</array>";
    deep += "</plist>";
    expectRefused(readPlist(deep), "nested deeper than 512");

    // The root is level 1: 511 arrays around a leaf are 512 levels.
    auto nested = [](int arrays) {
        std::string text = "<plist>";
        for (int i = 0; i < arrays; ++i)
            text += "<array>";
        text += "<true/>";
        for (int i = 0; i < arrays; ++i)
            text += "</array>";
        return text + "</plist>";
    };
    EXPECT_TRUE(readPlist(nested(511)));
    expectRefused(readPlist(nested(512)), "nested deeper than 512");
}

TEST(PlistXml, HonoursSizeAndElementLimits)
{
    std::string body = "<array>";
    for (int i = 0; i < 100; ++i)
        body += "<true/>";
    body += "</array>";
    auto document = xmlDocument(body);
    expectRefused(readPlist(document, PlistReadLimits { .maxNodes = 50 }), "more than 50");
    expectRefused(readPlist(document, PlistReadLimits { .maxBytes = 100 }), "larger than 100 bytes");
    EXPECT_TRUE(readPlist(document));
}

TEST(PlistXml, WritesThePlatformLayout)
{
    PlistValue value(PlistDictionary { { "name", "Tom & <Jerry>" }, { "members", PlistArray {} },
        { "isNumber", true }, { "count", 3 }, { "ratio", 1.5 }, { "none", PlistDictionary {} } });
    EXPECT_EQ(writeXmlPlist(value),
        xmlDocument("<dict>\n"
                    "\t<key>name</key>\n\t<string>Tom &amp; &lt;Jerry&gt;</string>\n"
                    "\t<key>members</key>\n\t<array/>\n"
                    "\t<key>isNumber</key>\n\t<true/>\n"
                    "\t<key>count</key>\n\t<integer>3</integer>\n"
                    "\t<key>ratio</key>\n\t<real>1.5</real>\n"
                    "\t<key>none</key>\n\t<dict/>\n"
                    "</dict>"));
}

TEST(PlistXml, RoundTripsEveryType)
{
    PlistData data;
    for (int i = 0; i < 200; ++i)
        data.push_back(uint8_t(i * 7));
    PlistValue value(PlistArray { "é ü ✓ 😀", int64_t(-42), PlistValue::unsignedInteger(UINT64_MAX), 0.1, -2.5e300,
        false, data, PlistData {}, PlistDate { 340000000 }, PlistDate { -1e8 },
        PlistDictionary { { "nested", PlistArray { PlistArray { "deep" } } } } });
    auto result = readPlist(writeXmlPlist(value));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, value);
}

TEST(PlistXml, UidsAreWrittenAsUidDictionaries)
{
    auto result = readPlist(writeXmlPlist(PlistValue(PlistUid { 12 })));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, PlistValue(PlistDictionary { { "CF$UID", 12 } }));
}

TEST(PlistReading, DictionaryReadersRefuseOtherRoots)
{
    auto array = xmlDocument("<array/>");
    auto result = readPlistDictionary(std::span(reinterpret_cast<const uint8_t*>(array.data()), array.size()));
    expectRefused(result, "not a dictionary");
}

TEST(BinaryPlist, ReadsEveryType)
{
    BinaryPlistBuilder builder;
    auto root = builder.reserve();
    std::vector<size_t> keys, values;
    auto add = [&](std::string_view key, size_t value) {
        keys.push_back(builder.string(key));
        values.push_back(value);
    };
    add("ascii", builder.string("hello"));
    add("utf16", builder.utf16(u"caf\u00e9 \U0001F600"));
    add("lone", builder.utf16(std::u16string(1, char16_t(0xD800)) + u"x"));
    add("negative", builder.integer(-3));
    add("byte", builder.raw({ 0x10, 0xFF }));
    add("short", builder.raw({ 0x11, 0x01, 0x00 }));
    add("big", builder.raw({ 0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF }));
    add("real", builder.raw({ 0x23, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0 }));
    add("float", builder.raw({ 0x22, 0x3F, 0xC0, 0, 0 }));
    add("date", builder.raw({ 0x33, 0x41, 0xB4, 0x43, 0xFD, 0, 0, 0, 0 }));
    add("data", builder.raw({ 0x42, 0xDE, 0xAD }));
    add("yes", builder.boolean(true));
    add("uid", builder.uid(0x1234, 2));
    add("set", builder.raw({ 0xC1, 0x01 }));
    std::string longText(40, 'x');
    add("long", builder.string(longText));
    builder.fill(root, builder.dictionaryBytes(keys, values));

    auto result = readBytes(builder.build(root));
    ASSERT_TRUE(result) << result.reason();
    auto& value = *result;
    EXPECT_EQ(value.asDictionary()->entryAt(0).first, "ascii");
    EXPECT_EQ(value.find("ascii")->stringValue(), "hello");
    EXPECT_EQ(value.find("utf16")->stringValue(), "café 😀");
    EXPECT_EQ(value.find("lone")->stringValue(), "\xEF\xBF\xBDx");
    EXPECT_EQ(value.find("negative")->asInteger(), -3);
    EXPECT_EQ(value.find("byte")->asInteger(), 255);
    EXPECT_EQ(value.find("short")->asInteger(), 256);
    EXPECT_EQ(value.find("big")->asUnsignedInteger(), UINT64_MAX);
    EXPECT_EQ(value.find("real")->asReal(), 1.5);
    EXPECT_EQ(value.find("float")->asReal(), 1.5);
    EXPECT_EQ(value.find("date")->asDate()->secondsSince2001, 340000000.0);
    EXPECT_EQ(*value.find("data")->asData(), (PlistData { 0xDE, 0xAD }));
    EXPECT_EQ(value.find("yes")->asBoolean(), true);
    EXPECT_EQ(value.find("uid")->asUid()->value, 0x1234u);
    EXPECT_EQ(*value.find("set"), PlistValue(PlistArray { "hello" }));
    EXPECT_EQ(value.find("long")->stringValue(), longText);
}

TEST(BinaryPlist, SharedReferencesAreDecodedOnce)
{
    BinaryPlistBuilder builder;
    auto member = builder.string("+39 333 1234567");
    auto array = builder.array(std::vector<size_t>(1000, member));
    auto result = readBytes(builder.build(array, 2));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(result->asArray()->size(), 1000u);
}

// The hostile shapes below are the ones that crash or exhaust libplist 2.2.

TEST(BinaryPlist, RefusesExponentialFanOut)
{
    // Each array references the next one four times: 4^14 values from 126 bytes.
    BinaryPlistBuilder builder;
    const size_t levels = 14;
    for (size_t i = 0; i < levels; ++i)
        builder.array({ i + 1, i + 1, i + 1, i + 1 });
    builder.boolean(true);
    auto bytes = builder.build(0);
    EXPECT_LE(bytes.size(), 128u);
    expectRefused(readBytes(bytes), "expands to more than");
}

TEST(BinaryPlist, RefusesDeepNesting)
{
    BinaryPlistBuilder builder(4);
    const size_t levels = 100'000;
    for (size_t i = 0; i < levels; ++i)
        builder.array({ i + 1 });
    builder.boolean(true);
    expectRefused(readBytes(builder.build(0)), "nested deeper than 512");
}

TEST(BinaryPlist, DepthCountsThroughSharedObjects)
{
    // A chain first reached shallowly must still count its full height when
    // it is reached again from deep inside.
    BinaryPlistBuilder builder(2);
    const size_t chain = 300;
    auto root = builder.reserve();
    std::vector<size_t> links;
    for (size_t i = 0; i < chain; ++i)
        links.push_back(builder.reserve());
    auto leaf = builder.boolean(true);
    for (size_t i = 0; i < chain; ++i)
        builder.fill(links[i], builder.arrayBytes({ i + 1 < chain ? links[i + 1] : leaf }));
    // The chain's middle is met first near the top, then again 150 levels down.
    builder.fill(root, builder.arrayBytes({ links[chain / 2], links[0] }));
    auto bytes = builder.build(root);
    EXPECT_TRUE(readBytes(bytes));
    expectRefused(readBytes(bytes, PlistReadLimits { .maxDepth = 200 }), "nested deeper than 200");
}

TEST(BinaryPlist, RefusesCycles)
{
    BinaryPlistBuilder self;
    self.array({ 0 });
    expectRefused(readBytes(self.build(0)), "cycle");

    BinaryPlistBuilder pair;
    pair.array({ 1 });
    pair.array({ 0 });
    expectRefused(readBytes(pair.build(0)), "cycle");

    BinaryPlistBuilder throughDictionary;
    auto key = throughDictionary.string("k");
    throughDictionary.dictionary({ key }, { 2 });
    throughDictionary.array({ 1 });
    expectRefused(readBytes(throughDictionary.build(1)), "cycle");
}

TEST(BinaryPlist, RefusesBrokenStructure)
{
    BinaryPlistBuilder good;
    auto text = good.string("abc");
    auto top = good.array({ text });
    auto bytes = good.build(top);
    ASSERT_TRUE(readBytes(bytes));

    auto withTrailer = [&](size_t at, uint8_t value) {
        auto copy = bytes;
        copy[copy.size() - 32 + at] = value;
        return copy;
    };
    expectRefused(readBytes(std::vector<uint8_t>(bytes.begin(), bytes.end() - 5)), "");
    expectRefused(readBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20)), "too short");
    expectRefused(readBytes(withTrailer(7, 0)), "reference size 0");
    expectRefused(readBytes(withTrailer(6, 9)), "offset size 9");
    expectRefused(readBytes(withTrailer(15, 0)), "no objects");
    expectRefused(readBytes(withTrailer(15, 200)), "offset table too short");
    expectRefused(readBytes(withTrailer(23, 7)), "top object 7");
    expectRefused(readBytes(withTrailer(31, 250)), "offset table outside");
    expectRefused(readBytes(withTrailer(31, 2)), "offset table outside");

    auto badOffset = bytes;
    badOffset[bytes.size() - 32 - 2] = 0xF0; // first object's offset
    expectRefused(readBytes(badOffset), "outside the object area");

    auto badVersion = bytes;
    badVersion[7] = '1';
    expectRefused(readBytes(badVersion), "unsupported header");
}

TEST(BinaryPlist, RefusesBadReferencesAndLengths)
{
    BinaryPlistBuilder outOfRange;
    outOfRange.array({ 5 });
    expectRefused(readBytes(outOfRange.build(0)), "reference 5 out of range");

    BinaryPlistBuilder hugeCount;
    hugeCount.raw(BinaryPlistBuilder::header(0xA0, uint64_t(1) << 60));
    expectRefused(readBytes(hugeCount.build(0)), "run past the object area");

    BinaryPlistBuilder hugeString;
    hugeString.raw(BinaryPlistBuilder::header(0x60, uint64_t(1) << 62));
    expectRefused(readBytes(hugeString.build(0)), "runs past the object area");

    BinaryPlistBuilder hugeDictionary;
    hugeDictionary.raw(BinaryPlistBuilder::header(0xD0, ~uint64_t(0) / 2));
    expectRefused(readBytes(hugeDictionary.build(0)), "run past the object area");

    BinaryPlistBuilder numberKey;
    auto key = numberKey.integer(1);
    numberKey.dictionary({ key }, { key });
    expectRefused(readBytes(numberKey.build(1)), "not a string");

    BinaryPlistBuilder wideUid;
    wideUid.uid(uint64_t(1) << 40, 8);
    expectRefused(readBytes(wideUid.build(0)), "UID");

    BinaryPlistBuilder unknownMarker;
    unknownMarker.raw({ 0x70 });
    expectRefused(readBytes(unknownMarker.build(0)), "unsupported marker");

    BinaryPlistBuilder truncatedInteger;
    truncatedInteger.raw({ 0x13, 0x01 });
    expectRefused(readBytes(truncatedInteger.build(0)), "truncated integer");
}

TEST(BinaryPlist, RepeatedKeyKeepsFirstPlaceAndLastValue)
{
    BinaryPlistBuilder builder;
    auto a = builder.string("a");
    auto b = builder.string("b");
    auto one = builder.integer(1);
    auto two = builder.integer(2);
    auto top = builder.dictionary({ a, b, a }, { one, two, two });
    auto result = readBytes(builder.build(top));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(result->asDictionary()->keys(), (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(result->find("a")->asInteger(), 2);
}

TEST(BinaryPlist, WriterRoundTripsEveryType)
{
    PlistData data(300, 0xAB);
    PlistArray many;
    for (int i = 0; i < 400; ++i)
        many.push_back("entry " + std::to_string(i)); // more objects than one-byte references reach
    PlistValue value(PlistDictionary { { "ascii", "hello" }, { "unicode", "Zoë 😀" }, { "broken", "\xFF\xC3" },
        { "small", 200 }, { "medium", 70000 }, { "negative", int64_t(-7) }, { "huge", PlistValue::unsignedInteger(UINT64_MAX) },
        { "real", -0.25 }, { "yes", true }, { "no", false }, { "date", PlistDate { 1.5 } }, { "data", data },
        { "uid", PlistUid { 300 } }, { "empty", PlistDictionary {} }, { "many", many } });
    auto result = readBinaryPlist(writeBinaryPlist(value));
    ASSERT_TRUE(result) << result.reason();
    // Invalid UTF-8 is stored as replacement characters rather than dropped.
    value.mutableDictionary()->set("broken", "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(*result, value);
    EXPECT_EQ(result->asDictionary()->keys(), value.asDictionary()->keys());
}
