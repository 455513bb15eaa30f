// The notification centre. SpringBoard handles a tapped row as: row selected,
// the row's bulletin fetched, its action asked for the launch URL, the user
// agent asked whether it may launch it and then to launch it. A messages row
// is captured here when its bulletin is fetched; the shared URL hooks
// (common/SpringBoardHooks.h) turn its URL into the sentinel "banana" once
// and answer the launch of the sentinel with the controller's own banner and
// a quick reply.
#include "Hooks.h"

#include "MessageLookup.h"
#include "PreferenceSwitch.h"
#include "RDL.h"
#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>

namespace parlivo::hooks {

using kelvane::KelvaneLogger;
using runtime::send;

Id bulletinAtIndex(Object* self, Sel selector, int64_t index)
{
    Id bulletin = orig_bulletinAtIndex(self, selector, index);
    auto& state = tweakState();
    RDL* controller = state.rdl.get();

    try {
        send<std::string>(bulletin, "topic");
    } catch (const runtime::ObjCException& exception) {
        KelvaneLogger::log(exception.description(), KelvaneLogger::Severe);
    }
    if (!state.userTapNotification)
        return bulletin;

    auto preference = readPreferenceSwitch(kelvane::Key::NotificationCenterReply);
    if (!preference.fileRead) {
        KelvaneLogger::log("CANNOT OPEN PREFERENCES FILE", KelvaneLogger::Severe);
        state.ncqr = true;
    } else if (!preference.value) {
        KelvaneLogger::log("CANNOT FIND KEY NCQR", KelvaneLogger::Normal);
        state.ncqr = true;
    } else {
        state.ncqr = *preference.value == "1";
    }
    KelvaneLogger::log("User tapped notification", KelvaneLogger::Development);

    if (state.ncqr && send<std::string>(bulletin, "sectionID") == MessagesSectionID) {
        KelvaneLogger::log("It's an SMS:", KelvaneLogger::Development);
        state.lastRecordID = integerValue(send<std::string>(bulletin, "recordID"));
        state.isSMSNotification = true;
        if (!recordPickedMessage(controller, state.lastRecordID, MissingMessage::KeepRecord))
            KelvaneLogger::log("NO DB MESSAGE", KelvaneLogger::Severe);
        SystemHooks::takeRowLaunchURL(bulletin);
    }
    state.userTapNotification = false;
    return bulletin;
}

} // namespace parlivo::hooks
