#include <addressbook/PhoneNumber.h>

#include <gtest/gtest.h>

using namespace addressbook;

namespace {

TEST(PhoneNumber, OneNumberWrittenManyWays)
{
    const char* ways[] = {
        "+39 347 123 4567",
        "+393471234567",
        "0039 347 1234567",
        "347 123 4567",
        "347-123-4567",
        "(347) 123.45.67",
        "347/1234567",
        " 3471234567 ",
        "347\u00a0123\u00a04567",
        "347\u2009123\u20094567",
        "+39 347 1234567;ext=12",
        "+39 347 1234567,,9",
    };
    for (const char* way : ways) {
        EXPECT_EQ(canonicalPhoneNumber(way), "393471234567") << way;
        EXPECT_TRUE(isSamePhoneNumber(way, "+39 347 123 4567")) << way;
    }
}

TEST(PhoneNumber, LandlinesKeepTheirLeadingZeroAbroad)
{
    EXPECT_TRUE(isSamePhoneNumber("06 1234 5678", "+39 06 12345678"));
    EXPECT_TRUE(isSamePhoneNumber("0612345678", "00390612345678"));
    EXPECT_FALSE(isSamePhoneNumber("06 1234 5678", "+39 6 12345678"));
}

TEST(PhoneNumber, DifferentNumbersStayApart)
{
    EXPECT_FALSE(isSamePhoneNumber("+1 347 123 4567", "347 123 4567")) << "another country";
    EXPECT_FALSE(isSamePhoneNumber("393471234567", "+393471234567")) << "a country code without + reads as a national number";
    EXPECT_FALSE(isSamePhoneNumber("347 123 4567", "347 123 4568"));
    EXPECT_FALSE(isSamePhoneNumber("347 123 4567", "347 123 456"));
    EXPECT_TRUE(isSamePhoneNumber("+44 20 7946 0000", "0044 20 7946 0000"));
    EXPECT_EQ(canonicalPhoneNumber("555 1212", "1"), "15551212") << "the default country is a parameter";
}

TEST(PhoneNumber, TextsThatAreNoNumberMatchNothing)
{
    for (const char* text : { "", "   ", "+", "12", "TIM", "Vodafone1", "1-800-FLOWERS", "++39 347 1234567", "+39 +347", "347 12é 4567", "347\xc2" }) {
        EXPECT_EQ(canonicalPhoneNumber(text), std::nullopt) << text;
        EXPECT_FALSE(isSamePhoneNumber(text, text)) << text << ": not even itself";
    }
    EXPECT_EQ(canonicalPhoneNumber("112"), "39112") << "short service numbers are numbers";
}

TEST(PhoneNumber, EmailAddressesIgnoreCaseAndBlanks)
{
    EXPECT_TRUE(looksLikeEmailAddress("anna@example.it"));
    EXPECT_FALSE(looksLikeEmailAddress("+39 347"));
    EXPECT_EQ(canonicalEmailAddress("  Anna.Rossi@Example.IT\n"), "anna.rossi@example.it");
    EXPECT_EQ(canonicalEmailAddress("Zoë@example.it"), "zoë@example.it");
    EXPECT_EQ(canonicalEmailAddress(" \t"), std::nullopt);
}

} // namespace
