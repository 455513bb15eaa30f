#include "AddressBookStore.h"

#include "Sqlite.h"

#include <algorithm>

namespace addressbook {

using sqlite::Statement;

namespace {

    // A column of the query when the table has it, else NULL in its place.
    std::string columnOrNull(const std::unordered_set<std::string>& columns, std::string_view name)
    {
        std::string lower(name);
        std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return columns.contains(lower) ? sqlite::quoted(name) : std::string("NULL");
    }

} // namespace

std::unique_ptr<AddressBookStore> AddressBookStore::open(const std::filesystem::path& hostPath)
{
    auto connection = sqlite::Connection::open(hostPath, sqlite::OpenMode::ReadOnly);
    if (!connection)
        return nullptr;
    return std::unique_ptr<AddressBookStore>(new AddressBookStore(std::move(connection)));
}

AddressBookStore::AddressBookStore(std::unique_ptr<sqlite::Connection> connection)
    : m_connection(std::move(connection))
{
    auto personColumns = m_connection->columnsOf("ABPerson");
    m_hasPeople = !personColumns.empty();
    m_personQuery = "SELECT ROWID, " + columnOrNull(personColumns, "First") + ", " + columnOrNull(personColumns, "Last") + ", "
        + columnOrNull(personColumns, "Middle") + ", " + columnOrNull(personColumns, "Organization") + " FROM ABPerson";

    auto valueColumns = m_connection->columnsOf("ABMultiValue");
    m_hasValues = valueColumns.contains("record_id") && valueColumns.contains("property") && valueColumns.contains("value");
    // Labels are rows of a shared table, referenced by its implicit rowid;
    // the few distinct ones are read once per call and looked up in memory
    // rather than by a subquery on every value.
    m_hasLabels = valueColumns.contains("label") && m_connection->columnsOf("ABMultiValueLabel").contains("value");
    std::string label = m_hasLabels ? "v.label" : "NULL";
    std::string identifier = valueColumns.contains("identifier") ? "v.identifier" : "NULL";
    m_valueQuery = "SELECT v.record_id, v.property, " + identifier + ", " + label + ", v.value FROM ABMultiValue v WHERE v.property IN (3, 4)";
}

AddressBookStore::~AddressBookStore() = default;

int64_t AddressBookStore::personCount()
{
    if (!m_hasPeople)
        return 0;
    auto statement = m_connection->prepare("SELECT count(*) FROM ABPerson");
    if (!statement || statement->step() != Statement::Step::Row)
        return 0;
    return statement->integer(0);
}

std::vector<StoredPerson> AddressBookStore::allPeople() { return readPeople(std::nullopt); }

std::optional<StoredPerson> AddressBookStore::person(int64_t recordID)
{
    auto people = readPeople(recordID);
    if (people.empty())
        return std::nullopt;
    return std::move(people.front());
}

std::vector<StoredPerson> AddressBookStore::readPeople(std::optional<int64_t> onlyRecord)
{
    std::vector<StoredPerson> people;
    if (!m_hasPeople)
        return people;

    // Growing a vector of people moves every person read so far each time.
    if (!onlyRecord)
        people.reserve(static_cast<size_t>(std::max<int64_t>(personCount(), 0)));
    auto personStatement = m_connection->prepare(m_personQuery + (onlyRecord ? " WHERE ROWID = ?1" : "") + " ORDER BY ROWID");
    if (!personStatement || (onlyRecord && !personStatement->bind(1, *onlyRecord)))
        return {};
    Statement::Step step;
    while ((step = personStatement->step()) == Statement::Step::Row) {
        StoredPerson person;
        person.recordID = personStatement->integer(0);
        person.data.first = personStatement->text(1);
        person.data.last = personStatement->text(2);
        person.data.middle = personStatement->text(3);
        person.data.organization = personStatement->text(4);
        people.push_back(std::move(person));
    }
    if (step == Statement::Step::Error)
        return {};
    if (!m_hasValues || people.empty())
        return people;

    auto labels = readLabels();
    if (!labels)
        return {};
    // Values come in the table's own order, a plain scan with no index or
    // sort; a person's values thereby keep their stored order. Most books
    // store a person's values together, so the person is usually the one
    // the previous value found, and otherwise found by a binary search.
    auto valueStatement = m_connection->prepare(m_valueQuery + (onlyRecord ? " AND v.record_id = ?1" : "") + " ORDER BY v.ROWID");
    if (!valueStatement || (onlyRecord && !valueStatement->bind(1, *onlyRecord)))
        return {};
    auto byRecordID = [](const StoredPerson& person, int64_t recordID) { return person.recordID < recordID; };
    auto cursor = people.begin();
    while ((step = valueStatement->step()) == Statement::Step::Row) {
        if (valueStatement->isNull(0))
            continue;
        int64_t recordID = valueStatement->integer(0);
        if (cursor == people.end() || cursor->recordID != recordID) {
            cursor = std::lower_bound(people.begin(), people.end(), recordID, byRecordID);
            if (cursor == people.end() || cursor->recordID != recordID)
                continue; // a value whose person is gone
        }
        auto& values = valueStatement->integer(1) == static_cast<int64_t>(MultiValueProperty::Phone) ? cursor->data.phones : cursor->data.emails;
        LabeledValue value;
        value.identifier = valueStatement->isNull(2) ? static_cast<int64_t>(values.size()) : valueStatement->integer(2);
        if (valueStatement->isInteger(3)) {
            auto found = labels->find(valueStatement->integer(3));
            if (found != labels->end())
                value.label = found->second;
        }
        value.value = valueStatement->text(4);
        // Most people have one or two values of a kind; room for two at the
        // first saves growing the vector at the second.
        if (values.empty())
            values.reserve(2);
        values.push_back(std::move(value));
    }
    if (step == Statement::Step::Error)
        return {};
    return people;
}

std::optional<std::unordered_map<int64_t, std::string>> AddressBookStore::readLabels()
{
    std::unordered_map<int64_t, std::string> labels;
    if (!m_hasLabels)
        return labels;
    auto statement = m_connection->prepare("SELECT ROWID, value FROM ABMultiValueLabel");
    if (!statement)
        return std::nullopt;
    Statement::Step step;
    while ((step = statement->step()) == Statement::Step::Row) {
        if (auto text = statement->text(1))
            labels.emplace(statement->integer(0), std::move(*text));
    }
    if (step == Statement::Step::Error)
        return std::nullopt;
    return labels;
}

} // namespace addressbook
