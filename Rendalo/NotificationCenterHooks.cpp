// The notification centre. SpringBoard handles a tapped row as: row selected,
// the row's bulletin fetched, its action asked for the launch URL, the user
// agent asked whether it may launch it and then to launch it. A messages row
// is captured when its bulletin is fetched, its URL turned into the sentinel
// "banana" once, and the launch of the sentinel answered here with the
// controller's own banner and a quick reply. While `returnTheURL` is set the
// URL hooks stand aside, so a mail action answers its real URL.
#include "Hooks.h"

#include "RDL.h"
#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <common/IntegerValue.h>

#include <fmt/format.h>

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
        if (Id action = send<Id>(bulletin, "defaultAction")) {
            state.shouldOpenMessaggi = true;
            state.smsURL = send<std::string>(action, "launchURL");
            state.shouldOpenMessaggi = false;
        }
        KelvaneLogger::log(fmt::format("dal notification bulletin ho preso l'URL: {}", state.smsURL), KelvaneLogger::Development);
    }
    state.userTapNotification = false;
    return bulletin;
}

std::string launchURL(Object* self, Sel selector)
{
    auto& state = rendaloState();
    if (state.returnTheURL)
        return orig_launchURL(self, selector);
    if (state.isSMSNotification && !state.shouldOpenMessaggi) {
        state.isSMSNotification = false;
        return std::string(SentinelURL);
    }
    return orig_launchURL(self, selector);
}

bool isURLLaunchAction(Object* self, Sel selector)
{
    if (rendaloState().returnTheURL)
        return orig_isURLLaunchAction(self, selector);
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
    auto& state = rendaloState();
    if (url == SentinelURL) {
        if (Id list = send<Id>(state.sbBulletinListControllerClass, "sharedInstance")) {
            send(list, "hideListViewAnimated:", true);
            if (state.rdl)
                state.rdl->showBulletin();
            return true;
        }
    }
    return orig_launchFromBulletinWithURL(self, selector, url, bundleID, allowUnlock, animate, origin);
}

} // namespace rendalo::hooks
