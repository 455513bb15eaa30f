// Raw SQL on a database file, beside the code under test: to check what it
// left in the file, or to set up what it must cope with (a trigger that
// refuses writes, a column an older phone lacks). Failures come back as
// values, so a probe never hides the test's own assertion.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class SqliteProbe {
public:
    enum class Access {
        ReadWrite, // creates the file when missing
        ReadOnly,
    };

    explicit SqliteProbe(const std::filesystem::path& path, Access access = Access::ReadWrite)
    {
        int flags = access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }
    ~SqliteProbe() { sqlite3_close(m_db); }
    SqliteProbe(const SqliteProbe&) = delete;
    SqliteProbe& operator=(const SqliteProbe&) = delete;

    bool isOpen() const { return m_db; }
    sqlite3* handle() const { return m_db; }

    // Runs SQL; answers SQLite's error text, empty on success.
    std::string exec(const std::string& sql)
    {
        if (!m_db)
            return "the database did not open";
        char* error = nullptr;
        std::string result;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
            result = error ? error : "error";
        sqlite3_free(error);
        return result;
    }

    // The first column of the first row; nothing for no row, NULL or an error.
    std::optional<int64_t> integer(const std::string& sql)
    {
        std::optional<int64_t> value;
        firstValue(sql, [&](sqlite3_stmt* statement) { value = sqlite3_column_int64(statement, 0); });
        return value;
    }
    std::optional<std::string> text(const std::string& sql)
    {
        std::optional<std::string> value;
        firstValue(sql, [&](sqlite3_stmt* statement) { value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)); });
        return value;
    }

    // The first column of every row, as text ("NULL" for a null).
    std::vector<std::string> column(const std::string& sql)
    {
        std::vector<std::string> values;
        sqlite3_stmt* statement = nullptr;
        if (m_db && sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
                values.emplace_back(text ? text : "NULL");
            }
        }
        sqlite3_finalize(statement);
        return values;
    }

private:
    template <class Read>
    void firstValue(const std::string& sql, Read read)
    {
        sqlite3_stmt* statement = nullptr;
        if (m_db && sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW
            && sqlite3_column_type(statement, 0) != SQLITE_NULL)
            read(statement);
        sqlite3_finalize(statement);
    }

    sqlite3* m_db { nullptr };
};

} // namespace testsupport
