// The lock screen: unlocking a messages bulletin's cell opens the quick reply
// above the lock screen instead of unlocking the device.
#include "Hooks.h"

#include "MessageLookup.h"
#include "PreferenceSwitch.h"
#include "RDL.h"
#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>

#include <fmt/format.h>

namespace parlivo::hooks {

using kelvane::KelvaneLogger;
using runtime::send;

namespace {

    constexpr double LockScreenDimWhileOpen = 300.0;

} // namespace

void lockBarUnlocked(Object* self, Sel selector, const Id& sender)
{
    auto& state = tweakState();
    RDL* controller = state.rdl.get();
    auto passOn = [&] { orig_lockBarUnlocked(self, selector, sender); };

    KelvaneLogger::log("SBAwayBulletinCell lockBarUnlocked", KelvaneLogger::Development);
    auto preference = readPreferenceSwitch(kelvane::Key::LockscreenQuickReply);
    if (preference.fileRead && preference.value == "0")
        return passOn();
    if (!preference.fileRead)
        KelvaneLogger::log("CANNOT OPEN PREFERENCES FILE", KelvaneLogger::Severe);

    Id context = send<Id>(self, "actionContext");
    if (!context) {
        KelvaneLogger::log("NIL ACTIONCONTEXT", KelvaneLogger::Development);
        return passOn();
    }
    send<Id>(context, "unlockAction");
    std::string bulletinID = send<std::string>(context, "bulletinID");

    Id list = state.sbawayBulletinListController.lock();
    Id item = send<Id>(list, "_listItemContainingBulletinID:", bulletinID);
    Id bulletin = send<Id>(item, "bulletinWithID:", bulletinID);
    std::string section = send<std::string>(bulletin, "sectionID");
    if (!list || !item || !bulletin || section.empty())
        return passOn();

    std::string topic = "sms";
    try {
        std::string given = send<std::string>(bulletin, "topic");
        if (!given.empty())
            topic = given;
    } catch (const runtime::ObjCException& exception) {
        KelvaneLogger::log(exception.description(), KelvaneLogger::Severe);
    }
    KelvaneLogger::log(fmt::format("THIS BULLETIN WAS FROM {} WITH TOPIC {}", section, topic), KelvaneLogger::Development);

    Id away = send<Id>(state.sbAwayControllerClass, "sharedAwayController");
    if (section != MessagesSectionID || !away)
        return passOn();
    send(away, "undimScreen");
    send(away, "restartDimTimer:", LockScreenDimWhileOpen);

    int64_t recordID = integerValue(send<std::string>(bulletin, "recordID"));
    // A message that is gone cancels the unlock: the gesture does nothing.
    if (!recordPickedMessage(controller, recordID, MissingMessage::KeepRecord)) {
        KelvaneLogger::log("NO DB MESSAGE", KelvaneLogger::Severe);
        return;
    }

    state.shouldResetDimTimer = true;
    if (controller) {
        controller->setInLockScreen(true);
        controller->showQuickReply();
    }
}

} // namespace parlivo::hooks
