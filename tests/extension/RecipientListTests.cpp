// The recipient list of Quick Compose on its own, without a window: built
// from a real Address Book database, real favourites and preferences files
// and a real keyed-archive groups file under a temporary device root.
#include <extension/RecipientFiles.h>
#include <extension/RecipientList.h>

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <addressbook/AddressBookClasses.h>
#include <addressbook/AddressBookWriter.h>
#include <foundation/KeyedArchive.h>
#include <foundation/PlistWriter.h>
#include <foundation/RunLoop.h>
#include <foundation/SystemLog.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace parlivo;
using addressbook::PersonData;
using foundation::PlistArray;
using foundation::PlistDictionary;
using foundation::PlistValue;

PersonData person(std::optional<std::string> first, std::optional<std::string> last, std::vector<std::string> phones, std::vector<std::string> emails = {})
{
    PersonData data;
    data.first = std::move(first);
    data.last = std::move(last);
    for (auto& phone : phones)
        data.phones.push_back({ std::string("_$!<Mobile>!$_"), std::move(phone) });
    for (auto& email : emails)
        data.emails.push_back({ std::string("_$!<Work>!$_"), std::move(email) });
    return data;
}

PlistValue member(std::string contact, bool isNumber)
{
    return PlistDictionary { { "contact", PlistValue(std::move(contact)) }, { "isNumber", PlistValue(isNumber) } };
}

PlistValue group(std::string name, PlistArray members)
{
    return PlistDictionary { { "name", PlistValue(std::move(name)) }, { "members", PlistValue(std::move(members)) }, { "groupID", 7 } };
}

template <class Records>
std::vector<std::string> names(const Records& records)
{
    std::vector<std::string> result;
    for (const auto& record : records)
        result.push_back(std::string(record->name));
    return result;
}

template <class Records>
std::vector<std::string> numbers(const Records& records)
{
    std::vector<std::string> result;
    for (const auto& record : records)
        result.push_back(record->number);
    return result;
}

class RecipientListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        foundation::registerRunLoopClasses();
        addressbook::registerAddressBookClasses();
        foundation::SystemLog::shared().clear();
        kelvane::KelvaneLogger::resetForTesting();
        device.makeDirectory("/var/mobile/Library/PLV");
        kelvane::KelvaneLogger::setProjectName("PLV", true);
        device.makeDirectory("/var/mobile/Library/AddressBook");
        addressbook::createAddressBookDatabase(device.host(addressbook::AddressBookDevicePath));
    }
    void TearDown() override
    {
        kelvane::KelvaneLogger::resetForTesting();
        foundation::setDeviceRoot({});
    }

    void addPeople(const std::vector<PersonData>& people)
    {
        ASSERT_TRUE(addressbook::AddressBookWriter::open(device.host(addressbook::AddressBookDevicePath))->addPeople(people));
    }

    void writePlist(std::string_view devicePath, const PlistValue& root)
    {
        device.write(devicePath, foundation::writeXmlPlist(root));
    }

    void writeGroups(const PlistValue& root)
    {
        device.makeDirectory("/var/mobile/Library/Cellarine");
        ASSERT_TRUE(foundation::writeKeyedArchiveAtomically(device.host(kelvane::GroupsPath), root, foundation::PlistFormat::Binary));
    }

    void setEIC(std::string value) { writePlist(kelvane::PLVPreferencesPath, PlistDictionary { { "EIC", PlistValue(std::move(value)) } }); }

    RecipientList build() { return RecipientList::build(readRecipientSources()); }

    size_t consoleLinesContaining(std::string_view text)
    {
        auto lines = foundation::SystemLog::shared().lines();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
    }

    testsupport::TemporaryDevice device;
};

TEST_F(RecipientListTest, OneRecordPerNumberAndPerAddressOnlyWhenEICIsOne)
{
    addPeople({ person("Anna", "Rossi", { "+39 347 123 4567", "06 1234567" }, { "anna@example.it" }) });
    EXPECT_EQ(numbers(build().people()), (std::vector<std::string> { "+39 347 123 4567", "06 1234567" }));
    for (auto value : { "0", "yes", "11", "" }) {
        setEIC(value);
        EXPECT_EQ(build().size(), 2u) << value;
    }
    setEIC("1");
    auto list = build();
    EXPECT_EQ(numbers(list.people()), (std::vector<std::string> { "+39 347 123 4567", "06 1234567", "anna@example.it" }));
    EXPECT_EQ(names(list.people()), (std::vector<std::string>(3, "Anna Rossi")));
}

TEST_F(RecipientListTest, NamesInEveryCaseAndPeopleWithoutAddressesGiveNothing)
{
    setEIC("1");
    addPeople({
        person("Anna", "Rossi", { "1" }),
        person(std::nullopt, "Bianchi", { "2" }),
        person("Carla", std::nullopt, { "3" }),
        person(std::nullopt, std::nullopt, { "4" }),
        person("Senza", "Numeri", {}),
        person("Solo", "Posta", {}, { "solo@example.it" }),
        person("Vuoto", "Valore", { "", "5" }),
    });
    auto list = build();
    EXPECT_EQ(names(list.people()), (std::vector<std::string> { "Anna Rossi", "Bianchi", "Carla", "Solo Posta", "Unknown", "Vuoto Valore" }));
    EXPECT_EQ(numbers(list.people()), (std::vector<std::string> { "1", "2", "3", "solo@example.it", "4", "5" }));
}

TEST_F(RecipientListTest, RecordsKeepTheirNamesWhenTheListMovesToItsWindow)
{
    // Names this short would live inside a string object rather than in a
    // buffer of their own; the records must not point into the moved-from list.
    addPeople({ person("Bo", std::nullopt, { "1", "2" }) });
    writePlist(kelvane::FavoritesPath, PlistDictionary { { "3", "Al" } });
    auto first = std::make_unique<RecipientList>(build());
    RecipientList moved = std::move(*first);
    first.reset();
    EXPECT_EQ(names(moved.people()), (std::vector<std::string> { "Al", "Bo", "Bo" }));
    EXPECT_EQ(names(moved.filtered("bo")), (std::vector<std::string> { "Bo", "Bo" }));
}

TEST_F(RecipientListTest, FavouritesLeadInReverseOfTheOrderReadAndAreAlsoListedUnderTheirName)
{
    addPeople({ person("Zeno", "Alfa", { "+39 1" }), person("Anna", "Rossi", { "+39 2" }) });
    writePlist(kelvane::FavoritesPath, PlistDictionary { { "+39 2", "Rossi Anna" }, { "+39 9", "Bruno" }, { "+39 1", "Alfa Zeno" } });
    auto list = build();
    EXPECT_EQ(list.numberOfFavorites(), 3u);
    EXPECT_EQ(names(list.people()), (std::vector<std::string> { "Alfa Zeno", "Bruno", "Rossi Anna", "Anna Rossi", "Zeno Alfa" }));
    for (size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(list.people()[i]->isFavorite, i < 3) << i;
    EXPECT_EQ(consoleLinesContaining("caricati 3 preferiti"), 1u);
}

TEST_F(RecipientListTest, SortsByLowerCasedNameWithGroupsAmongPeople)
{
    addPeople({ person("bruno", std::nullopt, { "1" }), person("ALDO", std::nullopt, { "2" }), person("Carlo", std::nullopt, { "3" }), person("Élodie", std::nullopt, { "4" }) });
    writeGroups(PlistArray { group("Calcetto", { member("1", true), member("x@example.it", false) }), group("amici", {}) });
    auto list = build();
    EXPECT_EQ(names(list.people()), (std::vector<std::string> { "ALDO", "amici", "bruno", "Calcetto", "Carlo", "Élodie" }));
    const auto& calcetto = list.people()[3];
    ASSERT_TRUE(calcetto->group);
    EXPECT_EQ(calcetto->number, "Group");
    ASSERT_EQ(calcetto->group->members.size(), 2u);
    EXPECT_EQ(calcetto->group->members[1].find("contact")->stringValue(), "x@example.it");
    // The other product's own keys stay with the record.
    EXPECT_EQ(calcetto->group->fields.find("groupID")->asInteger(), 7);
    EXPECT_EQ(calcetto->group->fields.find("number")->stringValue(), "Group");
    // A group with no members is still offered; sending to it sends nothing.
    ASSERT_TRUE(list.people()[1]->group);
    EXPECT_TRUE(list.people()[1]->group->members.empty());
}

TEST_F(RecipientListTest, FilterMatchesAnywhereInAnyCaseInListOrderSharingTheRecords)
{
    addPeople({ person("Anna", "Rossi", { "1", "2" }), person("ROSSANA", std::nullopt, { "3" }), person("Prosper", std::nullopt, { "4" }),
        person("Bruno", "Verdi", { "5" }) });
    writePlist(kelvane::FavoritesPath, PlistDictionary { { "9", "Rosa" } });
    auto list = build();
    for (auto term : { "ros", "ROS", "rOs" })
        EXPECT_EQ(names(list.filtered(term)), (std::vector<std::string> { "Rosa", "Anna Rossi", "Anna Rossi", "Prosper", "ROSSANA" })) << term;
    auto matches = list.filtered("ros");
    EXPECT_EQ(matches[1], list.people()[1]);
    EXPECT_TRUE(matches[0]->isFavorite);
    EXPECT_FALSE(matches[1]->isFavorite);
    EXPECT_EQ(list.filtered("").size(), list.size());
    EXPECT_TRUE(list.filtered("347").empty());
    EXPECT_TRUE(list.filtered("anna rossi x").empty());
    EXPECT_EQ(names(list.filtered("a r")), (std::vector<std::string> { "Anna Rossi", "Anna Rossi" }));
    // A name is listed once however often it holds the text.
    EXPECT_EQ(list.filtered("s").size(), 5u);
}

TEST_F(RecipientListTest, FilterFoldsCaseBeyondASCII)
{
    addPeople({ person("Straße", std::nullopt, { "1" }), person("ÉLODIE", std::nullopt, { "2" }), person("😀 Smile", std::nullopt, { "3" }),
        person("שלום", "עולם", { "4" }), person("ΣΟΦΙΑ", std::nullopt, { "5" }) });
    auto list = build();
    EXPECT_EQ(names(list.filtered("STRASSE")), (std::vector<std::string> { "Straße" }));
    EXPECT_EQ(names(list.filtered("élo")), (std::vector<std::string> { "ÉLODIE" }));
    EXPECT_EQ(names(list.filtered("😀")), (std::vector<std::string> { "😀 Smile" }));
    EXPECT_EQ(names(list.filtered("עולם")), (std::vector<std::string> { "שלום עולם" }));
    EXPECT_EQ(names(list.filtered("σοφια")), (std::vector<std::string> { "ΣΟΦΙΑ" }));
    EXPECT_TRUE(list.filtered(std::string_view("a\0b", 3)).empty());
}

TEST_F(RecipientListTest, BadGroupsFilesLeaveTheSoundRecordsAndOneLineOnTheConsole)
{
    addPeople({ person("Anna", "Rossi", { "1" }) });
    PlistArray groups {
        group("Buono", { member("1", true) }),
        PlistDictionary { { "name", "Senza membri" } },
        group("Contatto numerico", { PlistDictionary { { "contact", 42 }, { "isNumber", true } } }),
        group("Senza flag", { PlistDictionary { { "contact", "1" } } }),
        PlistValue("not a group"),
        PlistDictionary { { "name", 5 }, { "members", PlistArray {} } },
    };
    writeGroups(groups);
    auto list = build();
    EXPECT_EQ(names(list.people()), (std::vector<std::string> { "Anna Rossi", "Buono" }));
    EXPECT_EQ(consoleLinesContaining("groups file"), 1u);

    for (std::string bytes : { std::string("bplist00garbage"), std::string("<plist><dict><key>$top</key><dict/></dict></plist>"), std::string(), std::string(64, '\xff') }) {
        foundation::SystemLog::shared().clear();
        device.write(kelvane::GroupsPath, bytes);
        EXPECT_EQ(names(build().people()), (std::vector<std::string> { "Anna Rossi" }));
        EXPECT_LE(foundation::SystemLog::shared().lines().size(), 2u); // the reader's reason and the favourites count
    }
    writeGroups(PlistDictionary { { "name", "root is no array" } });
    EXPECT_EQ(build().size(), 1u);
}

TEST_F(RecipientListTest, BadFavouritesFilesGiveNoFavouritesAndSaySoOnce)
{
    addPeople({ person("Anna", "Rossi", { "1" }) });
    writePlist(kelvane::FavoritesPath, PlistArray { PlistValue("+39 1"), PlistValue("Anna") });
    auto list = build();
    EXPECT_EQ(list.numberOfFavorites(), 0u);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(consoleLinesContaining("root is not a dictionary"), 1u);

    device.write(kelvane::FavoritesPath, "");
    EXPECT_EQ(build().numberOfFavorites(), 0u);
    writePlist(kelvane::FavoritesPath, PlistDictionary {});
    EXPECT_EQ(build().numberOfFavorites(), 0u);

    foundation::SystemLog::shared().clear();
    writePlist(kelvane::FavoritesPath, PlistDictionary { { "+39 1", "Anna" }, { "+39 2", 7 }, { "+39 3", PlistArray {} } });
    list = build();
    EXPECT_EQ(list.numberOfFavorites(), 1u);
    EXPECT_EQ(consoleLinesContaining("skipped 2 of 3"), 1u);
    EXPECT_EQ(consoleLinesContaining("caricati 1 preferiti"), 1u);
}

TEST_F(RecipientListTest, LargeBooksAndManyNumbersPerPerson)
{
    std::vector<PersonData> people;
    people.reserve(20'000);
    for (int i = 0; i < 20'000; ++i)
        people.push_back(person("Nome" + std::to_string(i), "Cognome", { std::to_string(i) }));
    std::vector<std::string> fifty;
    for (int i = 0; i < 50; ++i)
        fifty.push_back("+39 " + std::to_string(i));
    people.push_back(person("Molti", "Numeri", fifty));
    addPeople(people);
    auto list = build();
    EXPECT_EQ(list.size(), 20'050u);
    EXPECT_EQ(list.filtered("molti").size(), 50u);
    EXPECT_EQ(list.filtered("nome19999").size(), 1u);
}

TEST_F(RecipientListTest, NoAddressBookStillOffersFavouritesAndGroups)
{
    RecipientSources sources;
    sources.favorites = PlistArray { PlistDictionary { { "1", "Uno" } }, PlistDictionary { { "2", "Due" } } };
    sources.groups = PlistArray { group("Gruppo", {}) };
    auto list = RecipientList::build(sources);
    EXPECT_EQ(names(list.people()), (std::vector<std::string> { "Due", "Uno", "Gruppo" }));
    EXPECT_EQ(list.numberOfFavorites(), 2u);
}

} // namespace
