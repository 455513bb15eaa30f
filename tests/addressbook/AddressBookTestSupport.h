// A scratch folder per test and raw SQL access, for building Address Book
// files the way a device or another tool would have left them.
#pragma once

#include "support/SqliteProbe.h"
#include "support/TemporaryFolder.h"

#include <addressbook/ABAddressBook.h>
#include <addressbook/AddressBookWriter.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace addressbook_test {

// Runs SQL on a file with plain SQLite, outside the library under test.
inline void runSql(const std::filesystem::path& path, const std::string& sql)
{
    ASSERT_EQ(testsupport::SqliteProbe(path).exec(sql), "");
}

// The first column of every row a query answers, as text.
inline std::vector<std::string> queryColumn(const std::filesystem::path& path, const std::string& sql)
{
    testsupport::SqliteProbe probe(path, testsupport::SqliteProbe::Access::ReadOnly);
    EXPECT_TRUE(probe.isOpen()) << "cannot open " << path;
    return probe.column(sql);
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
