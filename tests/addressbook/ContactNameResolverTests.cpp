#include "AddressBookTestSupport.h"

#include <addressbook/ABLabels.h>
#include <addressbook/ContactNameResolver.h>

using namespace addressbook;
using namespace addressbook_test;

namespace {

class ContactNameResolving : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createAddressBookDatabase(m_path)); }

    void add(std::optional<std::string> first, std::optional<std::string> last, std::vector<std::string> phones, std::vector<std::string> emails = {})
    {
        PersonData person;
        person.first = std::move(first);
        person.last = std::move(last);
        for (auto& phone : phones)
            person.phones.push_back(labeled(kABPersonPhoneMobileLabel, phone));
        for (auto& email : emails)
            person.emails.push_back(labeled(kABHomeLabel, email));
        ASSERT_TRUE(AddressBookWriter::open(m_path)->addPerson(person));
    }

    testsupport::TemporaryFolder m_folder { "plv-addressbook" };
    std::filesystem::path m_path { m_folder.file("AddressBook.sqlitedb") };
};

TEST_F(ContactNameResolving, FindsTheOwnerOfANumberHoweverItIsWritten)
{
    add("Anna", "Rossi", { "347 123 4567", "06 1234 5678" }, { "Anna.Rossi@example.it" });
    add(std::nullopt, "Prosper", { "+39 02 8765 4321" });
    ContactNameResolver resolver(m_path);
    EXPECT_EQ(resolver.displayNameForAddress("+393471234567"), "Anna Rossi");
    EXPECT_EQ(resolver.displayNameForAddress("0039 347 123 4567"), "Anna Rossi");
    EXPECT_EQ(resolver.displayNameForAddress("+390612345678"), "Anna Rossi");
    EXPECT_EQ(resolver.displayNameForAddress("anna.rossi@EXAMPLE.it"), "Anna Rossi");
    EXPECT_EQ(resolver.displayNameForAddress("0287654321"), "Prosper");
    EXPECT_EQ(resolver.displayNameForAddress("+1 347 123 4567"), std::nullopt);
    EXPECT_EQ(resolver.displayNameForAddress("347 123 4568"), std::nullopt);
    EXPECT_EQ(resolver.displayNameForAddress("rossi@example.it"), std::nullopt);
}

TEST_F(ContactNameResolving, NamelessOwnersAndNonNumbersGiveNoName)
{
    add(std::nullopt, std::nullopt, { "339 000 1122" });
    add("Servizio", std::nullopt, { "TIM", "n/d" });
    ContactNameResolver resolver(m_path);
    EXPECT_EQ(resolver.displayNameForAddress("+393390001122"), std::nullopt);
    EXPECT_EQ(resolver.displayNameForAddress("TIM"), std::nullopt) << "a sender name is not matched as a number";
    EXPECT_EQ(resolver.displayNameForAddress("n/d"), std::nullopt);
    EXPECT_EQ(resolver.displayNameForAddress(""), std::nullopt);
}

TEST_F(ContactNameResolving, SharedNumberBelongsToTheFirstNamedOwner)
{
    add(std::nullopt, std::nullopt, { "06 1234 5678" });
    add("Anna", "Rossi", { "06 1234 5678" });
    add("Paolo", "Rossi", { "0612345678" });
    ContactNameResolver resolver(m_path);
    EXPECT_EQ(resolver.displayNameForAddress("+39 06 1234 5678"), "Anna Rossi");
}

TEST_F(ContactNameResolving, SeesContactsAddedWhileRunning)
{
    ContactNameResolver resolver(m_path);
    EXPECT_EQ(resolver.displayNameForAddress("+393471234567"), std::nullopt);
    add("Anna", "Rossi", { "347 123 4567" });
    EXPECT_EQ(resolver.displayNameForAddress("+393471234567"), "Anna Rossi");
    add("Lia", std::nullopt, { "333 1234567" });
    EXPECT_EQ(resolver.displayNameForAddress("3331234567"), "Lia");
}

TEST(ContactNameResolverFile, MissingDatabaseNamesNobodyUntilItAppears)
{
    testsupport::TemporaryFolder folder { "plv-addressbook" };
    auto path = folder.file("AddressBook.sqlitedb");
    ContactNameResolver resolver(path);
    EXPECT_EQ(resolver.displayNameForAddress("+393471234567"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(path));

    ASSERT_TRUE(createAddressBookDatabase(path));
    PersonData anna;
    anna.first = "Anna";
    anna.phones = { labeled(kABPersonPhoneMobileLabel, "347 123 4567") };
    ASSERT_TRUE(AddressBookWriter::open(path)->addPerson(anna));
    EXPECT_EQ(resolver.displayNameForAddress("+393471234567"), "Anna");

    std::filesystem::remove(path);
    EXPECT_EQ(resolver.displayNameForAddress("+393471234567"), std::nullopt) << "a deleted book names nobody";
}

} // namespace
