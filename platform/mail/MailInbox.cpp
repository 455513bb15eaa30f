#include "MailInbox.h"

#include "MailConfiguration.h"
#include "MailOutbox.h"

namespace mail {

namespace {

    ReceivedMail received(const MailMessage& message)
    {
        return { messageReference(message.messageID), message.from, message.subject, message.body, message.date };
    }

} // namespace

std::string messageReference(std::string_view messageID)
{
    std::string reference = "message://%3c";
    // The identifier's own characters that a URL cannot carry are escaped.
    static constexpr char hex[] = "0123456789ABCDEF";
    for (unsigned char c : messageID) {
        if (c <= 0x20 || c >= 0x7F || c == '%' || c == '<' || c == '>' || c == '"' || c == '#' || c == '?') {
            reference += '%';
            reference += hex[c >> 4];
            reference += hex[c & 0xF];
        } else {
            reference += static_cast<char>(c);
        }
    }
    return reference + "%3e";
}

std::optional<std::string> receiveMail(const std::string& from, const std::string& subject, const std::string& body)
{
    if (!isValidMailAddress(from) || body.size() > MaximumReceivedBody)
        return std::nullopt;
    MailMessage message;
    message.from = from;
    if (auto account = mailAccount())
        message.to = { account->address };
    message.subject = subject;
    message.body = body;
    message.date = mailNow();
    message.messageID = newMessageID();
    auto bytes = writeMime(message);
    if (!bytes || !MailFolder(InboxFolder).add(*bytes))
        return std::nullopt;
    return messageReference(message.messageID);
}

std::vector<ReceivedMail> listInbox()
{
    std::vector<ReceivedMail> result;
    for (const auto& stored : MailFolder(InboxFolder).messages())
        result.push_back(received(stored.message));
    return result;
}

std::optional<ReceivedMail> findInboxMail(std::string_view reference)
{
    for (const auto& stored : MailFolder(InboxFolder).messages()) {
        if (messageReference(stored.message.messageID) == reference)
            return received(stored.message);
    }
    return std::nullopt;
}

} // namespace mail
