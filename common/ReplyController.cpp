#include "ReplyController.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/RunLoop.h>
#include <foundation/TemporaryChange.h>
#include <uikit/CALayer.h>
#include <uikit/UIColor.h>
#include <uikit/UIDevice.h>
#include <uikit/UIScreen.h>
#include <uikit/UIView.h>

#include <fmt/format.h>

namespace common {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

void ReplyController::initShared(std::string_view appName)
{
    m_shouldClose = false;

    m_alertWindow = runtime::make<uikit::UIWindow>();
    m_alertWindow->setName("alertWindow");
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, 320, 0));
    m_alertWindow->setWindowLevel(uikit::UIWindowLevelStatusBar - 1);
    m_alertWindow->setUserInteractionEnabled(true);
    m_alertWindow->setHidden(false);
    m_alertWindow->setBackgroundColor(uikit::UIColor::colorWithRed(0, 0, 0, 0.3));
    m_alertWindow->layer()->setCornerRadius(8.0);

    m_status = WindowStatus::Closed;
    m_inApp = false;

    m_lastMessageAddress = "UNKNOWN";
    m_lastMessageType = "sms";
    m_lastMessage = "Unknown";

    m_preferencesManager = std::make_shared<kelvane::KelvanePreferenceManager>(kelvane::KelvanePreferenceManager::Variant::Extension);
    m_preferencesManager->setAppName(appName);

    m_ownBulletin = false;
}

void ReplyController::setLastMessage(std::optional<std::string> text)
{
    if (isWindowOpen())
        return;
    m_lastMessage = std::move(text);
}

void ReplyController::setLastMessageAddress(std::optional<std::string> address)
{
    if (isWindowOpen())
        return;
    m_lastMessageAddress = std::move(address);
}

void ReplyController::setLastMessageType(std::string type)
{
    if (isWindowOpen())
        return;
    m_lastMessageType = std::move(type);
}

void ReplyController::setTheLastMessage(Id message)
{
    if (isWindowOpen())
        return;
    m_theLastMessage = std::move(message);
}

void ReplyController::setLastActionURL(std::string url)
{
    if (isWindowOpen())
        return;
    m_lastActionURL = std::move(url);
}

void ReplyController::reloadPreferences()
{
    KelvaneLogger::log("Someone posted reload", KelvaneLogger::Development);
    m_preferencesManager->reloadPreferences();
}

void ReplyController::overWriteLastMessageText(const std::optional<std::string>& text)
{
    if (!text || m_lastMessageType != "email") {
        KelvaneLogger::log("Qualche pirla setta testo nil", KelvaneLogger::Development);
        return;
    }
    KelvaneLogger::log("RDL overWriteLastMessageText", KelvaneLogger::Development);
    if (!isWindowOpen())
        return;
    m_lastMessage = *text;
    if (m_qRVC) {
        send(m_qRVC, "setMessage:", *text);
        send(m_qRVC, "reloadFields");
    }
}

void ReplyController::overWriteLastMessageAddress(const std::optional<std::string>& address)
{
    if (!address || m_lastMessageType != "email") {
        KelvaneLogger::log("Qualche pirla setta indirizzo nil", KelvaneLogger::Development);
        return;
    }
    if (!isWindowOpen())
        return;
    m_lastMessageAddress = *address;
}

std::string ReplyController::getNameFromAddress(const std::string& address)
{
    auto device = uikit::UIDevice::currentDevice();
    if (!device || !device->systemVersion().starts_with("5"))
        return address;
    Id service = send<Id>(runtime::classNamed("CKSMSService"), "sharedSMSService");
    if (!service)
        return address;
    Id entity = send<Id>(service, "copyEntityForAddressString:", address);
    if (!entity)
        return address;
    std::string name = send<std::string>(entity, "name");
    return name.empty() ? address : name;
}

void ReplyController::openApp(const std::string& displayIdentifier)
{
    Id applications = send<Id>(runtime::classNamed("SBApplicationController"), "sharedInstance");
    Id application = send<Id>(applications, "applicationWithDisplayIdentifier:", displayIdentifier);
    KelvaneLogger::log(fmt::format("apro l'app: {}", displayIdentifier), KelvaneLogger::Development);
    Id ui = send<Id>(runtime::classNamed("SBUIController"), "sharedInstance");
    if (m_inApp)
        send(ui, "activateApplicationFromSwitcher:", application);
    else
        send(ui, "activateApplicationAnimated:", application);
}

void ReplyController::openAppWithURL(const std::string& url)
{
    KelvaneLogger::log(fmt::format("sto per aprire l'URL: {}", url), KelvaneLogger::Development);
    Id application = send<Id>(runtime::classNamed("UIApplication"), "sharedApplication");
    send<bool>(application, "openURL:", url);
}

void ReplyController::dismissBannerOnly()
{
    foundation::TemporaryChange shouldClose(m_shouldClose, true);
    send(m_delegate, "dismissBanner");
}

void ReplyController::postOwnBulletin(std::optional<int64_t> recordID)
{
    // Lets the banner controller's add-bulletin hook take this bulletin as
    // ours, so it keeps the launch URL it already has.
    foundation::TemporaryChange ownBulletin(m_ownBulletin, true);
    Id bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
    send(bulletin, "setTitle:", getNameFromAddress(m_lastMessageAddress.value_or(std::string {})));
    if (m_lastMessageType == "sms") {
        send(bulletin, "setMessage:", std::string("Message"));
        send(bulletin, "setSectionID:", std::string(MessagesSectionID));
    } else {
        send(bulletin, "setMessage:", m_lastMessageType);
        send(bulletin, "setSectionID:", std::string(OwnBannerSection));
    }
    if (recordID)
        send(bulletin, "setRecordID:", std::to_string(*recordID));
    Id banners = send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance");
    send(banners, "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });

    runtime::Weak<ReplyController> weakSelf = selfAs<ReplyController>();
    foundation::Timer::once(QuickReplyDelay, [weakSelf](foundation::Timer&) {
        if (auto controller = weakSelf.lock())
            controller->showQuickReply();
    });
}

void ReplyController::raiseOverlay(double widthWithoutScreen)
{
    double width = widthWithoutScreen;
    if (auto screen = uikit::UIScreen::mainScreen())
        width = screen->applicationFrame().size.width;
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, width, OverlayHeight));
    m_alertWindow->makeKeyAndVisible();
    m_alertWindow->setNeedsDisplay();
    m_alertWindow->setHidden(false);
}

void ReplyController::hideOverlay()
{
    if (m_alertWindow->isKeyWindow())
        m_alertWindow->resignKeyWindow();
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, 320, 0));
    m_alertWindow->setHidden(true);
}

void ReplyController::takeDownWindow(const Id& controller)
{
    if (auto view = runtime::cast<uikit::UIView>(send<Id>(controller, "view")))
        view->removeFromSuperview();
    send(controller, "dismiss");
}

} // namespace common
