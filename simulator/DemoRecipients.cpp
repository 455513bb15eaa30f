#include "DemoRecipients.h"

namespace simulator {

namespace {

    using foundation::PlistArray;
    using foundation::PlistDictionary;
    using foundation::PlistValue;

    PlistValue member(std::string_view contact, bool isNumber)
    {
        return PlistDictionary { { "contact", PlistValue(contact) }, { "isNumber", PlistValue(isNumber) } };
    }

} // namespace

PlistValue demoFavorites()
{
    // The settings application names a favourite last name first.
    return PlistDictionary {
        { "+39 347 123 4567", "Rossi Anna" },
        { "333 765 4321", "ROSSANA" },
        { "+393381112222", "Ferrari Luca" },
    };
}

PlistValue demoGroups()
{
    // The other product keeps keys of its own beside "name" and "members";
    // Quick Compose never reads them, and they stay so it is seen not to.
    PlistDictionary football {
        { "name", "Calcetto del giovedì" },
        { "members", PlistArray { member("+39 347 123 4567", true), member("+393381112222", true), member("3281234000", true), member("niccolo.dellacqua@example.it", false) } },
        { "groupID", 1 },
        { "color", "0.2 0.6 0.2" },
    };
    PlistDictionary family {
        { "name", "Famiglia" },
        { "members", PlistArray { member("347 555 7788", true), member("0612345678", true) } },
        { "groupID", 2 },
        { "color", "0.8 0.3 0.3" },
    };
    PlistDictionary empty {
        { "name", "Nuovo gruppo" },
        { "members", PlistArray {} },
        { "groupID", 3 },
    };
    // One member is reached by e-mail only, so an SMS to the group goes to two of three.
    PlistDictionary dinner {
        { "name", "Cena di classe" },
        { "members", PlistArray { member("+39 347 123 4567", true), member("333 765 4321", true), member("giulia.bianchi@example.it", false) } },
        { "groupID", 4 },
    };
    return PlistArray { PlistValue(std::move(football)), PlistValue(std::move(family)), PlistValue(std::move(empty)), PlistValue(std::move(dinner)) };
}

} // namespace simulator
