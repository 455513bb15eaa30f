#include "MessageLookup.h"

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

bool recordPickedMessage(RDL* controller, int64_t recordID, MissingMessage ifMissing)
{
    if (!controller)
        return static_cast<bool>(loadDatabaseMessage(recordID));
    return controller->recordPickedMessage(recordID, ifMissing);
}

int64_t integerValue(std::string_view text)
{
    return common::integerValue(text);
}

} // namespace parlivo
