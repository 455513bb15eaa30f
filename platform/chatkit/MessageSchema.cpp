// The message store's schema discovery: which tables and columns this
// database has, read by name so any column order opens.
#include "MessageStore.h"
#include "MessageStoreParts.h"

#include <sqlite3.h>

namespace chatkit {

using namespace storeparts;

bool MessageStore::Table::has(std::string_view column) const
{
    // Asked on every read and write, so without building a lowered copy. The
    // names kept were lowered when the table was described; the names asked
    // for are the store's own ASCII ones, and SQLite matches column names
    // ignoring ASCII case only.
    auto lowered = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::any_of(columns.begin(), columns.end(), [&](const std::string& name) {
        return name.size() == column.size() && std::equal(name.begin(), name.end(), column.begin(), [&](char a, char b) { return a == lowered(b); });
    });
}

MessageStore::Table MessageStore::describe(const std::string& table)
{
    Table description;
    description.exists = std::find(m_tables.begin(), m_tables.end(), table) != m_tables.end();
    if (!description.exists)
        return description;
    Statement info(m_db, "PRAGMA table_info(" + quoteIdentifier(table) + ")");
    while (info.step())
        description.columns.push_back(foundation::lowercase(info.text(1).value_or("")));
    return description;
}

foundation::Result<void> MessageStore::load()
{
    using foundation::Error;
    Statement tables(m_db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (tables.step())
        m_tables.push_back(foundation::lowercase(tables.text(0).value_or("")));
    if (tables.failed())
        return Error(std::string("not a readable Messages database (") + sqlite3_errmsg(m_db) + ")");
    if (std::find(m_tables.begin(), m_tables.end(), "handle") != m_tables.end())
        return Error("this Messages database has the layout of a later iOS (it has a handle table); only the iOS 5 layout can be read");
    m_message = describe("message");
    if (!m_message.exists)
        return Error("not a Messages database (it has no message table)");
    if (!m_message.has("address") || !m_message.has("text"))
        return Error("the message table has no address or text column");
    for (int column = 0; column < ColumnCount; ++column)
        m_hasColumn[column] = m_message.has(columnNames[column]);
    m_pieces = describe("msg_pieces");
    m_group = describe("msg_group");
    m_member = describe("group_member");
    m_attachment = describe("madrid_attachment");
    m_chat = describe("madrid_chat");
    m_properties = describe("_sqlitedatabaseproperties");

    // Banner taps look single rows up at random; reading the file through a
    // mapping spares a system call per page.
    execute(m_db, "PRAGMA mmap_size = 268435456");
    // With a write-ahead log (the phone's own mode) this still never corrupts
    // the file; a power cut can only lose the last messages written. Other
    // journal modes keep full synchronisation.
    if (Statement mode(m_db, "PRAGMA journal_mode"); mode.step() && foundation::lowercase(mode.text(0).value_or("")) == "wal")
        execute(m_db, "PRAGMA synchronous = NORMAL");
    m_selectOne = Statement(m_db, "SELECT " + selectList() + " FROM message WHERE ROWID = ?");
    if (!m_selectOne.isValid())
        return Error(std::string("cannot read the message table (") + sqlite3_errmsg(m_db) + ")");
    return foundation::success();
}

std::string MessageStore::selectList() const
{
    std::string list = "ROWID";
    for (int column = 0; column < ColumnCount; ++column) {
        list += ", ";
        list += m_hasColumn[column] ? quoteIdentifier(columnNames[column]) : "NULL";
    }
    return list;
}

} // namespace chatkit
