#include "MessageLookup.h"

#include "TweakState.h"

#include <common/IntegerValue.h>
#include <foundation/TemporaryChange.h>

namespace parlivo {

using runtime::Id;
using runtime::send;

Id loadDatabaseMessage(int64_t recordID)
{
    Id message = send<Id>(tweakState().ckDBMessageClass, "alloc");
    return send<Id>(message, "initWithRecordID:", recordID);
}

bool recordPickedMessage(RDL* controller, int64_t recordID, MissingMessage ifMissing)
{
    if (!controller)
        return static_cast<bool>(loadDatabaseMessage(recordID));
    return controller->recordPickedMessage(recordID, ifMissing);
}

void takeLaunchURL(const Id& bulletin)
{
    Id action = send<Id>(bulletin, "defaultAction");
    if (!action)
        return;
    auto& state = tweakState();
    // Lets this `launchURL` through the action's launch-URL hook with the
    // real URL rather than the sentinel, which stays for SpringBoard's own
    // request after a notification-centre tap.
    foundation::TemporaryChange ownRequest(state.shouldOpenMessaggi, true);
    // The runtime answers a nil URL as "", which no real URL is.
    std::string url = send<std::string>(action, "launchURL");
    state.smsURL = url.empty() ? std::nullopt : std::optional(url);
}

int64_t integerValue(std::string_view text)
{
    return common::integerValue(text);
}

} // namespace parlivo
