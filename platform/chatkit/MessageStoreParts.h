// What the message store's files share and nobody else needs: the column
// map, the constants of the iOS 5 layout, the dates the phone stores, safe
// attachment names and the transaction scope. Internal to chatkit.
#pragma once

#include "AddressMatching.h"
#include "MessageRecord.h"
#include "Statement.h"

#include <foundation/Strings.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chatkit::storeparts {

inline constexpr const char* columnNames[] = {
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

inline constexpr const char* madridServiceName = "Madrid";
// madrid_chat.style of a chat with one other person, and the state of a
// chat the user has joined.
inline constexpr int64_t singleChatStyle = 45;
inline constexpr int64_t joinedChatState = 3;
// madrid_attachment.transfer_state of a finished transfer.
inline constexpr int64_t transferFinished = 5;

inline int64_t macDate(double unixDate) { return std::llround(unixDate) - MacEpochOffset; }

// A file name safe to put in a folder of its own: no separators, no
// parent references.
inline std::string safeFilename(std::string_view name, std::string_view mimeType)
{
    std::string base(name.substr(name.find_last_of("/\\") == std::string_view::npos ? 0 : name.find_last_of("/\\") + 1));
    if (base.empty() || base == "." || base == "..")
        base = mimeType == "image/png" ? "image.png" : mimeType.starts_with("image/") ? "image.jpg"
                                                                                      : "attachment";
    return base;
}

inline std::string utiFor(std::string_view mimeType)
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

inline uint32_t groupHash(const std::vector<std::string>& addresses)
{
    std::vector<std::string> keys;
    for (const auto& address : addresses) {
        std::string digits = digitsOf(address);
        keys.push_back(isPhoneNumber(address) && digits.size() >= 7 ? digits.substr(digits.size() - 7) : foundation::lowercase(foundation::trimmed(address)));
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

} // namespace chatkit::storeparts
