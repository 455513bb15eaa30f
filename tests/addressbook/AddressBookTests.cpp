#include "AddressBookTestSupport.h"

#include <addressbook/ABLabels.h>
#include <addressbook/AddressBookClasses.h>
#include <foundation/DevicePath.h>

using namespace addressbook;
using namespace addressbook_test;

namespace {

class AddressBook : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createAddressBookDatabase(m_path)); }

    int64_t add(PersonData person)
    {
        auto writer = AddressBookWriter::open(m_path);
        EXPECT_TRUE(writer);
        auto id = writer ? writer->addPerson(person) : std::nullopt;
        EXPECT_TRUE(id);
        return id.value_or(-1);
    }

    ABRecordArray people() { return ABAddressBookCopyArrayOfAllPeople(addressBookAtHostPath(m_path)); }

    testsupport::TemporaryFolder m_folder { "plv-addressbook" };
    std::filesystem::path m_path { m_folder.file("AddressBook.sqlitedb") };
};

PersonData named(std::optional<std::string> first, std::optional<std::string> last)
{
    PersonData person;
    person.first = std::move(first);
    person.last = std::move(last);
    return person;
}

TEST_F(AddressBook, ReadsEveryCaseOfNames)
{
    add(named("Anna", "Rossi"));
    add(named("ROSSANA", std::nullopt));
    add(named(std::nullopt, "Prosper"));
    add(named(std::nullopt, std::nullopt));
    auto organisation = named(std::nullopt, std::nullopt);
    organisation.organization = "Pizzeria Da Mario";
    add(organisation);
    auto middle = named("Maria", "Esposito");
    middle.middle = "Grazia";
    add(middle);
    add(named("Niccolò", "Dell'Acqua"));
    add(named("", "Vuoto"));

    auto all = people();
    ASSERT_EQ(all.size(), 8u);
    EXPECT_EQ(ABAddressBookGetPersonCount(addressBookAtHostPath(m_path)), 8);

    std::vector<std::string> firstAndLast;
    std::vector<std::string> composite;
    for (const auto& person : all) {
        firstAndLast.push_back(ABRecordCopyValue(person, kABPersonFirstNameProperty).value_or("-") + "|" + ABRecordCopyValue(person, kABPersonLastNameProperty).value_or("-"));
        composite.push_back(ABRecordCopyCompositeName(person).value_or("-"));
    }
    EXPECT_EQ(firstAndLast, (std::vector<std::string> { "Anna|Rossi", "ROSSANA|-", "-|Prosper", "-|-", "-|-", "Maria|Esposito", "Niccolò|Dell'Acqua", "-|Vuoto" }))
        << "an empty first name reads as no first name";
    EXPECT_EQ(composite, (std::vector<std::string> { "Anna Rossi", "ROSSANA", "Prosper", "-", "Pizzeria Da Mario", "Maria Grazia Esposito", "Niccolò Dell'Acqua", "Vuoto" }));
    EXPECT_EQ(ABRecordCopyValue(all[4], kABPersonOrganizationProperty), "Pizzeria Da Mario");
    EXPECT_EQ(ABRecordCopyValue(all[5], kABPersonMiddleNameProperty), "Grazia");
}

TEST_F(AddressBook, KeepsSeveralLabelledValuesInTheirOrder)
{
    PersonData luca = named("Luca", "Ferrari");
    luca.phones = { labeled(kABPersonPhoneMobileLabel, "+393381112222"), labeled(kABPersonPhoneIPhoneLabel, "338.111.3333"),
        labeled(kABWorkLabel, "(02) 4455 6677"), labeled("Ufficio Milano", "02/44556678") };
    luca.emails = { labeled(kABWorkLabel, "luca.ferrari@example.it"), labeled(kABOtherLabel, "lf@example.com") };
    add(named("Senza", "Numeri"));
    add(luca);

    auto all = people();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(ABRecordCopyValue(all[0], kABPersonPhoneProperty), nullptr) << "no values is no multi-value";
    EXPECT_EQ(ABRecordCopyValue(all[0], kABPersonEmailProperty), nullptr);

    auto phones = ABRecordCopyValue(all[1], kABPersonPhoneProperty);
    EXPECT_EQ(labeledValues(phones),
        (std::vector<std::string> { "_$!<Mobile>!$_=+393381112222", "iPhone=338.111.3333", "_$!<Work>!$_=(02) 4455 6677", "Ufficio Milano=02/44556678" }));
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[1], kABPersonEmailProperty)),
        (std::vector<std::string> { "_$!<Work>!$_=luca.ferrari@example.it", "_$!<Other>!$_=lf@example.com" }));

    std::vector<std::string> shown;
    for (CFIndex i = 0; i < ABMultiValueGetCount(phones); ++i)
        shown.push_back(ABAddressBookCopyLocalizedLabel(ABMultiValueCopyLabelAtIndex(phones, i)).value_or("(nil)"));
    EXPECT_EQ(shown, (std::vector<std::string> { "mobile", "iPhone", "work", "Ufficio Milano" }));

    ABMultiValueIdentifier third = ABMultiValueGetIdentifierAtIndex(phones, 2);
    EXPECT_EQ(ABMultiValueGetIndexForIdentifier(phones, third), 2);
    EXPECT_EQ(ABMultiValueGetIndexForIdentifier(phones, 99), -1);

    for (CFIndex outside : { CFIndex(-1), CFIndex(4), CFIndex(1) << 40 }) {
        EXPECT_EQ(ABMultiValueCopyValueAtIndex(phones, outside), std::nullopt);
        EXPECT_EQ(ABMultiValueCopyLabelAtIndex(phones, outside), std::nullopt);
        EXPECT_EQ(ABMultiValueGetIdentifierAtIndex(phones, outside), kABMultiValueInvalidIdentifier);
    }
    EXPECT_EQ(ABMultiValueGetCount(nullptr), 0);
    EXPECT_EQ(ABMultiValueCopyValueAtIndex(nullptr, 0), std::nullopt);
}

TEST(AddressBookLabels, LocalisesBuiltInLabelsOnly)
{
    EXPECT_EQ(ABAddressBookCopyLocalizedLabel(std::string(kABPersonPhoneHomeFAXLabel)), "home fax");
    EXPECT_EQ(ABAddressBookCopyLocalizedLabel(std::string("_$!<Anniversary>!$_")), "Anniversary");
    EXPECT_EQ(ABAddressBookCopyLocalizedLabel(std::string("_$!<>!$_")), "");
    EXPECT_EQ(ABAddressBookCopyLocalizedLabel(std::string("_$!<Casa")), "_$!<Casa");
    EXPECT_EQ(ABAddressBookCopyLocalizedLabel(std::nullopt), std::nullopt);
}

TEST_F(AddressBook, LabelsAreRowsOfTheSharedTableWhateverTheirOrder)
{
    // A device's label table grows as labels appear, so Mobile need not be row 1.
    runSql(m_path,
        "INSERT INTO ABMultiValueLabel (value) VALUES ('Casa al mare'), ('_$!<Work>!$_'), ('_$!<Mobile>!$_');"
        "INSERT INTO ABPerson (ROWID, First) VALUES (7, 'Lia');"
        "INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES"
        " (7, 3, 0, 3, '333 1'), (7, 3, 1, 1, '333 2'), (7, 3, 2, 42, '333 3'), (7, 3, 3, NULL, '333 4');");
    PersonData next = named("Bruno", std::nullopt);
    next.phones = { labeled(kABPersonPhoneMobileLabel, "333 5"), labeled("Barca", "333 6") };
    add(next);

    auto all = people();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[0], kABPersonPhoneProperty)),
        (std::vector<std::string> { "_$!<Mobile>!$_=333 1", "Casa al mare=333 2", "(nil)=333 3", "(nil)=333 4" }));
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[1], kABPersonPhoneProperty)), (std::vector<std::string> { "_$!<Mobile>!$_=333 5", "Barca=333 6" }));
}

TEST_F(AddressBook, ValuesAddedLaterFindTheirPersonInStoredOrder)
{
    // A number added to an older contact is stored after everybody else's
    // values; it still belongs to that contact, after their older numbers,
    // and the one person read by record id sees the same.
    runSql(m_path,
        "INSERT INTO ABPerson (ROWID, First) VALUES (3, 'Ada'), (5, 'Bea'), (9, 'Cloe');"
        "INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES"
        " (3, 3, 0, NULL, 'a1'), (5, 3, 0, NULL, 'b1'), (9, 4, 0, NULL, 'c@example.it'), (3, 4, 0, NULL, 'a@example.it'),"
        " (3, 3, 1, NULL, 'a2'), (4, 3, 0, NULL, 'nobody'), (9, 3, 0, NULL, 'c1'), (5, 3, 1, NULL, 'b2');");

    auto all = people();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[0], kABPersonPhoneProperty)), (std::vector<std::string> { "(nil)=a1", "(nil)=a2" }));
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[0], kABPersonEmailProperty)), (std::vector<std::string> { "(nil)=a@example.it" }));
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[1], kABPersonPhoneProperty)), (std::vector<std::string> { "(nil)=b1", "(nil)=b2" }));
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[2], kABPersonPhoneProperty)), (std::vector<std::string> { "(nil)=c1" }));
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[2], kABPersonEmailProperty)), (std::vector<std::string> { "(nil)=c@example.it" }));

    auto bea = ABAddressBookGetPersonWithRecordID(addressBookAtHostPath(m_path), 5);
    EXPECT_EQ(labeledValues(ABRecordCopyValue(bea, kABPersonPhoneProperty)), (std::vector<std::string> { "(nil)=b1", "(nil)=b2" }));
}
TEST_F(AddressBook, NullAndStrayRowsReadAsNothing)
{
    runSql(m_path,
        "INSERT INTO ABPerson (ROWID, First, Last) VALUES (1, NULL, NULL), (2, X'416E6E61', 'Blob'), (3, 42, 'Numero');"
        "INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES"
        " (1, 3, 0, NULL, NULL), (1, 3, 1, NULL, '347 1'), (1, 5, 0, NULL, 'Via Roma 1'), (1, 13, 0, NULL, 'aim:x'),"
        " (NULL, 3, 0, NULL, '347 2'), (99, 3, 0, NULL, '347 3'), (2, 4, NULL, NULL, 'b@example.it'), (2, 4, NULL, NULL, 'c@example.it');");

    auto all = people();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(ABRecordCopyValue(all[0], kABPersonFirstNameProperty), std::nullopt);
    EXPECT_EQ(ABRecordCopyCompositeName(all[0]), std::nullopt);
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[0], kABPersonPhoneProperty)), (std::vector<std::string> { "(nil)=(nil)", "(nil)=347 1" }))
        << "addresses, instant messaging and values of missing people are not phone numbers";
    EXPECT_EQ(ABRecordCopyValue(all[0], kABPersonEmailProperty), nullptr);
    EXPECT_EQ(ABRecordCopyValue(all[1], kABPersonFirstNameProperty), std::nullopt) << "a blob is no name";
    EXPECT_EQ(ABRecordCopyValue(all[2], kABPersonFirstNameProperty), "42");

    auto emails = ABRecordCopyValue(all[1], kABPersonEmailProperty);
    ASSERT_EQ(ABMultiValueGetCount(emails), 2);
    EXPECT_EQ(ABMultiValueGetIdentifierAtIndex(emails, 1), 1) << "a missing identifier is the value's position";
}

TEST(AddressBookLayout, ReadsColumnsByNameInAnyOrderWithExtraColumns)
{
    testsupport::TemporaryFolder folder { "plv-addressbook" };
    auto path = folder.file("AddressBook.sqlitedb");
    // A later device's layout: other column order, extra columns, no Middle or identifier.
    runSql(path,
        "CREATE TABLE ABPerson (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, ExternalUUID TEXT, Last TEXT, Kind INTEGER,"
        " PersonLink INTEGER DEFAULT -1, First TEXT, ImageURI TEXT);"
        "CREATE TABLE ABMultiValueLabel (value TEXT, UNIQUE(value));"
        "CREATE TABLE ABMultiValue (UID INTEGER PRIMARY KEY, value TEXT, label INTEGER, guid TEXT, property INTEGER, record_id INTEGER);"
        "INSERT INTO ABMultiValueLabel VALUES ('_$!<Home>!$_');"
        "INSERT INTO ABPerson (ExternalUUID, Last, Kind, First) VALUES ('u1', 'Rossi', 0, 'Anna'), ('u2', 'Bianchi', 0, NULL);"
        "INSERT INTO ABMultiValue (value, label, guid, property, record_id) VALUES ('06 1234 5678', 1, 'g', 3, 1), ('anna@example.it', NULL, 'h', 4, 1);");

    auto all = ABAddressBookCopyArrayOfAllPeople(addressBookAtHostPath(path));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(ABRecordCopyCompositeName(all[0]), "Anna Rossi");
    EXPECT_EQ(ABRecordCopyCompositeName(all[1]), "Bianchi");
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[0], kABPersonPhoneProperty)), (std::vector<std::string> { "_$!<Home>!$_=06 1234 5678" }));
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[0], kABPersonEmailProperty)), (std::vector<std::string> { "(nil)=anna@example.it" }));

    // The writer keeps to the columns the file has.
    auto writer = AddressBookWriter::open(path);
    ASSERT_TRUE(writer);
    PersonData added;
    added.first = "Lia";
    added.middle = "dropped";
    added.phones = { labeled(kABHomeLabel, "333 1") };
    ASSERT_TRUE(writer->addPerson(added));
    all = ABAddressBookCopyArrayOfAllPeople(addressBookAtHostPath(path));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(labeledValues(ABRecordCopyValue(all[2], kABPersonPhoneProperty)), (std::vector<std::string> { "_$!<Home>!$_=333 1" }));
}

TEST_F(AddressBook, FindsPeopleByRecordIDAndCountsThem)
{
    int64_t anna = add(named("Anna", "Rossi"));
    add(named("Lia", std::nullopt));
    auto book = addressBookAtHostPath(m_path);
    auto found = ABAddressBookGetPersonWithRecordID(book, static_cast<ABRecordID>(anna));
    ASSERT_TRUE(found);
    EXPECT_EQ(ABRecordGetRecordID(found), anna);
    EXPECT_EQ(ABRecordCopyCompositeName(found), "Anna Rossi");
    EXPECT_EQ(ABAddressBookGetPersonWithRecordID(book, 999), nullptr);
    EXPECT_EQ(ABRecordGetRecordID(nullptr), kABRecordInvalidID);

    // The count is read again each time; an array copied earlier keeps its people.
    auto earlier = ABAddressBookCopyArrayOfAllPeople(book);
    add(named("Terzo", std::nullopt));
    CFIndex count = ABAddressBookGetPersonCount(book);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(CFArrayGetCount(earlier), 2);
    EXPECT_EQ(CFArrayGetValueAtIndex(earlier, count - 1), nullptr) << "looping to the newer count must not run off the array";
    EXPECT_EQ(CFArrayGetValueAtIndex(earlier, -1), nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(earlier, 1), earlier[1]);
}

TEST_F(AddressBook, WriterRemovesAPersonWithTheirValues)
{
    PersonData anna = named("Anna", "Rossi");
    anna.phones = { labeled(kABPersonPhoneMobileLabel, "+39 347 123 4567") };
    int64_t id = add(anna);
    add(named("Lia", std::nullopt));
    auto writer = AddressBookWriter::open(m_path);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(writer->removePerson(id));
    EXPECT_FALSE(writer->removePerson(id)) << "already gone";
    auto all = people();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(ABRecordCopyCompositeName(all[0]), "Lia");
    EXPECT_EQ(queryColumn(m_path, "SELECT (SELECT count(*) FROM ABMultiValue) + (SELECT count(*) FROM ABPhoneLastFour)"),
        (std::vector<std::string> { "0" }));
}

TEST_F(AddressBook, WriterKeepsTheDevicesLookupTables)
{
    PersonData pizzeria;
    pizzeria.organization = "Pizzeria Da Mario";
    pizzeria.phones = { labeled(kABPersonPhoneMainLabel, "081 555 1234"), labeled(kABWorkLabel, "12") };
    add(pizzeria);
    add(named("Anna", std::nullopt));

    auto column = [&](const char* sql) { return queryColumn(m_path, sql); };
    EXPECT_EQ(column("SELECT value FROM ABPhoneLastFour ORDER BY multivalue_id"), (std::vector<std::string> { "1234", "12" }));
    EXPECT_EQ(column("SELECT Kind FROM ABPerson ORDER BY ROWID"), (std::vector<std::string> { "1", "0" })) << "an organisation is kind 1";
    EXPECT_EQ(column("SELECT count(*) FROM ABPerson WHERE CreationDate > 300000000"), (std::vector<std::string> { "2" }))
        << "dates count from 2001";
}

TEST_F(AddressBook, WriterStoresAllOrNothing)
{
    // Device files carry triggers; one that fails must leave no half-written person.
    runSql(m_path,
        "CREATE TRIGGER refuse AFTER INSERT ON ABMultiValue WHEN new.value = 'rifiuta' BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    PersonData good = named("Anna", "Rossi");
    good.phones = { labeled(kABPersonPhoneMobileLabel, "347 1") };
    PersonData bad = named("Guasto", std::nullopt);
    bad.phones = { labeled(kABPersonPhoneMobileLabel, "347 2"), labeled(kABHomeLabel, "rifiuta") };

    auto writer = AddressBookWriter::open(m_path);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->addPerson(bad));
    std::vector<PersonData> batch { good, bad };
    EXPECT_FALSE(writer->addPeople(batch));
    EXPECT_TRUE(people().empty());
    EXPECT_TRUE(writer->addPerson(good)) << "the writer stays usable after a failure";
    EXPECT_EQ(people().size(), 1u);
}

TEST_F(AddressBook, WriterFailsCleanlyOnTriggersCallingDeviceFunctions)
{
    // Later devices fill ids through their own SQL functions, which plain SQLite lacks.
    runSql(m_path, "CREATE TRIGGER guid AFTER INSERT ON ABPerson BEGIN SELECT ab_generate_guid(); END;");
    auto writer = AddressBookWriter::open(m_path);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->addPerson(named("Anna", "Rossi")));
    EXPECT_TRUE(people().empty());
}

TEST_F(AddressBook, CreatingAgainKeepsThePeople)
{
    add(named("Anna", "Rossi"));
    EXPECT_TRUE(createAddressBookDatabase(m_path));
    EXPECT_EQ(people().size(), 1u);
}

// Damaged and missing files.

class AddressBookFile : public ::testing::Test {
protected:
    void expectEmptyBook()
    {
        auto book = addressBookAtHostPath(m_path);
        ASSERT_TRUE(book) << "a book without a database is still a book";
        EXPECT_TRUE(ABAddressBookCopyArrayOfAllPeople(book).empty());
        EXPECT_EQ(ABAddressBookGetPersonCount(book), 0);
        EXPECT_EQ(ABAddressBookGetPersonWithRecordID(book, 1), nullptr);
    }
    void expectNoWritesAccepted()
    {
        auto before = std::filesystem::exists(m_path) ? fileBytes(m_path) : std::string();
        bool existed = std::filesystem::exists(m_path);
        EXPECT_EQ(AddressBookWriter::open(m_path), nullptr);
        EXPECT_EQ(std::filesystem::exists(m_path), existed);
        if (existed) {
            EXPECT_EQ(fileBytes(m_path), before);
        }
    }

    testsupport::TemporaryFolder m_folder { "plv-addressbook" };
    std::filesystem::path m_path { m_folder.file("AddressBook.sqlitedb") };
};

TEST_F(AddressBookFile, MissingFileIsAnEmptyBookAndIsNotCreated)
{
    expectEmptyBook();
    expectNoWritesAccepted();
    EXPECT_FALSE(std::filesystem::exists(m_path));
    EXPECT_TRUE(ABAddressBookCopyArrayOfAllPeople(addressBookAtHostPath("")).empty()) << "an unmappable path";
    EXPECT_FALSE(createAddressBookDatabase(""));
}

TEST_F(AddressBookFile, EmptyFileIsAnEmptyBook)
{
    writeFileBytes(m_path, "");
    expectEmptyBook();
    expectNoWritesAccepted();
    EXPECT_EQ(std::filesystem::file_size(m_path), 0u);
}

TEST_F(AddressBookFile, ForeignFileIsAnEmptyBookAndStaysUntouched)
{
    writeFileBytes(m_path, std::string("bplist00") + std::string(600, '\x7f'));
    expectEmptyBook();
    expectNoWritesAccepted();
    auto before = fileBytes(m_path);
    EXPECT_FALSE(createAddressBookDatabase(m_path));
    EXPECT_EQ(fileBytes(m_path), before);
}

TEST_F(AddressBookFile, DatabaseOfAnotherKindHasNobody)
{
    runSql(m_path, "CREATE TABLE message (ROWID INTEGER PRIMARY KEY, text TEXT); INSERT INTO message (text) VALUES ('ciao');");
    expectEmptyBook();
    expectNoWritesAccepted();
}

TEST_F(AddressBookFile, DamagedPagesAreNeverWritten)
{
    ASSERT_TRUE(createAddressBookDatabase(m_path));
    {
        auto writer = AddressBookWriter::open(m_path);
        ASSERT_TRUE(writer);
        std::vector<PersonData> many(400);
        for (size_t i = 0; i < many.size(); ++i) {
            many[i].first = "Persona " + std::to_string(i) + std::string(100, 'x');
            many[i].phones = { labeled(kABPersonPhoneMobileLabel, "347 " + std::to_string(1000000 + i)) };
        }
        ASSERT_TRUE(writer->addPeople(many));
    }
    auto bytes = fileBytes(m_path);
    ASSERT_GT(bytes.size(), 16u * 4096);
    // Scribble over interior pages, keeping the header and the schema page.
    for (size_t offset = 3 * 4096; offset < bytes.size() - 4096; offset += 4096 * 3)
        std::fill_n(bytes.begin() + static_cast<ptrdiff_t>(offset) + 8, 2000, '\xA5');
    writeFileBytes(m_path, bytes);

    auto book = addressBookAtHostPath(m_path);
    auto all = ABAddressBookCopyArrayOfAllPeople(book);
    EXPECT_TRUE(all.empty() || all.size() <= 400u);
    expectNoWritesAccepted();
    EXPECT_FALSE(createAddressBookDatabase(m_path));
    EXPECT_EQ(fileBytes(m_path), bytes);

    // A file cut short is no better.
    bytes.resize(bytes.size() / 2);
    writeFileBytes(m_path, bytes);
    all = ABAddressBookCopyArrayOfAllPeople(addressBookAtHostPath(m_path));
    EXPECT_LE(all.size(), 400u);
    expectNoWritesAccepted();
}

// The phone's own book.

class PhoneAddressBook : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousRoot = foundation::deviceRoot();
        foundation::setDeviceRoot(m_folder.path());
        registerAddressBookClasses();
    }
    void TearDown() override { foundation::setDeviceRoot(m_previousRoot); }

    testsupport::TemporaryFolder m_folder { "plv-addressbook" };
    std::filesystem::path m_previousRoot;
};

TEST_F(PhoneAddressBook, OpensTheDatabaseAtTheDevicePath)
{
    auto path = foundation::hostPath(AddressBookDevicePath);
    ASSERT_TRUE(createAddressBookDatabase(path));
    PersonData anna;
    anna.first = "Anna";
    ASSERT_TRUE(AddressBookWriter::open(path)->addPerson(anna));
    EXPECT_TRUE(path.string().starts_with(m_folder.path().string()));

    auto book = ABAddressBookCreate();
    ASSERT_TRUE(book);
    EXPECT_EQ(ABAddressBookGetPersonCount(book), 1);
}

TEST_F(PhoneAddressBook, EveryClassIsFoundByNameAndAnAbsentFrameworkGivesNoBook)
{
    for (auto name : { "ABAddressBook", "ABPerson", "ABMultiValue" })
        EXPECT_TRUE(runtime::classNamed(name)) << name;
    {
        runtime::ScopedClassRemoval absent("ABAddressBook");
        EXPECT_EQ(ABAddressBookCreate(), nullptr);
        EXPECT_TRUE(ABAddressBookCopyArrayOfAllPeople(nullptr).empty());
        EXPECT_EQ(ABAddressBookGetPersonCount(nullptr), 0);
        EXPECT_EQ(ABRecordCopyValue(nullptr, kABPersonFirstNameProperty), std::nullopt);
        EXPECT_EQ(ABRecordCopyValue(nullptr, kABPersonPhoneProperty), nullptr);
    }
    EXPECT_TRUE(ABAddressBookCreate());
}

TEST_F(PhoneAddressBook, PersonTravelsInRuntimeMessages)
{
    auto path = foundation::hostPath(AddressBookDevicePath);
    ASSERT_TRUE(createAddressBookDatabase(path));
    PersonData anna;
    anna.first = "Anna";
    ASSERT_TRUE(AddressBookWriter::open(path)->addPerson(anna));
    runtime::Id person = ABAddressBookCopyArrayOfAllPeople(ABAddressBookCreate()).at(0);
    EXPECT_EQ(person->runtimeClassName(), "ABPerson");
    EXPECT_EQ(ABRecordCopyCompositeName(runtime::cast<ABPerson>(person)), "Anna");
}

} // namespace
