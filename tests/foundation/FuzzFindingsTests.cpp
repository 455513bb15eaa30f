// Inputs the fuzz programs found to break a reader or a writer, as plain
// tests: each one failed before its fix. Their raw inputs are kept in
// fuzz/corpus/ too, so the fuzz programs replay them as well.
#include <foundation/BinaryPlistReader.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>

#include <gtest/gtest.h>

using namespace foundation;

namespace {

TEST(FuzzFindings, AStringHoldingNulSurvivesTheXmlWriterAndReader)
{
    // A binary list's UTF-16 text may hold U+0000; the settings application
    // saving such a favourites file as XML must be able to read it again.
    PlistValue value(PlistDictionary { { std::string("n\0ul", 4), std::string("a\0b\x01", 4) }, { "plain", "text" } });
    auto result = readPlist(writeXmlPlist(value));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, value);
}

TEST(FuzzFindings, NulFromABinaryListReadsBackFromTheXmlWritten)
{
    // bplist00, one UTF-16 string of two characters: U+0000 and "x".
    const uint8_t list[] = { 'b', 'p', 'l', 'i', 's', 't', '0', '0', 0x62, 0x00, 0x00, 0x00, 'x',
        0x08, // offset table: object 0 at 8
        0, 0, 0, 0, 0, 0, 1, 1, // offset size 1, reference size 1
        0, 0, 0, 0, 0, 0, 0, 1, // one object
        0, 0, 0, 0, 0, 0, 0, 0, // top object 0
        0, 0, 0, 0, 0, 0, 0, 13 }; // offset table at 13
    auto binary = readBinaryPlist(list);
    ASSERT_TRUE(binary) << binary.reason();
    EXPECT_EQ(binary->stringValue(), std::string("\0x", 2));
    auto again = readPlist(writeXmlPlist(*binary));
    ASSERT_TRUE(again) << again.reason();
    EXPECT_EQ(*again, *binary);
}

TEST(FuzzFindings, ADocumentWithNulOutsideAStringStaysUnreadable)
{
    // A file padded with zeros (a write cut short) is not a property list.
    std::string padded = writeXmlPlist(PlistValue("ok"));
    padded.append(16, '\0');
    EXPECT_FALSE(readPlist(padded));
}

TEST(FuzzFindings, NoncharactersXmlCannotHoldAreWrittenAsReplacementCharacters)
{
    // U+FFFE and U+FFFF from a binary list's UTF-16 text: the XML written
    // must read again, with U+FFFD in their place.
    PlistValue value(PlistDictionary { { "k\xEF\xBF\xBF", "a\xEF\xBF\xBE"
                                                          "b\xEF\xBF\xBD" } });
    auto result = readPlist(writeXmlPlist(value));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, PlistValue(PlistDictionary { { "k\xEF\xBF\xBD", "a\xEF\xBF\xBD"
                                                                             "b\xEF\xBF\xBD" } }));
}

TEST(FuzzFindings, ControlsBesideStandInNoncharactersReadBackFromTheXmlWritten)
{
    // bplist00, one UTF-16 string: U+0007, U+FDD7 and U+FDD9. The XML reader
    // carries control characters across the XML parser as U+FDD0 to U+FDEF,
    // so these noncharacters of the string's own once made the file
    // unreadable.
    const uint8_t list[] = { 'b', 'p', 'l', 'i', 's', 't', '0', '0', 0x63, 0x00, 0x07, 0xFD, 0xD7, 0xFD, 0xD9,
        0x08, // offset table: object 0 at 8
        0, 0, 0, 0, 0, 0, 1, 1, // offset size 1, reference size 1
        0, 0, 0, 0, 0, 0, 0, 1, // one object
        0, 0, 0, 0, 0, 0, 0, 0, // top object 0
        0, 0, 0, 0, 0, 0, 0, 15 }; // offset table at 15
    auto binary = readBinaryPlist(list);
    ASSERT_TRUE(binary) << binary.reason();
    EXPECT_EQ(binary->stringValue(), "\x07\xEF\xB7\x97\xEF\xB7\x99");
    auto again = readPlist(writeXmlPlist(PlistValue(PlistDictionary { { "\x01\xEF\xB7\x90", *binary } })));
    ASSERT_TRUE(again) << again.reason();
    EXPECT_EQ(*again, PlistValue(PlistDictionary { { "\x01\xEF\xB7\x90", *binary } }));
}

} // namespace
