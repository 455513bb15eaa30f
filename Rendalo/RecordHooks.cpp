// Where Rendalo's record comes from: an incoming SMS as ChatKit builds its
// message object, and the Mail service's new-mail notification, which is
// tied to the last mail banner by the banner's launch URL.
#include "Hooks.h"

#include "RDL.h"
#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>

#include <optional>

namespace rendalo::hooks {

using foundation::PlistValue;
using kelvane::KelvaneLogger;
using runtime::send;

namespace {

    constexpr std::string_view MessagesKey = "MSNotificationKeyMessages";
    constexpr std::string_view ReferenceKey = "MSResultsKeyMessageReference";
    constexpr std::string_view BodyKey = "MSResultsKeyBodySummary";
    constexpr std::string_view SenderKey = "MSResultsKeySender";
    constexpr std::string_view SubjectKey = "MSResultsKeySubject";

    // `valueForKey:` as the platform answers it: a dictionary its value; a
    // list the list of each element's value, with an empty dictionary (the
    // platform's null, neither text nor list) where an element has none.
    std::optional<PlistValue> valueForKey(const PlistValue& value, std::string_view key)
    {
        if (const auto* dictionary = value.asDictionary()) {
            if (const auto* found = dictionary->find(key))
                return *found;
            return std::nullopt;
        }
        if (const auto* list = value.asArray()) {
            foundation::PlistArray values;
            for (const auto& element : *list) {
                auto found = valueForKey(element, key);
                values.push_back(found ? std::move(*found) : PlistValue(foundation::PlistDictionary {}));
            }
            return PlistValue(std::move(values));
        }
        return std::nullopt;
    }

    // The first element of a non-empty list, as text.
    const std::string* firstText(const std::optional<PlistValue>& value)
    {
        const auto* list = value ? value->asArray() : nullptr;
        if (!list || list->empty())
            return nullptr;
        return list->front().asString();
    }

    bool isNonEmptyList(const std::optional<PlistValue>& value)
    {
        return value && value->asArray() && !value->asArray()->empty();
    }

    // Steps 2 to 8 of a new-mail notification; every early return is a
    // failure point that leaves the record as it was.
    void recordMail(const PlistValue& userInfo)
    {
        if (!userInfo.isDictionary()) {
            KelvaneLogger::log("No Infos", KelvaneLogger::Development);
            return;
        }
        PlistValue infos = userInfo;
        auto messages = valueForKey(infos, MessagesKey);
        if (!messages) {
            KelvaneLogger::log("No MSNotificationKeyMessages", KelvaneLogger::Development);
            return;
        }
        RDL* controller = rendaloState().rdl.get();
        auto references = valueForKey(*messages, ReferenceKey);
        const std::string* reference = firstText(references);
        // A mail banner must have come first: without its URL nothing matches.
        if (!reference || !controller || controller->lastActionURL().empty() || *reference != controller->lastActionURL())
            return;
        KelvaneLogger::log(*reference, KelvaneLogger::Development);

        auto bodies = valueForKey(*messages, BodyKey);
        if (!isNonEmptyList(bodies)) {
            KelvaneLogger::log("Nil body 2", KelvaneLogger::Development);
            return;
        }
        auto senders = valueForKey(*messages, SenderKey);
        auto subjects = valueForKey(*messages, SubjectKey);
        (void)subjects;
        const std::string* body = firstText(bodies);
        const std::string* sender = firstText(senders);
        if (!body || !sender)
            return;

        controller->setLastMessageType("email");
        std::string text = *body;
        std::string address = *sender;
        // Open for this mail: only the overwrites count. Closed: only the setters.
        controller->overWriteLastMessageText(text);
        controller->overWriteLastMessageAddress(address);
        controller->setLastMessageAddress(address);
        controller->setLastMessage(text);
    }

} // namespace

Id initWithCTMessage(Object* self, Sel selector, const Id& message, const std::vector<Id>& parts)
{
    Id created = orig_initWithCTMessage(self, selector, message, parts);
    if (!created)
        return created;
    std::string text = send<std::string>(created, "text");
    std::string address = send<std::string>(created, "address");
    bool incomingUnread = !send<bool>(created, "isOutgoing") && !send<bool>(created, "isRead");
    if (!text.empty() && !address.empty() && incomingUnread) {
        if (RDL* controller = rendaloState().rdl.get()) {
            controller->setLastMessageAddress(address);
            controller->setLastMessage(text);
            controller->setTheLastMessage(created);
        }
    }
    return created;
}

void didReceiveNotificationData(Object* self, Sel selector, const std::vector<uint8_t>& data, const PlistValue& userInfo)
{
    KelvaneLogger::log("sono nel notificationService..", KelvaneLogger::Development);
    recordMail(userInfo);
    KelvaneLogger::log("Fine notification", KelvaneLogger::Development);
    orig_didReceiveNotificationData(self, selector, data, userInfo);
}

} // namespace rendalo::hooks
