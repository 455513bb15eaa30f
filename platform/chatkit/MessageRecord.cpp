#include "MessageRecord.h"

#include <cctype>
#include <limits>

namespace chatkit {

bool smsFlagsAreOutgoing(int64_t flags) { return flags & smsflags::FromMe; }

bool madridFlagsAreOutgoing(int64_t madridFlags) { return madridFlags & madridflags::FromMe; }

bool smsFlagsAreRead(int64_t flags) { return flags & smsflags::Complete; }

bool textHasDetectedData(const std::string& text)
{
    if (text.find("http://") != std::string::npos || text.find("https://") != std::string::npos || text.find("www.") != std::string::npos)
        return true;
    auto at = text.find('@');
    if (at != std::string::npos && at > 0 && text.find('.', at) != std::string::npos)
        return true;
    // A run of seven or more digits, allowing the separators people type.
    int digits = 0;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            if (++digits >= 7)
                return true;
        } else if (c != ' ' && c != '-' && c != '(' && c != ')' && c != '+' && c != '.') {
            digits = 0;
        }
    }
    return false;
}

bool StoredMessage::isOutgoing() const
{
    return isMadrid ? madridFlagsAreOutgoing(madridFlags) : smsFlagsAreOutgoing(flags);
}

bool StoredMessage::isRead() const
{
    if (isOutgoing())
        return true;
    if (read)
        return *read != 0;
    return isMadrid ? madridDateRead != 0 : smsFlagsAreRead(flags);
}

int64_t StoredMessage::unixDate() const
{
    if (date == 0)
        return 0;
    if (!isMadrid)
        return date;
    // A database that holds a nonsense date (a text or a huge number where a
    // time belongs) must not overflow: the latest representable time stands in.
    int64_t unix = 0;
    if (__builtin_add_overflow(date, MacEpochOffset, &unix))
        return std::numeric_limits<int64_t>::max();
    return unix;
}

std::string StoredMessage::peer() const
{
    const auto& first = isMadrid ? madridHandle : address;
    const auto& second = isMadrid ? address : madridHandle;
    if (first && !first->empty())
        return *first;
    return second.value_or("");
}

std::string StoredMessage::accountGUID() const
{
    if (!isMadrid)
        return {};
    if (madridAccountGuid && !madridAccountGuid->empty())
        return *madridAccountGuid;
    if (madridAccount && !madridAccount->empty())
        return *madridAccount;
    return "Madrid";
}

std::string_view kindName(MessageKind kind)
{
    return kind == MessageKind::IMessage ? "iMessage" : "sms";
}

} // namespace chatkit
