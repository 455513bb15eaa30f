#include "AddressBookTestSupport.h"

#include <addressbook/DemoContacts.h>
#include <addressbook/PhoneNumber.h>

#include <algorithm>
#include <map>
#include <set>

using namespace addressbook;
using namespace addressbook_test;

namespace {

std::string displayName(const PersonData& person)
{
    if (person.first && person.last)
        return *person.first + " " + *person.last;
    return person.first.value_or(person.last.value_or(""));
}

TEST(DemoContacts, SameSeedSamePeople)
{
    auto first = demoContacts(300, 7);
    EXPECT_EQ(first.size(), 300u);
    EXPECT_EQ(first, demoContacts(300, 7));
    EXPECT_NE(first, demoContacts(300, 8));
    auto shorter = demoContacts(120, 7);
    EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), first.begin())) << "a smaller count is a prefix";
    EXPECT_EQ(demoContacts(3, 7).size(), 3u);
    EXPECT_TRUE(demoContacts(0, 7).empty());
}

TEST(DemoContacts, CoverTheAwkwardCases)
{
    auto people = demoContacts(300, 1);
    std::set<std::string> names;
    size_t onlyFirst = 0, onlyLast = 0, nameless = 0, severalPhones = 0, withEmail = 0, withoutPhone = 0, accented = 0;
    for (const auto& person : people) {
        names.insert(displayName(person));
        onlyFirst += person.first && !person.last;
        onlyLast += !person.first && person.last;
        nameless += !person.first && !person.last;
        severalPhones += person.phones.size() > 1;
        withEmail += !person.emails.empty();
        withoutPhone += person.phones.empty();
        accented += std::ranges::any_of(displayName(person), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    for (auto expected : { "Anna Rossi", "ROSSANA", "Prosper", "Rossi", "Niccolò Dell'Acqua" })
        EXPECT_TRUE(names.contains(expected)) << expected;
    EXPECT_GE(onlyFirst, 3u);
    EXPECT_GE(onlyLast, 3u);
    EXPECT_GE(nameless, 2u);
    EXPECT_GE(severalPhones, 20u);
    EXPECT_GE(withEmail, 20u);
    EXPECT_GE(withoutPhone, 2u);
    EXPECT_GE(accented, 5u);
}

TEST(DemoContacts, EveryNumberIsAPhoneNumberAndOnlyTheSharedLineRepeats)
{
    auto people = demoContacts(2000, 42);
    std::map<std::string, int> owners;
    for (const auto& person : people) {
        for (const auto& phone : person.phones) {
            ASSERT_TRUE(phone.value && phone.label);
            auto canonical = canonicalPhoneNumber(*phone.value);
            ASSERT_TRUE(canonical) << *phone.value;
            ++owners[*canonical];
        }
        for (const auto& email : person.emails)
            EXPECT_TRUE(email.value && looksLikeEmailAddress(*email.value));
    }
    std::vector<std::string> repeated;
    for (auto& [number, count] : owners) {
        if (count > 1)
            repeated.push_back(number);
    }
    EXPECT_EQ(repeated, (std::vector<std::string> { "390612345678" }));
}

TEST(DemoContacts, SurviveTheRoundTripThroughTheDatabase)
{
    testsupport::TemporaryFolder folder { "plv-addressbook" };
    auto path = folder.file("var/mobile/Library/AddressBook/AddressBook.sqlitedb");
    ASSERT_TRUE(writeDemoAddressBook(path, 300, 5));
    auto expected = demoContacts(300, 5);
    auto people = ABAddressBookCopyArrayOfAllPeople(addressBookAtHostPath(path));
    ASSERT_EQ(people.size(), expected.size());
    for (size_t i = 0; i < people.size(); ++i) {
        auto& want = expected[i];
        auto& got = people[i];
        EXPECT_EQ(ABRecordCopyValue(got, kABPersonFirstNameProperty), want.first) << i;
        EXPECT_EQ(ABRecordCopyValue(got, kABPersonLastNameProperty), want.last) << i;
        EXPECT_EQ(ABRecordCopyValue(got, kABPersonMiddleNameProperty), want.middle) << i;
        EXPECT_EQ(ABRecordCopyValue(got, kABPersonOrganizationProperty), want.organization) << i;
        auto lines = [](const std::vector<LabeledValue>& values) {
            std::vector<std::string> result;
            for (auto& value : values)
                result.push_back(value.label.value_or("(nil)") + "=" + value.value.value_or("(nil)"));
            return result;
        };
        EXPECT_EQ(labeledValues(ABRecordCopyValue(got, kABPersonPhoneProperty)), lines(want.phones)) << i;
        EXPECT_EQ(labeledValues(ABRecordCopyValue(got, kABPersonEmailProperty)), lines(want.emails)) << i;
    }
}

} // namespace
