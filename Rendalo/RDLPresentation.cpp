// The controller's presentation: its own banner, opening and closing the
// quick reply window in the overlay window, and rotation. Unlike Parlivo's,
// the window is created once and kept, the record is not reset on close, and
// the overlay never changes level.
#include "RDL.h"

#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/Executor.h>
#include <uikit/UIView.h>

namespace rendalo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

Id makeQuickReplyController(const std::string& message);

namespace {

    // The log is removed once it reaches this size, checked after each close,
    // as Parlivo does with its own; without it the file grows for ever.
    constexpr long long LogSizeLimit = 100000;

    void startLogSizeCheck()
    {
        foundation::Executor::shared().submit([] { KelvaneLogger::removeLogFileIfAtLeast(kelvane::RDLLogPath, LogSizeLimit); });
    }

} // namespace

void RDL::showBulletin()
{
    postOwnBulletin(std::nullopt);
}

void RDL::showQuickReply()
{
    if (isWindowOpen())
        return;
    startBackgroundReload();
    if (m_theLastMessage)
        send(m_theLastMessage, "markAsRead");
    m_theLastMessage = nullptr;
    m_status = common::WindowStatus::Open;

    raiseOverlay(0);

    if (!m_qRVC)
        m_qRVC = makeQuickReplyController(m_lastMessage.value_or(std::string {}));
    else
        send(m_qRVC, "setMessage:", m_lastMessage.value_or(std::string("WAS NIL")));
    send(m_qRVC, "setDelegate:", self());
    send(m_qRVC, "prepareView:", m_inApp);
    if (auto view = runtime::cast<uikit::UIView>(send<Id>(m_qRVC, "view")))
        m_alertWindow->addSubview(view);
}

void RDL::dismissBanner()
{
    if (m_status == common::WindowStatus::Closed) {
        dismissBannerOnly();
        return;
    }
    hideOverlay();
    if (m_qRVC)
        send(m_qRVC, "dismiss");
    dismissBannerOnly();
    m_status = common::WindowStatus::Closed;
    KelvaneLogger::log("RDL dismissBanner end", KelvaneLogger::Development);
    startLogSizeCheck();
}

void RDL::emergencyDismissBanner()
{
    m_status = common::WindowStatus::Closed;
    if (m_qRVC)
        takeDownWindow(m_qRVC);
    m_alertWindow->setFrame(uikit::CGRectMake(0, 0, 320, 0));
}

void RDL::deviceRotated(int64_t orientation)
{
    if (m_qRVC)
        send(m_qRVC, "deviceRotated:", orientation);
}

} // namespace rendalo
