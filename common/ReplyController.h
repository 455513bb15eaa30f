// What both libraries' controller RDL is made of alike: the record of the
// message a quick reply would answer with its frozen-while-open setters, the
// window state the hooks consult, the overlay window the quick reply is drawn
// in, the preference store, and the operations whose behaviour is the same
// in both (the e-mail overwrites, names for addresses, switching to an
// application, the controller's own banner, removing SpringBoard's banner).
//
// Each library derives its own runtime class "RDL" from it and registers the
// shared selectors with registerReplyControllerMethods, so both can stand in
// one SpringBoard with their own state. What differs (opening and closing
// the windows, the preferences' name, the lock screen, the row-id list) is
// the derived class's.
#pragma once

#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <runtime/Runtime.h>
#include <uikit/UIWindow.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// Whether one of the controller's windows is open. The runtime's `status`
// answers it as the integer the windows and Activator know (0 closed, 1
// open); any other integer set through `setStatus:` is kept as it is and
// counts as neither.
enum class WindowStatus : int64_t {
    Closed = 0,
    Open = 1,
};

inline constexpr std::string_view MessagesSectionID = "com.apple.MobileSMS";
// The section of the controller's own banner for a kind other than "sms".
inline constexpr std::string_view OwnBannerSection = "RDLbanner";

class ReplyController : public runtime::Object {
public:
    static constexpr double QuickReplyDelay = 1.0;
    static constexpr double OverlayHeight = 480;

    // The message record; its setters do nothing while a window is open, so
    // a message that arrives meanwhile cannot change what the window answers.
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

    WindowStatus status() const { return m_status; }
    void setStatus(WindowStatus value) { m_status = value; }
    bool isWindowOpen() const { return m_status == WindowStatus::Open; }
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

    // Changes to the record while a window is open, for e-mail only: they
    // also refresh the open window.
    void overWriteLastMessageText(const std::optional<std::string>&);
    void overWriteLastMessageAddress(const std::optional<std::string>&);
    std::string getNameFromAddress(const std::string& address);

    void openApp(const std::string& displayIdentifier);
    void openAppWithURL(const std::string& url);
    // Removes SpringBoard's banner through the delegate, past the hook that
    // refuses SpringBoard's own removals while a window is open.
    void dismissBannerOnly();

    virtual void showQuickReply() = 0;
    virtual void dismissBanner() = 0;
    virtual void emergencyDismissBanner() = 0;
    virtual void deviceRotated(int64_t orientation) = 0;

protected:
    // The overlay window (hidden, no height), the record ("Unknown",
    // "UNKNOWN", "sms"), the store under `appName` (not loaded), and every
    // flag cleared.
    void initShared(std::string_view appName);
    const std::shared_ptr<kelvane::KelvanePreferenceManager>& sharedPreferencesManager() const { return m_preferencesManager; }

    // The controller's own banner for the record (the sender's name; "Message"
    // in the messages section for an SMS, else the kind in its own section),
    // taken as ours by the add-bulletin hooks; the quick reply follows a
    // second later.
    void postOwnBulletin(std::optional<int64_t> recordID);
    // The overlay over the application frame's width (`widthWithoutScreen`
    // when there is no screen) and 480 high, key and visible.
    void raiseOverlay(double widthWithoutScreen);
    void hideOverlay();
    // A window controller's view off the overlay, and `dismiss`.
    static void takeDownWindow(const runtime::Id& controller);

    std::optional<std::string> m_lastMessage;
    std::optional<std::string> m_lastMessageAddress;
    std::string m_lastMessageType;
    runtime::Id m_theLastMessage;
    std::string m_lastActionURL;
    WindowStatus m_status { WindowStatus::Closed };
    bool m_inApp { false };
    bool m_ownBulletin { false };
    bool m_shouldClose { false };
    runtime::Ref<uikit::UIWindow> m_alertWindow;
    runtime::Id m_qRVC;
    // Shared with a background reload, which may outlast the controller.
    std::shared_ptr<kelvane::KelvanePreferenceManager> m_preferencesManager;
    runtime::Id m_delegate;
};

// The selectors both controllers answer alike, registered on `T`'s class.
template <class T>
void registerReplyControllerMethods(runtime::ClassBuilder<T>& b)
{
    using runtime::Id;
    b.method("lastMessage", [](T& self) -> std::string { return self.lastMessage().value_or(std::string {}); });
    b.method("setLastMessage:", [](T& self, const std::string& text) { self.setLastMessage(text); });
    b.method("lastMessageAddress", [](T& self) -> std::string { return self.lastMessageAddress().value_or(std::string {}); });
    b.method("setLastMessageAddress:", [](T& self, const std::string& address) { self.setLastMessageAddress(address); });
    b.method("lastMessageType", [](T& self) -> std::string { return self.lastMessageType(); });
    b.method("setLastMessageType:", [](T& self, const std::string& type) { self.setLastMessageType(type); });
    b.method("theLastMessage", [](T& self) -> Id { return self.theLastMessage(); });
    b.method("setTheLastMessage:", [](T& self, const Id& message) { self.setTheLastMessage(message); });
    b.method("lastActionURL", [](T& self) -> std::string { return self.lastActionURL(); });
    b.method("setLastActionURL:", [](T& self, const std::string& url) { self.setLastActionURL(url); });
    b.method("status", [](T& self) -> int64_t { return static_cast<int64_t>(self.status()); });
    b.method("setStatus:", [](T& self, int64_t value) { self.setStatus(static_cast<WindowStatus>(value)); });
    b.method("inApp", [](T& self) -> bool { return self.inApp(); });
    b.method("setInApp:", [](T& self, bool value) { self.setInApp(value); });
    b.method("ownBulletin", [](T& self) -> bool { return self.ownBulletin(); });
    b.method("setOwnBulletin:", [](T& self, bool value) { self.setOwnBulletin(value); });
    b.method("shouldClose", [](T& self) -> bool { return self.shouldClose(); });
    b.method("setShouldClose:", [](T& self, bool value) { self.setShouldClose(value); });
    b.method("alertWindow", [](T& self) -> Id { return self.alertWindow(); });
    b.method("qRVC", [](T& self) -> Id { return self.qRVC(); });
    b.method("setQRVC:", [](T& self, const Id& controller) { self.setQRVC(controller); });
    b.method("preferencesManager", [](T& self) -> kelvane::KelvanePreferenceManager* { return self.preferencesManager(); });
    b.method("delegate", [](T& self) -> Id { return self.delegate(); });
    b.method("setDelegate:", [](T& self, const Id& delegate) { self.setDelegate(delegate); });

    b.method("reloadPreferences", [](T& self) { self.reloadPreferences(); });
    b.method("overWriteLastMessageText:", [](T& self, const std::string& text) { self.overWriteLastMessageText(text); });
    b.method("overWriteLastMessageAddress:", [](T& self, const std::string& address) { self.overWriteLastMessageAddress(address); });
    b.method("getNameFromAddress:", [](T& self, const std::string& address) -> std::string { return self.getNameFromAddress(address); });

    b.method("showQuickReply", [](T& self) { self.showQuickReply(); });
    b.method("dismissBanner", [](T& self) { self.dismissBanner(); });
    b.method("dismissBannerOnly", [](T& self) { self.dismissBannerOnly(); });
    b.method("emergencyDismissBanner", [](T& self) { self.emergencyDismissBanner(); });
    b.method("openApp:", [](T& self, const std::string& identifier) { self.openApp(identifier); });
    b.method("openAppWithURL:", [](T& self, const std::string& url) { self.openAppWithURL(url); });
    b.method("deviceRotated:", [](T& self, int64_t orientation) { self.deviceRotated(orientation); });
}

} // namespace common
