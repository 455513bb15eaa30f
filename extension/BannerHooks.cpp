// The banner: recording each bulletin offered to the banner controller, and
// the tap that opens the quick reply (or, on the messages icon the shared
// banner hook puts there, the Messages application).
#include "Hooks.h"

#include "MessageLookup.h"
#include "RDL.h"
#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <uikit/UIGestureRecognizer.h>

#include <fmt/format.h>

namespace parlivo::hooks {

using kelvane::KelvaneLogger;
using runtime::send;

void observerAddBulletinForFeed(Object* self, Sel selector, const Id& observer, const Id& bulletin, int64_t feed)
{
    auto& state = tweakState();

    KelvaneLogger::log("ADDBULLETIN", KelvaneLogger::Normal);
    if (SystemHooks::windowOpen())
        return;

    std::string section = send<std::string>(bulletin, "sectionID");
    if (section.empty()) {
        state.sectionID.reset();
        KelvaneLogger::log("ADDBULLETIN no section ID", KelvaneLogger::Severe);
        orig_observerAddBulletinForFeed(self, selector, observer, bulletin, feed);
        return;
    }
    state.sectionID = section;

    state.messageID = integerValue(send<std::string>(bulletin, "recordID"));
    if (state.messageID <= 0) {
        KelvaneLogger::log("ADDBULLETIN no message ID", KelvaneLogger::Severe);
        state.messageID = -1;
    }

    try {
        std::string topic = send<std::string>(bulletin, "topic");
        if (topic.empty())
            topic = "sms";
        KelvaneLogger::log(fmt::format("TOPIC IS {}", topic), KelvaneLogger::Normal);
    } catch (const runtime::ObjCException& exception) {
        KelvaneLogger::log(exception.description(), KelvaneLogger::Development);
    }

    if (section == MessagesSectionID) {
        state.isSMS = true;
        SystemHooks::takeMessagesBulletinURL(bulletin);
    } else {
        state.isSMS = false;
        KelvaneLogger::log(fmt::format("Bulletin from {}, skipping.", section), KelvaneLogger::Normal);
    }

    if (!SystemHooks::windowOpen())
        orig_observerAddBulletinForFeed(self, selector, observer, bulletin, feed);
    KelvaneLogger::log("ADD BULLETIN END", KelvaneLogger::Development);
}

void handleBannerTapGesture(Object* self, Sel selector, const Id& recognizer)
{
    auto& state = tweakState();
    RDL* controller = state.rdl.get();

    KelvaneLogger::log("HANDLE TAP!", KelvaneLogger::Normal);
    if (!state.isSMS) {
        KelvaneLogger::log("NOT SMS RETURNING", KelvaneLogger::Normal);
        orig_handleBannerTapGesture(self, selector, recognizer);
        return;
    }
    auto gesture = runtime::cast<uikit::UIGestureRecognizer>(recognizer);
    if (!gesture)
        return;
    auto bannerView = SystemHooks::bannerView(self);
    if (!bannerView) {
        KelvaneLogger::log("BAV IS NULL!!!!!!!!:(", KelvaneLogger::Severe);
        orig_handleBannerTapGesture(self, selector, recognizer);
        return;
    }
    uikit::CGPoint location = gesture->locationInView(bannerView.get());

    if (auto icon = SystemHooks::iconView()) {
        if (uikit::CGRectContainsPoint(icon->frame(), location)) {
            KelvaneLogger::log("ho tappato l'icona del banner", KelvaneLogger::Normal);
            // No pause between closing and opening: both run here on the
            // main thread, so a pause would let nothing else run between.
            if (controller) {
                controller->dismissBanner();
                controller->openApp(std::string(MessagesSectionID));
            }
            return;
        }
        // Outside the icon: the message keeps the record as it was when it
        // is no longer in the database.
        recordPickedMessage(controller, state.messageID, MissingMessage::KeepRecord);
    } else {
        if (state.messageID != -1 && controller)
            controller->markSMSMessageAsRead(state.messageID);
        // Without an icon the record is cleared when the message is gone.
        if (recordPickedMessage(controller, state.messageID, MissingMessage::ClearRecord))
            KelvaneLogger::log("THIS BULLETIN -> A VALID MESSAGE!", KelvaneLogger::Development);
    }
    state.messageID = -1;
    if (controller)
        controller->showQuickReply();
}

} // namespace parlivo::hooks
