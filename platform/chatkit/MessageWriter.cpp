// Writing messages the way the phone's frameworks leave them: the row, its
// attachment files, the counters, and the read state.
#include "MessageStore.h"
#include "MessageStoreParts.h"

#include "Configuration.h"
#include "Schema.h"

#include <foundation/Uuid.h>

#include <fstream>
#include <functional>
#include <sqlite3.h>

namespace chatkit {

using namespace storeparts;

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
        auto group = m.groupID ? m.groupID : groupForLocked(m.groupAddresses.empty() ? std::vector { m.address } : m.groupAddresses, true);
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

} // namespace chatkit
