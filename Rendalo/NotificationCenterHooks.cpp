// The notification centre. SpringBoard handles a tapped row as: row selected,
// the row's bulletin fetched, its action asked for the launch URL, the user
// agent asked whether it may launch it and then to launch it. A messages row
// is captured here when its bulletin is fetched; the shared URL hooks
// (common/SpringBoardHooks.h) turn its URL into the sentinel "banana" once and
// answer the launch of the sentinel with the controller's own banner and a
// quick reply. While `returnTheURL` is set they stand aside, so a mail action
// answers its real URL.
#include "Hooks.h"

#include "RDL.h"
#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <common/IntegerValue.h>

namespace rendalo::hooks {

using kelvane::KelvaneLogger;
using runtime::send;

Id bulletinAtIndex(Object* self, Sel selector, int64_t index)
{
    Id bulletin = orig_bulletinAtIndex(self, selector, index);
    auto& state = rendaloState();
    if (!state.userTapNotification)
        return bulletin;
    KelvaneLogger::log("User tapped notification", KelvaneLogger::Development);

    if (send<std::string>(bulletin, "sectionID") == MessagesSectionID) {
        RDL* controller = state.rdl.get();
        KelvaneLogger::log("It's an SMS:", KelvaneLogger::Development);
        state.isSMSNotification = true;
        if (controller)
            controller->setLastMessageType("sms");
        int64_t recordID = common::integerValue(send<std::string>(bulletin, "recordID"));
        Id message = send<Id>(send<Id>(state.ckDBMessageClass, "alloc"), "initWithRecordID:", recordID);
        if (message && controller) {
            controller->setLastMessageAddress(send<std::string>(message, "address"));
            controller->setLastMessage(send<std::string>(message, "text"));
        }
        Id sms = send<Id>(send<Id>(state.ckSMSMessageClass, "alloc"), "initWithRowID:", recordID);
        send(sms, "markAsRead");
        SystemHooks::takeRowLaunchURL(bulletin);
    }
    state.userTapNotification = false;
    return bulletin;
}

} // namespace rendalo::hooks
