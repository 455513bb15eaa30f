// A scratch folder per test and raw SQL access, for building Address Book
// files the way a device or another tool would have left them.
#pragma once

#include <addressbook/ABAddressBook.h>
#include <addressbook/AddressBookWriter.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace addressbook_test {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device device;
        m_path = std::filesystem::temp_directory_path() / ("plv-addressbook-" + std::to_string(device()) + "-" + std::to_string(device()));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path file(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Runs SQL on a file with plain SQLite, outside the library under test.
inline void runSql(const std::filesystem::path& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    std::string text = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    ASSERT_EQ(result, SQLITE_OK) << text;
}

// The first column of every row a query answers, as text.
inline std::vector<std::string> queryColumn(const std::filesystem::path& path, const std::string& sql)
{
    std::vector<std::string> values;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << path;
        return values;
    }
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        values.emplace_back(text ? text : "NULL");
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return values;
}

inline std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void writeFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline addressbook::LabeledValue labeled(std::string_view label, std::string_view value)
{
    return { std::string(label), std::string(value) };
}

// The person's values of one kind as "label=value" lines, for compact checks.
inline std::vector<std::string> labeledValues(const addressbook::ABMultiValueRef& values)
{
    std::vector<std::string> lines;
    for (addressbook::CFIndex i = 0; i < addressbook::ABMultiValueGetCount(values); ++i)
        lines.push_back(addressbook::ABMultiValueCopyLabelAtIndex(values, i).value_or("(nil)") + "=" + addressbook::ABMultiValueCopyValueAtIndex(values, i).value_or("(nil)"));
    return lines;
}

} // namespace addressbook_test
