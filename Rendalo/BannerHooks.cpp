// The banner: recording each bulletin offered to the banner controller (an
// SMS's launch URL, a mail's launch URL that ties it to its new-mail
// notification), and the tap that opens the quick reply (or, on the icon the
// shared banner hook puts on messages banners, the Messages or Mail
// application).
#include "Hooks.h"

#include "RDL.h"
#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <common/IntegerValue.h>
#include <uikit/UIGestureRecognizer.h>

#include <unistd.h>

namespace rendalo::hooks {

using kelvane::KelvaneLogger;
using runtime::send;

void observerAddBulletinForFeed(Object* self, Sel selector, const Id& observer, const Id& bulletin, int64_t feed)
{
    auto& state = rendaloState();
    RDL* controller = state.rdl.get();
    if (SystemHooks::windowOpen())
        return;

    std::string section = send<std::string>(bulletin, "sectionID");
    state.sectionID = section.empty() ? std::nullopt : std::optional(section);
    state.messageID = common::integerValue(send<std::string>(bulletin, "recordID"));

    if (section == MessagesSectionID) {
        state.isMail = false;
        state.isSMS = true;
        SystemHooks::takeMessagesBulletinURL(bulletin);
    } else if (section == MailSectionID) {
        state.isSMS = false;
        state.isMail = true;
        Id action = send<Id>(bulletin, "defaultAction");
        // While set, the URL hooks pass the request straight through, so the
        // action answers its real launch URL.
        state.returnTheURL = true;
        std::string url = send<std::string>(action, "launchURL");
        state.returnTheURL = false;
        if (controller)
            controller->setLastActionURL(url);
    } else {
        state.isSMS = false;
        state.isMail = false;
    }

    if (!SystemHooks::windowOpen())
        orig_observerAddBulletinForFeed(self, selector, observer, bulletin, feed);
}

void handleBannerTapGesture(Object* self, Sel selector, const Id& recognizer)
{
    auto& state = rendaloState();
    RDL* controller = state.rdl.get();
    if (!state.isSMS && !state.isMail) {
        orig_handleBannerTapGesture(self, selector, recognizer);
        return;
    }
    auto gesture = runtime::cast<uikit::UIGestureRecognizer>(recognizer);
    if (!gesture)
        return;
    uikit::CGPoint location = gesture->locationInView(SystemHooks::bannerView(self).get());

    // The icon view is the last one made for a messages banner, so on a mail
    // banner the same corner counts as the icon too.
    if (auto icon = SystemHooks::iconView()) {
        if (uikit::CGRectContainsPoint(icon->frame(), location)) {
            KelvaneLogger::log("ho tappato l'icona del banner", KelvaneLogger::Development);
            if (controller) {
                controller->dismissBanner();
                ::usleep(0);
                if (state.isSMS)
                    controller->openApp(std::string(MessagesSectionID));
                else if (state.isMail)
                    controller->openApp(std::string(MailApplicationID));
            }
            return;
        }
    }

    // A mail bulletin's record id is no row of the Messages database: marking
    // that row read would mark some unrelated text message.
    if (state.isSMS && state.messageID != -1) {
        Id message = send<Id>(send<Id>(state.ckSMSMessageClass, "alloc"), "initWithRowID:", state.messageID);
        send(message, "markAsRead");
    }
    if (controller) {
        if (state.isSMS)
            controller->setLastMessageType("sms");
        else if (state.isMail)
            controller->setLastMessageType("email");
    }
    state.messageID = -1;
    if (controller)
        controller->showQuickReply();
}

} // namespace rendalo::hooks
