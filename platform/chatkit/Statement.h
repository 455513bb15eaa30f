// A prepared SQLite statement that finalises itself, with typed binding and
// reading. Reading a NULL or missing value gives an empty optional, so rows
// from a database written by another program never surprise the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace chatkit {

using SQLValue = std::variant<std::monostate, int64_t, std::string, std::vector<uint8_t>>;

class Statement {
public:
    Statement() = default;
    Statement(sqlite3*, std::string_view sql);
    ~Statement();
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_statement; }

    // Binding is 1-based, as in SQLite.
    Statement& bind(int index, const SQLValue&);
    // Answers true while there is a row to read.
    bool step();
    // Runs a statement that returns no rows; answers whether it succeeded.
    bool run();
    void reset();
    bool failed() const { return m_failed; }

    // Reading is 0-based, as in SQLite.
    std::optional<int64_t> integer(int column) const;
    std::optional<std::string> text(int column) const;
    std::vector<uint8_t> blob(int column) const;

private:
    sqlite3_stmt* m_statement { nullptr };
    bool m_failed { false };
};

// Runs SQL without results (several statements allowed); answers success.
bool execute(sqlite3*, const char* sql);
// Quotes a name for use as an SQL identifier.
std::string quoteIdentifier(std::string_view);

} // namespace chatkit
