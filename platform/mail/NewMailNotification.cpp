#include "NewMailNotification.h"

#include <foundation/PlistWriter.h>
#include <runtime/Runtime.h>

namespace mail {

using foundation::PlistArray;
using foundation::PlistDictionary;
using foundation::PlistValue;

namespace {

    bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

    bool isContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

std::string bodySummary(std::string_view body)
{
    std::string summary;
    summary.reserve(std::min(body.size(), BodySummaryLength * 4));
    size_t characters = 0;
    bool pendingSpace = false;
    for (size_t i = 0; i < body.size(); ++i) {
        auto c = static_cast<unsigned char>(body[i]);
        if (isSpace(c)) {
            pendingSpace = !summary.empty();
            continue;
        }
        if (!isContinuationByte(c)) {
            if (characters + (pendingSpace ? 1 : 0) >= BodySummaryLength)
                break;
            if (pendingSpace) {
                summary += ' ';
                ++characters;
                pendingSpace = false;
            }
            ++characters;
        }
        summary += static_cast<char>(c);
    }
    return summary;
}

PlistValue newMailUserInfo(const std::vector<ReceivedMail>& mails)
{
    PlistArray messages;
    for (const auto& mail : mails) {
        PlistDictionary entry;
        entry.set(std::string(MSResultsKeyMessageReference), mail.reference);
        entry.set(std::string(MSResultsKeyBodySummary), bodySummary(mail.body));
        entry.set(std::string(MSResultsKeySender), mail.sender);
        entry.set(std::string(MSResultsKeySubject), mail.subject);
        messages.emplace_back(std::move(entry));
    }
    PlistDictionary userInfo;
    userInfo.set(std::string(MSNotificationKeyMessages), std::move(messages));
    return userInfo;
}

bool postNewMailNotification(const std::vector<std::string>& references)
{
    runtime::Class* serviceClass = runtime::classNamed("MSNotificationService");
    if (!serviceClass)
        return false;
    std::vector<ReceivedMail> mails;
    for (const auto& reference : references) {
        if (auto mail = findInboxMail(reference))
            mails.push_back(std::move(*mail));
    }
    if (mails.empty())
        return false;
    runtime::Id service = runtime::send<runtime::Id>(serviceClass, "sharedInstance");
    if (!service)
        return false;
    PlistValue userInfo = newMailUserInfo(mails);
    runtime::send(service, "_didReceiveNotificationData:userInfo:", foundation::writeBinaryPlist(userInfo), userInfo);
    return true;
}

std::optional<PlistValue> valueForKey(const PlistValue& value, std::string_view key)
{
    if (const auto* dictionary = value.asDictionary()) {
        if (const auto* found = dictionary->find(key))
            return *found;
        return std::nullopt;
    }
    if (const auto* array = value.asArray()) {
        PlistArray values;
        values.reserve(array->size());
        for (const auto& element : *array) {
            auto found = valueForKey(element, key);
            values.push_back(found ? std::move(*found) : PlistValue(PlistDictionary {}));
        }
        return PlistValue(std::move(values));
    }
    return std::nullopt;
}

} // namespace mail
