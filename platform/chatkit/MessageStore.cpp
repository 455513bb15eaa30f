#include "MessageStore.h"

#include "AddressMatching.h"
#include "Configuration.h"
#include "Schema.h"
#include <foundation/Uuid.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sqlite3.h>

namespace chatkit {

namespace {

    constexpr const char* columnNames[] = {
        "address",
        "date",
        "text",
        "flags",
        "group_id",
        "read",
        "is_madrid",
        "madrid_handle",
        "madrid_guid",
        "madrid_account",
        "madrid_account_guid",
        "madrid_service",
        "madrid_roomname",
        "madrid_flags",
        "madrid_error",
        "madrid_date_read",
        "madrid_date_delivered",
    };

    constexpr const char* madridServiceName = "Madrid";
    // madrid_chat.style of a chat with one other person, and the state of a
    // chat the user has joined.
    constexpr int64_t singleChatStyle = 45;
    constexpr int64_t joinedChatState = 3;
    // madrid_attachment.transfer_state of a finished transfer.
    constexpr int64_t transferFinished = 5;

    std::string lowercase(std::string_view text)
    {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::tolower(c); });
        return result;
    }

    bool startsWith(std::string_view text, std::string_view prefix)
    {
        return text.substr(0, prefix.size()) == prefix;
    }

    int64_t macDate(double unixDate) { return std::llround(unixDate) - macEpochOffset; }

    // A file name safe to put in a folder of its own: no separators, no
    // parent references.
    std::string safeFilename(std::string_view name, std::string_view mimeType)
    {
        std::string base(name.substr(name.find_last_of("/\\") == std::string_view::npos ? 0 : name.find_last_of("/\\") + 1));
        if (base.empty() || base == "." || base == "..")
            base = mimeType == "image/png" ? "image.png" : mimeType.starts_with("image/") ? "image.jpg"
                                                                                          : "attachment";
        return base;
    }

    std::string utiFor(std::string_view mimeType)
    {
        if (mimeType == "image/jpeg")
            return "public.jpeg";
        if (mimeType == "image/png")
            return "public.png";
        if (mimeType == "image/gif")
            return "com.compuserve.gif";
        if (mimeType == "text/x-vcard" || mimeType == "text/vcard")
            return "public.vcard";
        return "public.data";
    }

    uint32_t groupHash(const std::vector<std::string>& addresses)
    {
        std::vector<std::string> keys;
        for (const auto& address : addresses) {
            std::string digits = digitsOf(address);
            keys.push_back(isPhoneNumber(address) && digits.size() >= 7 ? digits.substr(digits.size() - 7) : lowercase(trimmed(address)));
        }
        std::sort(keys.begin(), keys.end());
        uint32_t hash = 2166136261u;
        for (const auto& key : keys) {
            for (unsigned char c : key)
                hash = (hash ^ c) * 16777619u;
            hash = (hash ^ ',') * 16777619u;
        }
        return hash & 0x7fffffff;
    }

    // Runs the statements of a transaction and undoes them when the scope
    // ends without commit().
    class Transaction {
    public:
        explicit Transaction(sqlite3* db)
            : m_db(db)
            , m_open(execute(db, "BEGIN IMMEDIATE"))
        {
        }
        ~Transaction()
        {
            if (m_open)
                execute(m_db, "ROLLBACK");
        }
        bool isOpen() const { return m_open; }
        bool commit()
        {
            if (!m_open || !execute(m_db, "COMMIT"))
                return false;
            m_open = false;
            return true;
        }

    private:
        sqlite3* m_db;
        bool m_open;
    };

} // namespace

bool MessageStore::Table::has(std::string_view column) const
{
    std::string wanted = lowercase(column);
    return std::find(columns.begin(), columns.end(), wanted) != columns.end();
}

foundation::Result<std::unique_ptr<MessageStore>> MessageStore::open(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return foundation::Error("no Messages database at " + path.string());

    sqlite3* db = nullptr;
    bool readOnly = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
        readOnly = true;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            std::string error = "cannot open " + path.string() + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
            sqlite3_close(db);
            return foundation::Error(error);
        }
    }
    sqlite3_busy_timeout(db, 2000);
    registerReadFunction(db);
    std::unique_ptr<MessageStore> store(new MessageStore(db, path, readOnly));
    if (auto loaded = store->load(); !loaded)
        return loaded.error().prefixed(path.string() + ": ");
    return store;
}

MessageStore::MessageStore(sqlite3* db, std::filesystem::path path, bool readOnly)
    : m_db(db)
    , m_databasePath(std::move(path))
    , m_folder(m_databasePath.parent_path())
    , m_readOnly(readOnly)
{
}

MessageStore::~MessageStore()
{
    m_selectOne = Statement();
    m_prepared.clear();
    sqlite3_close(m_db);
}

MessageStore::Table MessageStore::describe(const std::string& table)
{
    Table description;
    description.exists = std::find(m_tables.begin(), m_tables.end(), table) != m_tables.end();
    if (!description.exists)
        return description;
    Statement info(m_db, "PRAGMA table_info(" + quoteIdentifier(table) + ")");
    while (info.step())
        description.columns.push_back(lowercase(info.text(1).value_or("")));
    return description;
}

foundation::Result<void> MessageStore::load()
{
    using foundation::Error;
    Statement tables(m_db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (tables.step())
        m_tables.push_back(lowercase(tables.text(0).value_or("")));
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
    if (Statement mode(m_db, "PRAGMA journal_mode"); mode.step() && lowercase(mode.text(0).value_or("")) == "wal")
        execute(m_db, "PRAGMA synchronous = NORMAL");
    m_selectOne = Statement(m_db, "SELECT " + selectList() + " FROM message WHERE ROWID = ?");
    if (!m_selectOne.isValid())
        return Error(std::string("cannot read the message table (") + sqlite3_errmsg(m_db) + ")");
    return foundation::success();
}

bool MessageStore::hasMadridColumns() const { return m_hasColumn[IsMadrid] && m_hasColumn[MadridHandle]; }

std::string MessageStore::selectList() const
{
    std::string list = "ROWID";
    for (int column = 0; column < ColumnCount; ++column) {
        list += ", ";
        list += m_hasColumn[column] ? quoteIdentifier(columnNames[column]) : "NULL";
    }
    return list;
}

StoredMessage MessageStore::readRow(const Statement& row) const
{
    auto integer = [&](Column c) { return row.integer(1 + c).value_or(0); };
    StoredMessage m;
    m.rowID = row.integer(0).value_or(0);
    m.address = row.text(1 + Address);
    m.text = row.text(1 + Text);
    m.date = integer(Date);
    m.flags = integer(Flags);
    m.read = row.integer(1 + Read);
    m.groupID = integer(GroupID);
    m.isMadrid = integer(IsMadrid) != 0;
    m.madridHandle = row.text(1 + MadridHandle);
    m.madridGuid = row.text(1 + MadridGuid);
    m.madridAccount = row.text(1 + MadridAccount);
    m.madridAccountGuid = row.text(1 + MadridAccountGuid);
    m.madridService = row.text(1 + MadridService);
    m.madridRoomname = row.text(1 + MadridRoomname);
    m.madridFlags = integer(MadridFlags);
    m.madridError = integer(MadridError);
    m.madridDateRead = integer(MadridDateRead);
    m.madridDateDelivered = integer(MadridDateDelivered);
    return m;
}

std::optional<StoredMessage> MessageStore::message(int64_t rowID)
{
    std::lock_guard guard(m_lock);
    m_selectOne.reset();
    m_selectOne.bind(1, rowID);
    if (!m_selectOne.step()) {
        m_selectOne.reset();
        return std::nullopt;
    }
    StoredMessage m = readRow(m_selectOne);
    m_selectOne.reset();
    return m;
}

std::vector<MessageSummary> MessageStore::list()
{
    std::lock_guard guard(m_lock);
    std::vector<MessageSummary> rows;
    Statement all(m_db, "SELECT " + selectList() + " FROM message ORDER BY ROWID");
    while (all.step()) {
        StoredMessage m = readRow(all);
        rows.push_back({ m.rowID, m.peer(), m.text.value_or(""), m.kind(), m.isOutgoing(), m.isRead(), m.unixDate() });
    }
    return rows;
}

std::optional<std::filesystem::path> MessageStore::hostPathFor(std::string_view devicePath, std::string_view relativeFolder) const
{
    std::string path(devicePath);
    if (startsWith(path, "~/"))
        path = "/var/mobile/" + path.substr(2);
    if (startsWith(path, "/private/var/"))
        path = path.substr(8);
    std::string relative;
    std::string folder = std::string(smsFolderDevicePath) + "/";
    if (startsWith(path, folder))
        relative = path.substr(folder.size());
    else if (!path.empty() && path[0] != '/')
        relative = std::string(relativeFolder) + "/" + path;
    else
        return std::nullopt;
    std::filesystem::path result = m_folder;
    for (const auto& component : std::filesystem::path(relative)) {
        if (component == ".." || component == ".")
            return std::nullopt;
        if (!component.empty())
            result /= component;
    }
    if (result == m_folder)
        return std::nullopt;
    return result;
}

MessageStore::Lease MessageStore::prepared(const std::string& sql)
{
    auto entry = m_prepared.try_emplace(sql).first;
    // A statement that could not be prepared (a busy schema) is tried again.
    if (!entry->second.statement.isValid())
        entry->second.statement = Statement(m_db, sql);
    if (entry->second.leased)
        return Lease(Statement(m_db, sql));
    return Lease(entry->second);
}

std::vector<StoredPart> MessageStore::piecesOf(const StoredMessage& m)
{
    std::vector<StoredPart> parts;
    if (!m_pieces.exists || !m_pieces.has("message_id"))
        return parts;
    auto column = [&](const char* name) { return m_pieces.has(name) ? quoteIdentifier(name) : std::string("NULL"); };
    auto pieces = prepared("SELECT " + column("content_type") + ", " + column("data") + ", " + column("content_loc") + " FROM msg_pieces WHERE message_id = ? ORDER BY "
        + (m_pieces.has("part_id") ? "part_id, " : "") + "ROWID");
    pieces->bind(1, m.rowID);
    while (pieces->step()) {
        std::string type = lowercase(pieces->text(0).value_or(""));
        if (type.starts_with("application/smil"))
            continue;
        StoredPart part;
        if (type.starts_with("text/plain")) {
            part.kind = StoredPart::Kind::Text;
            part.text = pieces->text(1).value_or("");
            if (!part.text.empty())
                parts.push_back(std::move(part));
            continue;
        }
        part.kind = StoredPart::Kind::Media;
        part.mimeType = type;
        std::string location = pieces->text(2).value_or("");
        part.filename = safeFilename(location, type);
        std::error_code ec;
        if (auto host = location.empty() ? std::nullopt : hostPathFor(location, "Parts"); host && std::filesystem::is_regular_file(*host, ec)) {
            part.devicePath = location.starts_with("/") ? location : std::string(smsFolderDevicePath) + "/Parts/" + location;
            part.hostPath = *host;
        } else {
            part.inlineData = pieces->blob(1);
            if (part.inlineData.empty()) {
                log("MMS part " + location + " of message " + std::to_string(m.rowID) + " has no file");
                continue;
            }
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

std::vector<StoredPart> MessageStore::attachmentsOf(const StoredMessage& m)
{
    std::vector<StoredPart> parts;
    if (!m_attachment.exists || !m_attachment.has("message_id") || !m_attachment.has("filename"))
        return parts;
    auto column = [&](const char* name) { return m_attachment.has(name) ? quoteIdentifier(name) : std::string("NULL"); };
    auto rows = prepared("SELECT filename, " + column("mime_type") + ", " + column("attachment_guid") + " FROM madrid_attachment WHERE message_id = ? ORDER BY ROWID");
    rows->bind(1, m.rowID);
    while (rows->step()) {
        std::string filename = rows->text(0).value_or("");
        std::error_code ec;
        auto host = hostPathFor(filename, "Attachments");
        if (!host || !std::filesystem::is_regular_file(*host, ec)) {
            log("attachment " + filename + " of message " + std::to_string(m.rowID) + " is missing");
            continue;
        }
        StoredPart part;
        part.kind = StoredPart::Kind::Media;
        part.mimeType = lowercase(rows->text(1).value_or("application/octet-stream"));
        part.filename = safeFilename(filename, part.mimeType);
        part.devicePath = filename;
        part.hostPath = *host;
        part.transferGUID = rows->text(2).value_or("");
        parts.push_back(std::move(part));
    }
    return parts;
}

std::vector<StoredPart> MessageStore::parts(const StoredMessage& m)
{
    std::lock_guard guard(m_lock);
    std::vector<StoredPart> parts = m.isMadrid ? std::vector<StoredPart> {} : piecesOf(m);
    bool piecesHaveText = std::any_of(parts.begin(), parts.end(), [](const auto& p) { return p.kind == StoredPart::Kind::Text; });
    if (!piecesHaveText && m.text && !m.text->empty()) {
        StoredPart text;
        text.text = *m.text;
        parts.insert(parts.begin(), std::move(text));
    }
    if (m.isMadrid) {
        auto media = attachmentsOf(m);
        std::move(media.begin(), media.end(), std::back_inserter(parts));
    }
    return parts;
}

bool MessageStore::canWrite(std::string_view what)
{
    if (!m_readOnly)
        return true;
    log(std::string("the Messages database is read-only; cannot ") + std::string(what));
    return false;
}

std::optional<int64_t> MessageStore::insertRow(const std::string& table, const Table& description, const std::vector<std::pair<std::string, SQLValue>>& values)
{
    std::string names;
    std::string marks;
    std::vector<const SQLValue*> bound;
    for (const auto& [name, value] : values) {
        if (!description.has(name))
            continue;
        names += (names.empty() ? "" : ", ") + quoteIdentifier(name);
        marks += marks.empty() ? "?" : ", ?";
        bound.push_back(&value);
    }
    if (names.empty())
        return std::nullopt;
    auto insert = prepared("INSERT INTO " + quoteIdentifier(table) + " (" + names + ") VALUES (" + marks + ")");
    for (size_t i = 0; i < bound.size(); ++i)
        insert->bind(static_cast<int>(i + 1), *bound[i]);
    if (!insert->run())
        return std::nullopt;
    return sqlite3_last_insert_rowid(m_db);
}

std::optional<int64_t> MessageStore::groupForLocked(const std::vector<std::string>& addresses, bool create)
{
    if (addresses.empty() || !m_group.exists || !m_member.exists || !m_member.has("group_id") || !m_member.has("address"))
        return std::nullopt;
    std::map<int64_t, std::vector<std::string>> groups;
    Statement members(m_db, "SELECT group_id, address FROM group_member ORDER BY group_id, ROWID");
    while (members.step()) {
        if (auto group = members.integer(0))
            groups[*group].push_back(members.text(1).value_or(""));
    }
    for (const auto& [group, groupMembers] : groups) {
        if (groupMembers.size() != addresses.size())
            continue;
        bool all = std::all_of(addresses.begin(), addresses.end(), [&](const std::string& address) {
            return std::any_of(groupMembers.begin(), groupMembers.end(), [&](const std::string& member) { return addressesMatch(address, member); });
        });
        if (all)
            return group;
    }
    if (!create || !canWrite("start a conversation"))
        return std::nullopt;
    auto group = insertRow("msg_group", m_group,
        { { "type", int64_t(addresses.size() > 1 ? 1 : 0) }, { "newest_message", int64_t(0) }, { "unread_count", int64_t(0) }, { "hash", int64_t(groupHash(addresses)) } });
    if (!group)
        return std::nullopt;
    for (const auto& address : addresses) {
        if (!insertRow("group_member", m_member, { { "group_id", *group }, { "address", address }, { "country", std::monostate {} } }))
            return std::nullopt;
    }
    return group;
}

std::optional<int64_t> MessageStore::groupFor(const std::vector<std::string>& addresses, bool create)
{
    std::lock_guard guard(m_lock);
    if (!create)
        return groupForLocked(addresses, false);
    Transaction transaction(m_db);
    if (!transaction.isOpen())
        return std::nullopt;
    auto group = groupForLocked(addresses, true);
    if (!group || !transaction.commit())
        return std::nullopt;
    return group;
}

std::vector<std::string> MessageStore::groupMembers(int64_t groupID)
{
    std::lock_guard guard(m_lock);
    std::vector<std::string> members;
    if (!m_member.exists || !m_member.has("group_id") || !m_member.has("address"))
        return members;
    auto rows = prepared("SELECT address FROM group_member WHERE group_id = ? ORDER BY ROWID");
    rows->bind(1, groupID);
    while (rows->step()) {
        if (auto address = rows->text(0))
            members.push_back(*address);
    }
    return members;
}

bool MessageStore::ensureChatLocked(const std::string& handle)
{
    if (!m_chat.exists || !m_chat.has("chat_identifier"))
        return false;
    auto existing = prepared("SELECT 1 FROM madrid_chat WHERE chat_identifier = ?");
    existing->bind(1, handle);
    if (existing->step())
        return true;
    if (existing->failed() || !canWrite("start an iMessage chat"))
        return false;
    chatkit::MadridAccount account = madridAccount();
    return insertRow("madrid_chat", m_chat,
        { { "style", singleChatStyle }, { "state", joinedChatState }, { "account_id", account.guid }, { "chat_identifier", handle },
            { "service_name", std::string(madridServiceName) }, { "guid", std::string(madridServiceName) + ";-;" + handle },
            { "account_login", account.login } })
        .has_value();
}

bool MessageStore::hasChat(const std::string& handle)
{
    std::lock_guard guard(m_lock);
    if (!m_chat.exists || !m_chat.has("chat_identifier"))
        return false;
    auto existing = prepared("SELECT 1 FROM madrid_chat WHERE chat_identifier = ?");
    existing->bind(1, handle);
    return existing->step();
}

bool MessageStore::ensureChat(const std::string& handle)
{
    std::lock_guard guard(m_lock);
    return ensureChatLocked(handle);
}

bool MessageStore::writeAttachment(int64_t messageRowID, const Attachment& attachment, double unixDate, bool incoming, std::vector<std::filesystem::path>& written)
{
    if (!m_attachment.exists) {
        log("this Messages database has no madrid_attachment table");
        return false;
    }
    std::string guid = foundation::uuidString();
    std::string filename = safeFilename(attachment.filename, attachment.mimeType);
    std::string relative = "Attachments/" + guid.substr(34, 2) + "/" + guid.substr(0, 2) + "/" + guid + "/" + filename;
    std::filesystem::path host = m_folder / relative;
    std::error_code ec;
    std::filesystem::create_directories(host.parent_path(), ec);
    {
        std::ofstream out(host, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        written.push_back(host);
        out.write(reinterpret_cast<const char*>(attachment.data.data()), static_cast<std::streamsize>(attachment.data.size()));
        if (!out.flush())
            return false;
    }
    int64_t date = macDate(unixDate);
    return insertRow("madrid_attachment", m_attachment,
        { { "attachment_guid", guid }, { "created_date", date }, { "start_date", date },
            { "filename", std::string(smsFolderDevicePath) + "/" + relative }, { "uti_type", utiFor(attachment.mimeType) },
            { "mime_type", attachment.mimeType }, { "transfer_state", transferFinished }, { "is_incoming", int64_t(incoming ? 1 : 0) },
            { "message_id", messageRowID } })
        .has_value();
}

void MessageStore::bumpCounter(const char* key)
{
    if (!m_properties.exists)
        return;
    auto update = prepared("UPDATE _SqliteDatabaseProperties SET value = CAST(CAST(value AS INTEGER) + 1 AS TEXT) WHERE key = ?");
    update->bind(1, std::string(key));
    update->run();
}

foundation::Result<int64_t> MessageStore::insert(const NewMessage& m)
{
    // Logged where it happens, as the frameworks do, and handed up with it.
    auto refuse = [](std::string reason) {
        log(reason);
        return foundation::Error(std::move(reason));
    };
    std::lock_guard guard(m_lock);
    if (m_readOnly)
        return refuse("the Messages database is read-only; cannot write a message");
    bool madrid = m.kind == MessageKind::IMessage;
    if (madrid && !hasMadridColumns())
        return refuse("this Messages database predates iMessage; cannot write an iMessage");
    if (!madrid && !m.attachments.empty())
        return refuse("picture messages go by iMessage; an SMS carries text only");
    double date = m.unixDate > 0 ? m.unixDate : unixNow();
    Transaction transaction(m_db);
    if (!transaction.isOpen())
        return refuse(std::string("cannot write to the Messages database: ") + sqlite3_errmsg(m_db));

    std::vector<std::pair<std::string, SQLValue>> values;
    if (madrid) {
        chatkit::MadridAccount account = madridAccount();
        bool data = textHasDetectedData(m.text);
        int64_t flags = m.outgoing ? (data ? madridflags::SentWithData : madridflags::Sent) : (data ? madridflags::ReceivedWithData : madridflags::Received);
        values = {
            { "date", macDate(date) },
            { "text", m.text },
            { "flags", int64_t(0) },
            { "read", int64_t(m.outgoing ? 1 : 0) },
            { "is_madrid", int64_t(1) },
            { "madrid_handle", m.address },
            { "madrid_guid", m.guid.empty() ? foundation::uuidString() : m.guid },
            { "madrid_type", int64_t(0) },
            { "madrid_service", std::string(madridServiceName) },
            { "madrid_account", account.login },
            { "madrid_account_guid", account.guid },
            { "madrid_flags", flags },
            { "madrid_error", int64_t(0) },
            { "madrid_date_read", int64_t(0) },
            { "madrid_date_delivered", int64_t(0) },
        };
        if (!ensureChatLocked(m.address))
            log("no madrid_chat row for " + m.address);
    } else {
        auto group = m.groupID ? m.groupID : groupForLocked({ m.address }, true);
        values = {
            { "address", m.address },
            { "date", std::llround(date) },
            { "text", m.text },
            { "flags", m.outgoing ? smsflags::Sent : smsflags::ReceivedUnread },
            { "replace", int64_t(0) },
            { "group_id", group.value_or(0) },
            { "association_id", int64_t(0) },
            { "height", int64_t(0) },
            { "UIFlags", int64_t(0) },
            { "version", int64_t(0) },
            { "read", int64_t(m.outgoing ? 1 : 0) },
            { "is_madrid", int64_t(0) },
        };
    }
    auto rowID = insertRow("message", m_message, values);
    if (!rowID)
        return refuse(std::string("cannot write the message: ") + sqlite3_errmsg(m_db));
    // Attachment files written before a later failure go again: the row
    // that would have named them is rolled back.
    std::vector<std::filesystem::path> written;
    bool committed = false;
    auto removeWritten = [&] {
        if (committed)
            return;
        for (const auto& file : written) {
            std::error_code ec;
            std::filesystem::remove(file, ec);
        }
    };
    struct Cleanup {
        std::function<void()> run;
        ~Cleanup() { run(); }
    } cleanup { removeWritten };
    for (const auto& attachment : m.attachments) {
        if (!writeAttachment(*rowID, attachment, date, !m.outgoing, written))
            return refuse("cannot store the attachment " + attachment.filename);
    }
    bumpCounter(m.outgoing ? "counter_out_all" : "counter_in_all");
    if (!transaction.commit())
        return refuse(std::string("cannot write the message: ") + sqlite3_errmsg(m_db));
    committed = true;
    return *rowID;
}

bool MessageStore::markAsRead(int64_t rowID)
{
    std::lock_guard guard(m_lock);
    m_selectOne.reset();
    m_selectOne.bind(1, rowID);
    if (!m_selectOne.step()) {
        m_selectOne.reset();
        return false;
    }
    StoredMessage m = readRow(m_selectOne);
    m_selectOne.reset();
    if (m.isRead())
        return true;
    if (!canWrite("mark a message read"))
        return false;
    std::string assignments;
    auto add = [&](const char* assignment) { assignments += (assignments.empty() ? "" : ", ") + std::string(assignment); };
    if (m_message.has("read"))
        add("read = 1");
    if (m.isMadrid) {
        if (m_message.has("madrid_date_read"))
            add("madrid_date_read = ?");
    } else if (m_message.has("flags")) {
        add("flags = IFNULL(flags, 0) | 2");
    }
    if (assignments.empty())
        return false;
    auto update = prepared("UPDATE message SET " + assignments + " WHERE ROWID = ?");
    int index = 1;
    if (m.isMadrid && m_message.has("madrid_date_read"))
        update->bind(index++, macDate(unixNow()));
    update->bind(index, rowID);
    return update->run();
}

bool MessageStore::markGroupRead(int64_t groupID)
{
    std::lock_guard guard(m_lock);
    if (!m_message.has("group_id") || !m_message.has("flags") || !canWrite("mark a conversation read"))
        return false;
    std::string sql = "UPDATE message SET flags = IFNULL(flags, 0) | 2";
    if (m_message.has("read"))
        sql += ", read = 1 WHERE group_id = ? AND (IFNULL(flags, 0) & 1) = 0 AND IFNULL(read, 0) = 0";
    else
        sql += " WHERE group_id = ? AND (IFNULL(flags, 0) & 3) = 0";
    if (m_hasColumn[IsMadrid])
        sql += " AND IFNULL(is_madrid, 0) = 0";
    auto update = prepared(sql);
    update->bind(1, groupID);
    return update->run();
}

bool MessageStore::markHandleRead(const std::string& handle)
{
    std::lock_guard guard(m_lock);
    if (!hasMadridColumns() || !m_message.has("read") || !canWrite("mark a conversation read"))
        return false;
    std::string sql = "UPDATE message SET read = 1";
    if (m_message.has("madrid_date_read"))
        sql += ", madrid_date_read = ?2";
    sql += " WHERE is_madrid = 1 AND madrid_handle = ?1 AND IFNULL(read, 0) = 0";
    if (m_message.has("madrid_flags"))
        sql += " AND (IFNULL(madrid_flags, 0) & 4) = 0";
    auto update = prepared(sql);
    update->bind(1, handle);
    if (m_message.has("madrid_date_read"))
        update->bind(2, macDate(unixNow()));
    return update->run();
}

bool MessageStore::setUnreadCount(int64_t groupID, int64_t count)
{
    std::lock_guard guard(m_lock);
    if (!m_group.has("unread_count") || !canWrite("set an unread count"))
        return false;
    auto update = prepared("UPDATE msg_group SET unread_count = ? WHERE ROWID = ?");
    update->bind(1, std::max<int64_t>(count, 0)).bind(2, groupID);
    return update->run() && sqlite3_changes(m_db) > 0;
}

std::optional<int64_t> MessageStore::unreadCount(int64_t groupID)
{
    std::lock_guard guard(m_lock);
    if (!m_group.has("unread_count"))
        return std::nullopt;
    auto query = prepared("SELECT unread_count FROM msg_group WHERE ROWID = ?");
    query->bind(1, groupID);
    if (!query->step())
        return std::nullopt;
    return query->integer(0).value_or(0);
}

} // namespace chatkit
