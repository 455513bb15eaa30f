#include "Sqlite.h"

#include <foundation/SqliteFileFaults.h>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace addressbook::sqlite {

std::unique_ptr<Connection> Connection::open(const std::filesystem::path& path, OpenMode mode)
{
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case OpenMode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case OpenMode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case OpenMode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    // SQLite reads an empty name as a private temporary database; here it
    // means no file could be mapped.
    if (path.empty())
        return nullptr;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, foundation::faultableSqliteVfs()) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<Connection> connection(new Connection(db));
    sqlite3_busy_timeout(db, 2000);
    // Reading the schema is the first access to the file's pages: a file that
    // is not a database, or whose header is damaged, fails here.
    auto probe = connection->prepare("SELECT count(*) FROM sqlite_master");
    if (!probe || probe->step() != Statement::Step::Row)
        return nullptr;
    return connection;
}

Connection::~Connection() { sqlite3_close_v2(m_db); }

bool Connection::execute(std::string_view sql)
{
    std::string text(sql);
    return sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<Statement> Connection::prepare(std::string_view sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK || !statement) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    return std::optional<Statement>(std::in_place, statement);
}

std::unordered_set<std::string> Connection::columnsOf(std::string_view table)
{
    std::unordered_set<std::string> columns;
    auto statement = prepare("PRAGMA table_info(" + quoted(table) + ")");
    if (!statement)
        return columns;
    while (statement->step() == Statement::Step::Row) {
        if (auto name = statement->text(1)) {
            std::ranges::transform(*name, name->begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            columns.insert(std::move(*name));
        }
    }
    return columns;
}

bool Connection::passesQuickCheck()
{
    auto statement = prepare("PRAGMA quick_check(1)");
    return statement && statement->step() == Statement::Step::Row && statement->text(0) == "ok";
}

int64_t Connection::lastInsertRowID() const { return sqlite3_last_insert_rowid(m_db); }

int64_t Connection::changes() const { return sqlite3_changes64(m_db); }

Statement::~Statement() { sqlite3_finalize(m_statement); }

Statement::Statement(Statement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr))
{
}

Statement::Step Statement::step()
{
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Error;
    }
}

bool Statement::reset()
{
    sqlite3_clear_bindings(m_statement);
    return sqlite3_reset(m_statement) == SQLITE_OK;
}

bool Statement::bind(int index, int64_t value) { return sqlite3_bind_int64(m_statement, index, value) == SQLITE_OK; }

bool Statement::bind(int index, const std::optional<std::string>& value)
{
    if (!value)
        return bindNull(index);
    return sqlite3_bind_text(m_statement, index, value->data(), static_cast<int>(value->size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

bool Statement::bindNull(int index) { return sqlite3_bind_null(m_statement, index) == SQLITE_OK; }

bool Statement::isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }

bool Statement::isInteger(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER; }

int64_t Statement::integer(int column) const { return sqlite3_column_int64(m_statement, column); }

std::optional<std::string> Statement::text(int column) const
{
    int type = sqlite3_column_type(m_statement, column);
    if (type == SQLITE_NULL || type == SQLITE_BLOB)
        return std::nullopt;
    auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (!bytes)
        return std::nullopt;
    return std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(m_statement, column)));
}

std::string quoted(std::string_view identifier)
{
    std::string result = "\"";
    for (char c : identifier) {
        if (c == '"')
            result += '"';
        result += c;
    }
    result += '"';
    return result;
}

} // namespace addressbook::sqlite
