#include <foundation/Colour.h>
#include <foundation/Strings.h>
#include <foundation/Uuid.h>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace foundation;

namespace {

TEST(Strings, Utf16LengthCountsAsTheCounterDoes)
{
    EXPECT_EQ(utf16Length(""), 0u);
    EXPECT_EQ(utf16Length("Ciao, a domani"), 14u);
    EXPECT_EQ(utf16Length("città perché"), 12u) << "accented letters are one unit each";
    EXPECT_EQ(utf16Length("e\u0301"), 2u) << "a combining accent is a unit of its own";
    EXPECT_EQ(utf16Length("😀"), 2u) << "outside the BMP: a surrogate pair";
    EXPECT_EQ(utf16Length("ok 👍🏽"), 7u);
    EXPECT_EQ(utf16Length("🇮🇹"), 4u);
    EXPECT_EQ(utf16Length("שלום"), 4u);
    EXPECT_EQ(utf16Length("مرحبا بك"), 8u);
    EXPECT_EQ(utf16Length("中文"), 2u);
}

TEST(Strings, Utf16LengthOfInvalidUtf8CountsReplacements)
{
    EXPECT_EQ(utf16Length("\xff"), 1u);
    EXPECT_EQ(utf16Length("a\xc3"), 2u) << "truncated two-byte sequence at the end";
    EXPECT_EQ(utf16Length("\xe2\x82"), 1u) << "truncated three-byte sequence";
    EXPECT_EQ(utf16Length("\xed\xa0\x80"), 3u) << "an encoded surrogate is not a character";
    EXPECT_EQ(utf16Length(std::string("a\0b", 3)), 3u);
    std::string junk;
    for (int i = 0; i < 256; ++i)
        junk.push_back(static_cast<char>(i));
    EXPECT_GT(utf16Length(junk), 0u);
}

TEST(Strings, LowercaseUsesUnicodeRules)
{
    EXPECT_EQ(lowercase("ÀÉÎ ÕÜ"), "àéî õü");
    EXPECT_EQ(lowercase("ΣΊΣΥΦΟΣ"), "σίσυφος") << "final sigma";
    EXPECT_EQ(lowercase("iMessage"), "imessage");
    EXPECT_EQ(lowercase("Straße"), "straße");
    EXPECT_EQ(lowercase("\xff"), "\xef\xbf\xbd") << "invalid UTF-8 reads as U+FFFD";
}

TEST(Strings, CaseInsensitiveContainmentFoldsFully)
{
    EXPECT_TRUE(containsIgnoringCase("Straße 5", "STRASSE"));
    EXPECT_TRUE(containsIgnoringCase("STRASSE", "straße"));
    EXPECT_TRUE(containsIgnoringCase("Anna Rossi", "ros"));
    EXPECT_TRUE(containsIgnoringCase("ROSSANA", "ros"));
    EXPECT_TRUE(containsIgnoringCase("Prosper", "ROS"));
    EXPECT_TRUE(containsIgnoringCase("Ünal Çelik", "çEL"));
    EXPECT_TRUE(containsIgnoringCase("Jose\u0301 Garci\u0301a", "JOSÉ")) << "composed and decomposed accents match";
    EXPECT_FALSE(containsIgnoringCase("Anna", "anne"));
    EXPECT_FALSE(containsIgnoringCase("Anna", "")) << "an empty needle is never found";
    EXPECT_FALSE(containsIgnoringCase("", "a"));
}

TEST(Strings, EqualityIgnoringCase)
{
    EXPECT_TRUE(equalsIgnoringCase("iMessage", "IMESSAGE"));
    EXPECT_TRUE(equalsIgnoringCase("SMS", "sms"));
    EXPECT_TRUE(equalsIgnoringCase("MASSE", "Maße"));
    EXPECT_FALSE(equalsIgnoringCase("sms", "smss"));
    EXPECT_FALSE(equalsIgnoringCase("email", "e-mail"));
}

TEST(Strings, TrimmedDropsOnlyTheAsciiBlanksAround)
{
    EXPECT_EQ(trimmed(" \t+39 333\r\n"), "+39 333");
    EXPECT_EQ(trimmed("a  b"), "a  b");
    EXPECT_EQ(trimmed(" \t\r\n"), "");
    EXPECT_EQ(trimmed(""), "");
    // A no-break space is text, not a blank.
    EXPECT_EQ(trimmed("\xC2\xA0x "), "\xC2\xA0x");
}

TEST(Strings, FloatValueReadsTheLeadingNumber)
{
    EXPECT_EQ(floatValue("0.5"), 0.5f);
    EXPECT_EQ(floatValue("0.95"), 0.95f);
    EXPECT_EQ(floatValue("  1.5xyz"), 1.5f);
    EXPECT_EQ(floatValue("-1"), -1.0f);
    EXPECT_EQ(floatValue("+.25"), 0.25f);
    EXPECT_EQ(floatValue("1e3"), 1000.0f);
    EXPECT_EQ(floatValue("1.100000"), 1.1f);
    EXPECT_EQ(floatValue("7."), 7.0f);
    EXPECT_EQ(floatValue("abc"), 0.0f);
    EXPECT_EQ(floatValue(""), 0.0f);
    EXPECT_EQ(floatValue("-"), 0.0f);
    EXPECT_EQ(floatValue("."), 0.0f);
    EXPECT_EQ(floatValue("0x10"), 0.0f) << "no hexadecimal";
    EXPECT_EQ(floatValue("inf"), 0.0f);
    EXPECT_EQ(floatValue("nan"), 0.0f);
    EXPECT_TRUE(std::isinf(floatValue("1e999")));
    EXPECT_TRUE(std::isinf(floatValue("4e38"))) << "beyond float range";
    EXPECT_EQ(floatValue("1e-999"), 0.0f);
}

TEST(Uuid, HasThePlatformShapeAndIsFresh)
{
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        auto uuid = uuidString();
        ASSERT_EQ(uuid.size(), 36u);
        ASSERT_TRUE(isUuidString(uuid)) << uuid;
        for (char c : uuid)
            ASSERT_TRUE(c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << "upper-case hex only: " << uuid;
        EXPECT_EQ(uuid[14], '4') << "version 4";
        EXPECT_NE(std::string("89AB").find(uuid[19]), std::string::npos) << "RFC 4122 variant";
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 1000u);
    EXPECT_FALSE(isUuidString("6F9619FF-8B86-D011-B42D-00C04FC964F"));
    EXPECT_FALSE(isUuidString("6F9619FF8B86-D011-B42D-00C04FC964FFF"));
    EXPECT_FALSE(isUuidString("6F9619FF-8B86-D011-B42D-00C04FC964FG"));
}

TEST(Colour, ParsesPresetsAndSliderValues)
{
    EXPECT_EQ(colourFromString("1 0 0"), (RgbaColour { 1, 0, 0, 1 }));
    EXPECT_EQ(colourFromString("0.500000 0.250000 1.000000"), (RgbaColour { 0.5, 0.25, 1, 1 }));
    auto preset = colourFromString("1 1 0.3");
    ASSERT_TRUE(preset);
    EXPECT_EQ(preset->blue, static_cast<double>(0.3f)) << "read as the platform's float";
    EXPECT_EQ(colourFromString("0.5 0.5 0.5 extra"), (RgbaColour { 0.5, 0.5, 0.5, 1 }));
}

TEST(Colour, OddStrings)
{
    EXPECT_EQ(colourFromString("1 1"), std::nullopt);
    EXPECT_EQ(colourFromString(""), std::nullopt);
    EXPECT_EQ(colourFromString("a b c"), (RgbaColour { 0, 0, 0, 1 })) << "non-numbers read 0";
    EXPECT_EQ(colourFromString("1  0 0"), (RgbaColour { 1, 0, 0, 1 })) << "a double blank leaves an empty green part";
    EXPECT_EQ(colourFromString("0.2  0.4 0.6"), (RgbaColour { static_cast<double>(0.2f), 0, static_cast<double>(0.4f), 1 }));
    EXPECT_EQ(colourFromString("-1 -1 -1"), (RgbaColour { 0, 0, 0, 1 })) << "out of range comes to the nearest bound";
    EXPECT_EQ(colourFromString("2 1e999 0.5"), (RgbaColour { 1, 1, 0.5, 1 }));
    EXPECT_EQ(splitAtBlanks("1  0 0"), (std::vector<std::string> { "1", "", "0", "0" }));
    EXPECT_EQ(splitAtBlanks(""), std::vector<std::string> { "" });
}

TEST(Colour, SliderValuesAreWrittenWithSixDecimals)
{
    EXPECT_EQ(colourString(0.5, 0.25, 1), "0.500000 0.250000 1.000000");
    EXPECT_EQ(colourString(0, 0, 0), "0.000000 0.000000 0.000000");
    EXPECT_EQ(colourString(0.95f, 1.0f / 3, 0.1234567), "0.950000 0.333333 0.123457");
    auto roundTrip = colourFromString(colourString(0.2, 0.4, 0.6));
    ASSERT_TRUE(roundTrip);
    EXPECT_NEAR(roundTrip->green, 0.4, 1e-6);
}

} // namespace
