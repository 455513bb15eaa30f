// Reading rows and their parts (text pieces, media files) back.
#include "MessageStore.h"
#include "MessageStoreParts.h"

#include "Configuration.h"
#include "Schema.h"

#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace chatkit {

using namespace storeparts;

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
    while (all.step())
        rows.push_back(summaryOf(all));
    return rows;
}

std::vector<MessageSummary> MessageStore::newest(size_t limit)
{
    std::lock_guard guard(m_lock);
    std::vector<MessageSummary> rows;
    if (limit == 0)
        return rows;
    auto latest = prepared("SELECT " + selectList() + " FROM message ORDER BY ROWID DESC LIMIT ?");
    latest->bind(1, SQLValue(static_cast<int64_t>(std::min<size_t>(limit, std::numeric_limits<int64_t>::max()))));
    while (latest->step())
        rows.push_back(summaryOf(*latest));
    std::reverse(rows.begin(), rows.end());
    return rows;
}

int64_t MessageStore::count()
{
    std::lock_guard guard(m_lock);
    auto rows = prepared("SELECT COUNT(*) FROM message");
    return rows->step() ? rows->integer(0).value_or(0) : 0;
}

MessageSummary MessageStore::summaryOf(const Statement& row) const
{
    StoredMessage m = readRow(row);
    return { m.rowID, m.peer(), m.text.value_or(""), m.kind(), m.isOutgoing(), m.isRead(), m.unixDate() };
}

std::vector<StoredPart> MessageStore::piecesOf(const StoredMessage& m)
{
    std::vector<StoredPart> parts;
    if (!m_pieces.exists || !m_pieces.has("message_id"))
        return parts;
    if (m_piecesQuery.empty()) {
        auto column = [&](const char* name) { return m_pieces.has(name) ? quoteIdentifier(name) : std::string("NULL"); };
        m_piecesQuery = "SELECT " + column("content_type") + ", " + column("data") + ", " + column("content_loc") + " FROM msg_pieces WHERE message_id = ? ORDER BY "
            + (m_pieces.has("part_id") ? "part_id, " : "") + "ROWID";
    }
    auto pieces = prepared(m_piecesQuery);
    pieces->bind(1, m.rowID);
    while (pieces->step()) {
        std::string type = foundation::lowercase(pieces->text(0).value_or(""));
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
        part.mimeType = foundation::lowercase(rows->text(1).value_or("application/octet-stream"));
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

} // namespace chatkit
