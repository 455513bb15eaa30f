// SMS conversations (msg_group, group_member) and iMessage chats
// (madrid_chat): finding or starting one, and their read state.
#include "MessageStore.h"
#include "MessageStoreParts.h"

#include "Configuration.h"

#include <map>
#include <sqlite3.h>

namespace chatkit {

using namespace storeparts;

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
    for (const auto& [group, boundMembers] : groups) {
        // clang 14 (the fuzz build) lets no lambda capture a structured binding.
        const auto& groupMembers = boundMembers;
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
