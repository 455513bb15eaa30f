#include "AddressBookWriter.h"

#include "Sqlite.h"

#include <chrono>
#include <system_error>

namespace addressbook {

using sqlite::Statement;

namespace {

    // The phone's tables, as its own file declares them.
    constexpr std::string_view schema = R"sql(
CREATE TABLE IF NOT EXISTS ABPerson (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, First TEXT, Last TEXT, Middle TEXT,
  FirstPhonetic TEXT, MiddlePhonetic TEXT, LastPhonetic TEXT, Organization TEXT, Department TEXT,
  Note TEXT, Kind INTEGER, Birthday TEXT, JobTitle TEXT, Nickname TEXT, Prefix TEXT, Suffix TEXT,
  FirstSort TEXT, LastSort TEXT, CreationDate INTEGER, ModificationDate INTEGER,
  CompositeNameFallback TEXT, ExternalIdentifier TEXT, StoreID INTEGER, DisplayName TEXT,
  FirstSortSection TEXT, LastSortSection TEXT,
  FirstSortLanguageIndex INTEGER DEFAULT 2147483647, LastSortLanguageIndex INTEGER DEFAULT 2147483647);
CREATE TABLE IF NOT EXISTS ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER,
  identifier INTEGER, label INTEGER, value TEXT);
CREATE TABLE IF NOT EXISTS ABMultiValueLabel (value TEXT, UNIQUE(value));
CREATE TABLE IF NOT EXISTS ABMultiValueEntry (parent_id INTEGER, key INTEGER, value TEXT, UNIQUE(parent_id, key));
CREATE TABLE IF NOT EXISTS ABMultiValueEntryKey (value TEXT, UNIQUE(value));
CREATE TABLE IF NOT EXISTS ABPhoneLastFour (multivalue_id INTEGER PRIMARY KEY, value TEXT);
CREATE TABLE IF NOT EXISTS ABGroup (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, ExternalIdentifier TEXT, StoreID INTEGER);
CREATE TABLE IF NOT EXISTS ABGroupMembers (UID INTEGER PRIMARY KEY, group_id INTEGER, member_type INTEGER,
  member_id INTEGER, UNIQUE(group_id, member_type, member_id));
CREATE TABLE IF NOT EXISTS ABStore (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, ExternalIdentifier TEXT,
  Type INTEGER, ConstraintsPath TEXT, ExternalModificationTag TEXT, StoreInternalIdentifier TEXT,
  AccountIdentifier TEXT, UNIQUE(StoreInternalIdentifier));
CREATE INDEX IF NOT EXISTS ABMultiValueRecordIDIndex ON ABMultiValue(record_id);
CREATE INDEX IF NOT EXISTS ABMultiValueLabelIndex ON ABMultiValue(label);
CREATE INDEX IF NOT EXISTS ABPhoneLastFourIndex ON ABPhoneLastFour(value);
CREATE INDEX IF NOT EXISTS ABFirstSortIndex ON ABPerson(FirstSort);
CREATE INDEX IF NOT EXISTS ABLastSortIndex ON ABPerson(LastSort);
)sql";

    // Seconds since 2001-01-01, the platform's date origin.
    int64_t macAbsoluteNow()
    {
        using namespace std::chrono;
        return duration_cast<seconds>(system_clock::now().time_since_epoch()).count() - 978307200;
    }

    std::optional<std::string> lastFourDigits(const std::optional<std::string>& number)
    {
        if (!number)
            return std::nullopt;
        std::string digits;
        for (char c : *number) {
            if (c >= '0' && c <= '9')
                digits += c;
        }
        if (digits.size() > 4)
            digits.erase(0, digits.size() - 4);
        return digits;
    }

    bool isBlank(const std::optional<std::string>& text) { return !text || text->empty(); }

    class Transaction {
    public:
        explicit Transaction(sqlite::Connection& connection)
            : m_connection(connection)
            , m_open(connection.execute("BEGIN IMMEDIATE"))
        {
        }
        ~Transaction()
        {
            if (m_open)
                m_connection.execute("ROLLBACK");
        }
        bool isOpen() const { return m_open; }
        bool commit()
        {
            if (!m_open || !m_connection.execute("COMMIT"))
                return false;
            m_open = false;
            return true;
        }

    private:
        sqlite::Connection& m_connection;
        bool m_open;
    };

} // namespace

bool createAddressBookDatabase(const std::filesystem::path& hostPath)
{
    std::error_code error;
    if (hostPath.has_parent_path())
        std::filesystem::create_directories(hostPath.parent_path(), error);
    auto connection = sqlite::Connection::open(hostPath, sqlite::OpenMode::Create);
    if (!connection || !connection->passesQuickCheck())
        return false;
    Transaction transaction(*connection);
    return transaction.isOpen() && connection->execute(schema) && transaction.commit();
}

std::unique_ptr<AddressBookWriter> AddressBookWriter::open(const std::filesystem::path& hostPath)
{
    auto connection = sqlite::Connection::open(hostPath, sqlite::OpenMode::ReadWrite);
    if (!connection || !connection->passesQuickCheck())
        return nullptr;
    auto valueColumns = connection->columnsOf("ABMultiValue");
    if (!connection->hasTable("ABPerson") || !valueColumns.contains("record_id") || !valueColumns.contains("property") || !valueColumns.contains("value"))
        return nullptr;
    return std::unique_ptr<AddressBookWriter>(new AddressBookWriter(std::move(connection)));
}

AddressBookWriter::AddressBookWriter(std::unique_ptr<sqlite::Connection> connection)
    : m_connection(std::move(connection))
    , m_personColumns(m_connection->columnsOf("ABPerson"))
    , m_hasLabels(m_connection->columnsOf("ABMultiValueLabel").contains("value") && m_connection->columnsOf("ABMultiValue").contains("label"))
    , m_hasIdentifiers(m_connection->columnsOf("ABMultiValue").contains("identifier"))
    , m_hasLastFour(m_connection->hasTable("ABPhoneLastFour"))
{
}

AddressBookWriter::~AddressBookWriter() = default;

std::optional<int64_t> AddressBookWriter::addPerson(const PersonData& person)
{
    Transaction transaction(*m_connection);
    if (!transaction.isOpen())
        return std::nullopt;
    auto recordID = insertPerson(person);
    if (!recordID || !transaction.commit())
        return std::nullopt;
    return recordID;
}

bool AddressBookWriter::addPeople(std::span<const PersonData> people)
{
    Transaction transaction(*m_connection);
    if (!transaction.isOpen())
        return false;
    for (const auto& person : people) {
        if (!insertPerson(person))
            return false;
    }
    return transaction.commit();
}

bool AddressBookWriter::removePerson(int64_t recordID)
{
    Transaction transaction(*m_connection);
    if (!transaction.isOpen())
        return false;
    auto run = [&](std::string_view sql) {
        auto statement = m_connection->prepare(sql);
        return statement && statement->bind(1, recordID) && statement->step() == Statement::Step::Done;
    };
    if (m_hasLastFour && !run("DELETE FROM ABPhoneLastFour WHERE multivalue_id IN (SELECT ROWID FROM ABMultiValue WHERE record_id = ?1)"))
        return false;
    if (!run("DELETE FROM ABMultiValue WHERE record_id = ?1") || !run("DELETE FROM ABPerson WHERE ROWID = ?1"))
        return false;
    bool removed = m_connection->changes() > 0;
    return transaction.commit() && removed;
}

std::optional<int64_t> AddressBookWriter::insertPerson(const PersonData& person)
{
    // Only the columns this file has: a database copied from a device keeps its own layout.
    std::vector<std::pair<std::string_view, std::optional<std::string>>> texts;
    std::vector<std::pair<std::string_view, int64_t>> integers;
    auto addText = [&](std::string_view column, std::string_view lower, const std::optional<std::string>& value) {
        if (m_personColumns.contains(std::string(lower)))
            texts.emplace_back(column, value);
    };
    auto addInteger = [&](std::string_view column, std::string_view lower, int64_t value) {
        if (m_personColumns.contains(std::string(lower)))
            integers.emplace_back(column, value);
    };
    addText("First", "first", person.first);
    addText("Last", "last", person.last);
    addText("Middle", "middle", person.middle);
    addText("Organization", "organization", person.organization);
    bool isOrganization = isBlank(person.first) && isBlank(person.last) && !isBlank(person.organization);
    addInteger("Kind", "kind", isOrganization ? 1 : 0);
    int64_t now = macAbsoluteNow();
    addInteger("CreationDate", "creationdate", now);
    addInteger("ModificationDate", "modificationdate", now);

    std::string columns;
    std::string placeholders;
    int index = 0;
    auto addColumn = [&](std::string_view name) {
        if (index++) {
            columns += ", ";
            placeholders += ", ";
        }
        columns += sqlite::quoted(name);
        placeholders += "?" + std::to_string(index);
    };
    for (auto& [name, value] : texts)
        addColumn(name);
    for (auto& [name, value] : integers)
        addColumn(name);
    std::string sql = index ? "INSERT INTO ABPerson (" + columns + ") VALUES (" + placeholders + ")" : "INSERT INTO ABPerson DEFAULT VALUES";
    auto statement = m_connection->prepare(sql);
    if (!statement)
        return std::nullopt;
    int parameter = 1;
    for (auto& [name, value] : texts) {
        if (!statement->bind(parameter++, value))
            return std::nullopt;
    }
    for (auto& [name, value] : integers) {
        if (!statement->bind(parameter++, value))
            return std::nullopt;
    }
    if (statement->step() != Statement::Step::Done)
        return std::nullopt;
    int64_t recordID = m_connection->lastInsertRowID();
    if (!insertValues(recordID, MultiValueProperty::Phone, person.phones) || !insertValues(recordID, MultiValueProperty::Email, person.emails))
        return std::nullopt;
    return recordID;
}

bool AddressBookWriter::insertValues(int64_t recordID, MultiValueProperty property, const std::vector<LabeledValue>& values)
{
    if (values.empty())
        return true;
    std::string columns = "record_id, property, value";
    std::string parameters = "?1, ?2, ?5";
    if (m_hasIdentifiers) {
        columns += ", identifier";
        parameters += ", ?3";
    }
    if (m_hasLabels) {
        columns += ", label";
        parameters += ", ?4";
    }
    auto insert = m_connection->prepare("INSERT INTO ABMultiValue (" + columns + ") VALUES (" + parameters + ")");
    if (!insert)
        return false;
    int64_t identifier = 0;
    for (const auto& value : values) {
        insert->reset();
        bool bound = insert->bind(1, recordID) && insert->bind(2, static_cast<int64_t>(property)) && insert->bind(3, identifier++);
        if (m_hasLabels) {
            std::optional<int64_t> label;
            if (value.label && !(label = labelRow(*value.label)))
                return false;
            bound = bound && (label ? insert->bind(4, *label) : insert->bindNull(4));
        }
        if (!bound || !insert->bind(5, value.value) || insert->step() != Statement::Step::Done)
            return false;
        if (m_hasLastFour && property == MultiValueProperty::Phone) {
            int64_t valueRow = m_connection->lastInsertRowID();
            auto lastFour = m_connection->prepare("INSERT OR REPLACE INTO ABPhoneLastFour (multivalue_id, value) VALUES (?1, ?2)");
            if (!lastFour || !lastFour->bind(1, valueRow) || !lastFour->bind(2, lastFourDigits(value.value)) || lastFour->step() != Statement::Step::Done)
                return false;
        }
    }
    return true;
}

std::optional<int64_t> AddressBookWriter::labelRow(const std::string& label)
{
    // The label table is shared and grows as labels appear; its rowids are never assumed.
    auto insert = m_connection->prepare("INSERT OR IGNORE INTO ABMultiValueLabel (value) VALUES (?1)");
    if (!insert || !insert->bind(1, std::optional(label)) || insert->step() != Statement::Step::Done)
        return std::nullopt;
    auto select = m_connection->prepare("SELECT ROWID FROM ABMultiValueLabel WHERE value = ?1");
    if (!select || !select->bind(1, std::optional(label)) || select->step() != Statement::Step::Row)
        return std::nullopt;
    return select->integer(0);
}

} // namespace addressbook
