#include "Statement.h"

#include <sqlite3.h>
#include <utility>

namespace chatkit {

Statement::Statement(sqlite3* db, std::string_view sql)
{
    if (!db || sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        m_failed = true;
    }
}

Statement::~Statement() { sqlite3_finalize(m_statement); }

Statement::Statement(Statement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr))
    , m_failed(other.m_failed)
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_failed = other.m_failed;
    }
    return *this;
}

Statement& Statement::bind(int index, const SQLValue& value)
{
    if (!m_statement)
        return *this;
    int rc = SQLITE_OK;
    if (auto* i = std::get_if<int64_t>(&value))
        rc = sqlite3_bind_int64(m_statement, index, *i);
    else if (auto* s = std::get_if<std::string>(&value))
        rc = sqlite3_bind_text64(m_statement, index, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    else if (auto* b = std::get_if<std::vector<uint8_t>>(&value))
        rc = sqlite3_bind_blob64(m_statement, index, b->data(), b->size(), SQLITE_TRANSIENT);
    else
        rc = sqlite3_bind_null(m_statement, index);
    if (rc != SQLITE_OK)
        m_failed = true;
    return *this;
}

bool Statement::step()
{
    if (!m_statement || m_failed)
        return false;
    int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_failed = true;
    return false;
}

bool Statement::run()
{
    if (!m_statement || m_failed)
        return false;
    int rc = sqlite3_step(m_statement);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(m_statement);
    if (rc != SQLITE_DONE)
        m_failed = true;
    return rc == SQLITE_DONE;
}

void Statement::reset()
{
    if (!m_statement)
        return;
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_failed = false;
}

std::optional<int64_t> Statement::integer(int column) const
{
    if (!m_statement || sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_int64(m_statement, column);
}

std::optional<std::string> Statement::text(int column) const
{
    if (!m_statement || sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return std::nullopt;
    auto* bytes = sqlite3_column_text(m_statement, column);
    int size = sqlite3_column_bytes(m_statement, column);
    if (!bytes)
        return std::string();
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
}

std::vector<uint8_t> Statement::blob(int column) const
{
    if (!m_statement || sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return {};
    auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(m_statement, column));
    int size = sqlite3_column_bytes(m_statement, column);
    if (!bytes || size <= 0)
        return {};
    return std::vector<uint8_t>(bytes, bytes + size);
}

bool execute(sqlite3* db, const char* sql)
{
    return db && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string quoteIdentifier(std::string_view name)
{
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace chatkit
