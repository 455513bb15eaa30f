#include "MailOutbox.h"

#include "MailConfiguration.h"

#include <foundation/Uuid.h>

#include <algorithm>

namespace mail {

namespace {

    bool isBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

    void dropBlankEntries(std::vector<std::string>& entries) { std::erase_if(entries, isBlank); }

    std::string formattedAccount(const MailAccount& account)
    {
        if (account.displayName.empty())
            return account.address;
        // Quoted, so a name with a comma or an @ stays one mailbox.
        std::string name;
        for (char c : account.displayName) {
            if (c == '"' || c == '\\')
                name += '\\';
            name += c;
        }
        return "\"" + name + "\" <" + account.address + ">";
    }

    enum class Check {
        Addresses,
        Nothing,
    };

    // Fills in what the phone adds to every mail it writes.
    std::optional<std::string> complete(MailMessage& message, Check check)
    {
        auto account = mailAccount();
        if (!account)
            return "No mail account";
        message.from = formattedAccount(*account);
        message.date = mailNow();
        message.messageID = newMessageID();
        dropBlankEntries(message.to);
        dropBlankEntries(message.cc);
        dropBlankEntries(message.bcc);
        if (check == Check::Nothing)
            return std::nullopt;
        for (const auto* list : { &message.to, &message.cc, &message.bcc }) {
            for (const auto& entry : *list) {
                if (!isValidMailAddress(entry))
                    return "Invalid address: " + entry;
            }
        }
        return std::nullopt;
    }

    foundation::Result<std::string> store(std::string_view folder, const MailMessage& message)
    {
        auto bytes = writeMime(message);
        if (!bytes)
            return foundation::Error("Cannot build the message");
        auto entry = MailFolder(folder).add(*bytes);
        if (!entry)
            return foundation::Error("Cannot write " + std::string(folder));
        return entry->devicePath;
    }

} // namespace

std::string newMessageID()
{
    std::string domain = "localhost";
    if (auto account = mailAccount()) {
        auto at = account->address.rfind('@');
        if (at != std::string::npos && at + 1 < account->address.size())
            domain = account->address.substr(at + 1);
    }
    return foundation::uuidString() + "@" + domain;
}

foundation::Result<std::string> queueMail(MailMessage message)
{
    if (auto error = complete(message, Check::Addresses))
        return foundation::Error(*error);
    if (message.to.empty() && message.cc.empty() && message.bcc.empty())
        return foundation::Error("No recipients");
    return store(OutboxFolder, message);
}

foundation::Result<std::string> saveDraft(MailMessage message)
{
    if (auto error = complete(message, Check::Nothing))
        return foundation::Error(*error);
    return store(DraftsFolder, message);
}

std::vector<StoredMail> listOutbox() { return MailFolder(OutboxFolder).messages(); }

std::vector<StoredMail> listDrafts() { return MailFolder(DraftsFolder).messages(); }

} // namespace mail
