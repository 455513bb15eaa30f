// The notification centre. SpringBoard handles a tapped row as: row selected,
// the row's bulletin fetched, its action asked for the launch URL, the user
// agent asked whether it may launch it and then to launch it. A messages row
// is captured when its bulletin is fetched, its URL turned into the sentinel
// "banana" once, and the launch of the sentinel answered here with the
// controller's own banner and a quick reply.
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
        takeLaunchURL(bulletin);
        KelvaneLogger::log(fmt::format("dal notification bulletin ho preso l'URL: {}", state.smsURL.value_or("(null)")), KelvaneLogger::Development);
    }
    state.userTapNotification = false;
    return bulletin;
}

std::string launchURL(Object* self, Sel selector)
{
    auto& state = tweakState();
    if (state.isSMSNotification && !state.shouldOpenMessaggi) {
        state.isSMSNotification = false;
        return std::string(SentinelURL);
    }
    return orig_launchURL(self, selector);
}

bool isURLLaunchAction(Object* self, Sel selector)
{
    KelvaneLogger::log("URL SI O NO?", KelvaneLogger::Development);
    std::string bundleID = send<std::string>(self, "bundleID");
    if (bundleID == "com.apple.MobileSMS" || bundleID == "com.apple.mobilesms")
        return false;
    return orig_isURLLaunchAction(self, selector);
}

bool canLaunchFromBulletinWithURL(Object* self, Sel selector, const std::string& url, const std::string& bundleID)
{
    if (url == SentinelURL)
        return true;
    return orig_canLaunchFromBulletinWithURL(self, selector, url, bundleID);
}

bool launchFromBulletinWithURL(Object* self, Sel selector, const std::string& url, const std::string& bundleID, bool allowUnlock, bool animate, int64_t origin)
{
    KelvaneLogger::log("launchFromBulletinWithURL:", KelvaneLogger::Development);
    auto& state = tweakState();
    if (url == SentinelURL) {
        if (Id list = send<Id>(state.sbBulletinListControllerClass, "sharedInstance")) {
            send(list, "hideListViewAnimated:", true);
            if (state.rdl)
                state.rdl->showBulletin(state.lastRecordID);
            return true;
        }
    }
    return orig_launchFromBulletinWithURL(self, selector, url, bundleID, allowUnlock, animate, origin);
}

} // namespace parlivo::hooks
