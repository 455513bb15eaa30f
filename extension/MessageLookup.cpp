#include "MessageLookup.h"

#include "RDL.h"
#include "TweakState.h"

#include <common/IntegerValue.h>

namespace parlivo {

using runtime::Id;
using runtime::send;

Id loadDatabaseMessage(int64_t recordID)
{
    Id message = send<Id>(tweakState().ckDBMessageClass, "alloc");
    return send<Id>(message, "initWithRecordID:", recordID);
}

void recordKindAndMarkRead(RDL* controller, const Id& message, int64_t recordID)
{
    if (!controller)
        return;
    if (!send<std::string>(message, "madridAccountGUID").empty()) {
        controller->setLastMessageType("iMessage");
        controller->markIMessageAsRead(recordID);
    } else {
        controller->markSMSMessageAsRead(recordID);
    }
}

int64_t integerValue(std::string_view text)
{
    return common::integerValue(text);
}

} // namespace parlivo
