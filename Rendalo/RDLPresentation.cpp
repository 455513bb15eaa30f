// The controller's presentation: its own banner, opening and closing the
// quick reply window in the overlay window, switching to an application, and
// rotation. Unlike Parlivo's, the window is created once and kept, the
// record is not reset on close, and the overlay never changes level.
#include "RDL.h"

#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/Executor.h>
#include <foundation/RunLoop.h>
#include <uikit/UIScreen.h>
#include <uikit/UIView.h>

#include <fmt/format.h>

namespace rendalo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

Id makeQuickReplyController(const std::string& message);

namespace {

    constexpr std::string_view OwnBannerSection = "RDLbanner";
    constexpr double QuickReplyDelay = 1.0;
    constexpr double OverlayHeight = 480;
    // The log is removed once it reaches this size, checked after each close,
    // as Parlivo does with its own; without it the file grows for ever.
    constexpr long long LogSizeLimit = 100000;

    void offerToBannerController(const Id& bulletin)
    {
        Id banners = send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance");
        send(banners, "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });
    }

    void startLogSizeCheck()
    {
        foundation::Executor::shared().submit([] { KelvaneLogger::removeLogFileIfAtLeast(kelvane::RDLLogPath, LogSizeLimit); });
    }

} // namespace

void RDL::showBulletin()
{
    m_ownBulletin = true;
    Id bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
    send(bulletin, "setTitle:", getNameFromAddress(m_lastMessageAddress.value_or(std::string {})));
    if (m_lastMessageType == "sms") {
        send(bulletin, "setMessage:", std::string("Message"));
        send(bulletin, "setSectionID:", std::string(MessagesSectionID));
    } else {
        send(bulletin, "setMessage:", m_lastMessageType);
        send(bulletin, "setSectionID:", std::string(OwnBannerSection));
    }
    offerToBannerController(bulletin);

    runtime::Weak<RDL> weakSelf = selfAs<RDL>();
    foundation::Timer::once(QuickReplyDelay, [weakSelf](foundation::Timer&) {
        if (auto controller = weakSelf.lock())
            controller->showQuickReply();
    });
    m_ownBulletin = false;
}

void RDL::showQuickReply()
{
    if (m_status == 1)
        return;
    startBackgroundReload();
    if (m_theLastMessage)
        send(m_theLastMessage, "markAsRead");
    m_theLastMessage = nullptr;
    m_status = 1;

    double width = 0;
    if (auto screen = uikit::UIScreen::mainScreen())
        width = screen->applicationFrame().size.width;
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, width, OverlayHeight));
    m_alertWindow->makeKeyAndVisible();
    m_alertWindow->setNeedsDisplay();
    m_alertWindow->setHidden(false);

    if (!m_qRVC)
        m_qRVC = makeQuickReplyController(m_lastMessage.value_or(std::string {}));
    else
        send(m_qRVC, "setMessage:", m_lastMessage.value_or(std::string("WAS NIL")));
    send(m_qRVC, "setDelegate:", self());
    send(m_qRVC, "prepareView:", m_inApp);
    if (auto view = runtime::cast<uikit::UIView>(send<Id>(m_qRVC, "view")))
        m_alertWindow->addSubview(view);
}

void RDL::dismissBannerOnly()
{
    m_shouldClose = true;
    send(m_delegate, "dismissBanner");
    m_shouldClose = false;
}

void RDL::hideOverlay()
{
    if (m_alertWindow->isKeyWindow())
        m_alertWindow->resignKeyWindow();
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, 320, 0));
    m_alertWindow->setHidden(true);
}

void RDL::dismissBanner()
{
    if (m_status == 0) {
        dismissBannerOnly();
        return;
    }
    hideOverlay();
    if (m_qRVC)
        send(m_qRVC, "dismiss");
    dismissBannerOnly();
    m_status = 0;
    KelvaneLogger::log("RDL dismissBanner end", KelvaneLogger::Development);
    startLogSizeCheck();
}

void RDL::emergencyDismissBanner()
{
    m_status = 0;
    if (m_qRVC) {
        if (auto view = runtime::cast<uikit::UIView>(send<Id>(m_qRVC, "view")))
            view->removeFromSuperview();
        send(m_qRVC, "dismiss");
    }
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, 320, 0));
}

void RDL::openApp(const std::string& displayIdentifier)
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

void RDL::openAppWithURL(const std::string& url)
{
    KelvaneLogger::log(fmt::format("sto per aprire l'URL: {}", url), KelvaneLogger::Development);
    Id application = send<Id>(runtime::classNamed("UIApplication"), "sharedApplication");
    send<bool>(application, "openURL:", url);
}

void RDL::deviceRotated(int64_t orientation)
{
    if (m_qRVC)
        send(m_qRVC, "deviceRotated:", orientation);
}

} // namespace rendalo
