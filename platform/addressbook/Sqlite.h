// A thin owner of SQLite connections and prepared statements for the Address
// Book's store and writer. Every failure answers false or nullopt, so a
// missing, empty or damaged file turns into an empty answer at the caller.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

struct sqlite3;
struct sqlite3_stmt;

namespace addressbook::sqlite {

enum class OpenMode {
    ReadOnly,
    ReadWrite, // an existing file only: never creates one
    Create,
};

class Statement;

class Connection {
public:
    // Opens the file and proves it is a readable SQLite database (a damaged
    // or foreign file fails here rather than at the first query).
    static std::unique_ptr<Connection> open(const std::filesystem::path&, OpenMode);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool execute(std::string_view sql);
    std::optional<Statement> prepare(std::string_view sql);
    // The columns of a table, lower-cased (SQLite compares names without case);
    // empty when the table does not exist.
    std::unordered_set<std::string> columnsOf(std::string_view table);
    bool hasTable(std::string_view table) { return !columnsOf(table).empty(); }
    // The page-level consistency check; false for a damaged file.
    bool passesQuickCheck();
    int64_t lastInsertRowID() const;
    // Rows changed by the last statement.
    int64_t changes() const;

private:
    explicit Connection(sqlite3* db)
        : m_db(db)
    {
    }
    sqlite3* m_db;
};

class Statement {
public:
    explicit Statement(sqlite3_stmt* statement)
        : m_statement(statement)
    {
    }
    ~Statement();
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    enum class Step {
        Row,
        Done,
        Error,
    };
    Step step();
    bool reset();

    bool bind(int index, int64_t);
    bool bind(int index, const std::optional<std::string>&);
    bool bindNull(int index);

    bool isNull(int column) const;
    bool isInteger(int column) const;
    int64_t integer(int column) const;
    // Text, integer and real columns read as text; NULL and BLOB read as nothing.
    std::optional<std::string> text(int column) const;

private:
    sqlite3_stmt* m_statement;
};

// Quotes an identifier for use in SQL text.
std::string quoted(std::string_view identifier);

} // namespace addressbook::sqlite
