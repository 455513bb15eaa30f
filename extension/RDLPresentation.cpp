// The controller's presentation: its own banners, opening and closing the
// quick reply and quick compose windows in the overlay window, switching to
// an application, and rotation.
#include "RDL.h"

#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/RunLoop.h>
#include <foundation/ScopeGuard.h>
#include <foundation/TemporaryChange.h>
#include <uikit/UIScreen.h>
#include <uikit/UIView.h>

#include <fmt/format.h>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

namespace {

    constexpr double LockScreenLevel = uikit::UIWindowLevelStatusBar + 100;
    constexpr double OrdinaryLevel = uikit::UIWindowLevelStatusBar - 1;

    Id newBulletin()
    {
        return send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
    }

    void offerToBannerController(const Id& bulletin)
    {
        Id banners = send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance");
        send(banners, "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });
    }

    void addWindowView(uikit::UIWindow& window, const Id& controller)
    {
        if (auto view = runtime::cast<uikit::UIView>(send<Id>(controller, "view")))
            window.addSubview(view);
    }

} // namespace

void showBulletin(const std::string& title, const std::string& message, const runtime::Ref<RDL>& controller)
{
    // Lets the banner controller's add-bulletin hook take this bulletin as
    // ours, so it keeps the launch URL it already has.
    bool wasOwnBulletin = send<bool>(controller, "ownBulletin");
    send(controller, "setOwnBulletin:", true);
    foundation::ScopeGuard restoreOwnBulletin([&] { send(controller, "setOwnBulletin:", wasOwnBulletin); });
    Id bulletin = newBulletin();
    send(bulletin, "setTitle:", title);
    send(bulletin, "setMessage:", message);
    send(bulletin, "setSectionID:", std::string(MessagesSectionID));
    offerToBannerController(bulletin);
}

void RDL::showBulletin(int64_t recordID)
{
    postOwnBulletin(recordID);
}

void RDL::showBulletin()
{
    postOwnBulletin(std::nullopt);
}

void RDL::showBulletinSubtitle(const std::string& title, const std::string& message)
{
    // Lets the banner controller's add-bulletin hook take this bulletin as
    // ours, so it keeps the launch URL it already has.
    foundation::TemporaryChange ownBulletin(m_ownBulletin, true);
    Id bulletin = newBulletin();
    send(bulletin, "setTitle:", title);
    send(bulletin, "setMessage:", message);
    send(bulletin, "setSectionID:", std::string(MessagesSectionID));
    offerToBannerController(bulletin);
}

void RDL::raiseAlertWindow(double level)
{
    m_alertWindow->setWindowLevel(level);
    raiseOverlay(320);
}

void RDL::showQuickReply()
{
    if (m_status != WindowStatus::Closed)
        return;
    if (m_theLastMessage)
        send(m_theLastMessage, "markAsRead");
    m_theLastMessage = nullptr;
    m_status = WindowStatus::Open;

    raiseAlertWindow(m_inLockScreen ? LockScreenLevel : OrdinaryLevel);

    if (!m_qRVC) {
        Id controller = send<Id>(runtime::classNamed("QuickReplyViewController"), "alloc");
        // Without a text the window is made as initWithMessage: nil would.
        m_qRVC = m_lastMessage ? send<Id>(controller, "initWithMessage:", *m_lastMessage) : send<Id>(controller, "init");
    } else {
        send(m_qRVC, "setMessage:", m_lastMessage.value_or(std::string("WAS NIL")));
    }
    if (!m_qRVC)
        return abandonOverlay("QuickReplyViewController");
    send(m_qRVC, "setDelegate:", self());
    send(m_qRVC, "setInLockScreen:", m_inLockScreen);
    send(m_qRVC, "prepareView:", m_inApp);
    addWindowView(*m_alertWindow, m_qRVC);
}

void RDL::showQuickComposer()
{
    if (m_status != WindowStatus::Closed)
        return;
    showBulletinSubtitle("New message", "Parlivo composer");
    m_status = WindowStatus::Open;

    raiseAlertWindow(OrdinaryLevel);

    if (!m_qCVC)
        m_qCVC = send<Id>(send<Id>(runtime::classNamed("QuickComposeViewController"), "alloc"), "init");
    if (!m_qCVC)
        return abandonOverlay("QuickComposeViewController");
    send(m_qCVC, "setDelegate:", self());
    send(m_qCVC, "prepareView:", m_inApp);
    addWindowView(*m_alertWindow, m_qCVC);
}

void RDL::activatorReceiveEvent(const Id&, const Id&, const std::string& listenerName)
{
    if (listenerName == kelvane::ComposerListenerName)
        showQuickComposer();
}

void RDL::abandonOverlay(std::string_view controllerClass)
{
    KelvaneLogger::log(fmt::format("No {} on this phone, nothing to show", controllerClass), KelvaneLogger::Critical);
    hideOverlay();
    m_inLockScreen = false;
    m_status = WindowStatus::Closed;
}

void RDL::resetRecord()
{
    setLastMessage("To be setted");
    setLastMessageAddress("-1");
    setLastMessageType("sms");
    m_hasAttachments = false;
    m_multimediaObjects.reset();
}

void RDL::dismissBanner()
{
    KelvaneLogger::log("RDL dismissBanner", KelvaneLogger::Development);
    if (m_status == WindowStatus::Closed) {
        dismissBannerOnly();
        return;
    }
    m_inLockScreen = false;
    hideOverlay();

    // Taken out of the properties before `dismiss`, so a window that asks
    // to close again from inside its own dismiss finds nothing to close.
    if (Id controller = std::exchange(m_qRVC, nullptr)) {
        send(controller, "dismiss");
        dismissBannerOnly();
        m_status = WindowStatus::Closed;
    }
    if (Id controller = std::exchange(m_qCVC, nullptr)) {
        send(controller, "dismiss");
        dismissBannerOnly();
        m_status = WindowStatus::Closed;
    }
    resetRecord();
    KelvaneLogger::log("RDL dismissBanner end", KelvaneLogger::Development);
    startDeleteLog();
}

void RDL::emergencyDismissBanner()
{
    m_status = WindowStatus::Closed;
    for (Id* slot : { &m_qRVC, &m_qCVC }) {
        if (Id controller = std::exchange(*slot, nullptr))
            takeDownWindow(controller);
    }
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, 320, 0));
    resetRecord();
}

void RDL::deviceRotated(int64_t orientation)
{
    if (m_qRVC)
        send(m_qRVC, "deviceRotated:", orientation);
    if (m_qCVC)
        send(m_qCVC, "deviceRotated:", orientation);
}

} // namespace parlivo
