// RDL, Rendalo's one controller (Rendalo's own runtime class "RDL"). It keeps
// the record of the message or e-mail a quick reply would answer, the window
// state the hooks consult, the overlay window in which the quick reply is
// drawn, and the preference store "RDL". It is created when SpringBoard has
// finished launching and lives as long as SpringBoard; so does its quick
// reply window, which is created once and shown again for every reply.
//
// While the window is open (`status` 1) the record is frozen: its setters do
// nothing, so a message that arrives meanwhile cannot change what the open
// window answers; only the e-mail overwrites reach it.
//
// Every operation is also a runtime method under its own selector, so the
// window reaches it by message.
#pragma once

#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <runtime/Runtime.h>
#include <uikit/UIWindow.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace rendalo {

class RDL : public runtime::Object {
    PLV_CLASS(RDL, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<RDL>&);

    // init: the overlay window, the record, the store "RDL" (not loaded yet)
    // and the in-process reload observer (held weakly by the centre). The
    // launch hook keeps it as `rdl`.
    runtime::Id init();

    // The message record; setters do nothing while a window is open.
    const std::optional<std::string>& lastMessage() const { return m_lastMessage; }
    void setLastMessage(std::optional<std::string>);
    const std::optional<std::string>& lastMessageAddress() const { return m_lastMessageAddress; }
    void setLastMessageAddress(std::optional<std::string>);
    const std::string& lastMessageType() const { return m_lastMessageType; }
    void setLastMessageType(std::string);
    const runtime::Id& theLastMessage() const { return m_theLastMessage; }
    void setTheLastMessage(runtime::Id);
    const std::string& lastActionURL() const { return m_lastActionURL; }
    void setLastActionURL(std::string);

    int64_t status() const { return m_status; }
    void setStatus(int64_t value) { m_status = value; }
    bool inApp() const { return m_inApp; }
    void setInApp(bool value) { m_inApp = value; }
    bool ownBulletin() const { return m_ownBulletin; }
    void setOwnBulletin(bool value) { m_ownBulletin = value; }
    bool shouldClose() const { return m_shouldClose; }
    void setShouldClose(bool value) { m_shouldClose = value; }
    const runtime::Ref<uikit::UIWindow>& alertWindow() const { return m_alertWindow; }
    const runtime::Id& qRVC() const { return m_qRVC; }
    void setQRVC(runtime::Id controller) { m_qRVC = std::move(controller); }
    kelvane::KelvanePreferenceManager* preferencesManager() const { return m_preferencesManager.get(); }
    const runtime::Id& delegate() const { return m_delegate; }
    void setDelegate(runtime::Id delegate) { m_delegate = std::move(delegate); }

    void reloadPreferences();
    // The reload showQuickReply starts on the background executor; the store
    // swaps in the new dictionary whole, so a reader on the main thread sees
    // either the old or the new one.
    void startBackgroundReload();

    // Changes to the record while the window is open, for e-mail only.
    void overWriteLastMessageText(const std::optional<std::string>&);
    void overWriteLastMessageAddress(const std::optional<std::string>&);
    std::string getNameFromAddress(const std::string& address);

    // Presentation (RDLPresentation.cpp).
    void showBulletin();
    void showQuickReply();
    void dismissBanner();
    void dismissBannerOnly();
    void emergencyDismissBanner();
    void openApp(const std::string& displayIdentifier);
    void openAppWithURL(const std::string& url);
    void deviceRotated(int64_t orientation);

private:
    void hideOverlay();

    std::optional<std::string> m_lastMessage;
    std::optional<std::string> m_lastMessageAddress;
    std::string m_lastMessageType;
    runtime::Id m_theLastMessage;
    std::string m_lastActionURL;
    int64_t m_status { 0 };
    bool m_inApp { false };
    bool m_ownBulletin { false };
    bool m_shouldClose { false };
    runtime::Ref<uikit::UIWindow> m_alertWindow;
    runtime::Id m_qRVC;
    // Shared with the background reload, which may outlast the controller.
    std::shared_ptr<kelvane::KelvanePreferenceManager> m_preferencesManager;
    runtime::Id m_delegate;
};

} // namespace rendalo
