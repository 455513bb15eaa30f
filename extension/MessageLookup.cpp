#include "MessageLookup.h"

#include "TweakState.h"

#include <cctype>
#include <limits>

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
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Saturates like the platform instead of overflowing on a long run of digits.
    constexpr int64_t limit = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        int digit = text[i] - '0';
        if (value > (limit - digit) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : limit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace parlivo
