// RDL, the one controller of Parlivo (runtime class "RDL"). It keeps the
// record of the message a quick reply would answer, the window state that the
// hooks consult, the overlay window in which the quick reply and quick
// compose windows are drawn, the preference store, and a short list of
// iMessage row ids. It is created when SpringBoard has finished launching and
// lives as long as SpringBoard.
//
// While a window is open (`status` Open) the record is frozen: its setters do
// nothing, so a bulletin that arrives meanwhile cannot change what the open
// window answers. The text and address are optional because a banner tap on a
// message that is no longer in the database leaves them nil; the runtime
// getters read nil as the empty string.
//
// Every operation is also a runtime method under its own selector, so the
// windows (through RDLDoesAll.h) and Activator reach it by message.
#pragma once

#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <common/ReplyController.h>
#include <runtime/Runtime.h>
#include <uikit/UIWindow.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlivo {

inline constexpr long long LogSizeLimit = 100000;
inline constexpr size_t BlacklistCapacity = 10;

using common::WindowStatus;

// What recording a picked message does to the text and address when the
// message is no longer in the database.
enum class MissingMessage {
    KeepRecord,
    ClearRecord,
};

class RDL : public common::ReplyController {
    PLV_CLASS(RDL, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<RDL>&);

    // init: builds the overlay window, the record, the preference store,
    // registers with Activator and becomes the module's `rdl`.
    runtime::Id init();

    // nil (nullopt) until a scan, and again after each close.
    const std::optional<std::vector<runtime::Id>>& multimediaObjects() const { return m_multimediaObjects; }
    void setMultimediaObjects(std::optional<std::vector<runtime::Id>> objects) { m_multimediaObjects = std::move(objects); }
    bool hasAttachments() const { return m_hasAttachments; }
    void setHasAttachments(bool value) { m_hasAttachments = value; }

    bool inLockScreen() const { return m_inLockScreen; }
    void setInLockScreen(bool value) { m_inLockScreen = value; }
    const runtime::Id& qCVC() const { return m_qCVC; }
    void setQCVC(runtime::Id controller) { m_qCVC = std::move(controller); }

    // The log-size check: removes the log once it holds 100 000 bytes or
    // more. `deleteLog` runs it here; `startDeleteLog` on the background
    // executor, as every close does.
    static void deleteLog();
    static void startDeleteLog();

    // The message the user picked from a banner, a notification-centre row
    // or a lock-screen bulletin, by its record id: the kind becomes "sms";
    // a message found in the database gives the text and the address, has
    // its media scanned, and is marked read (as an iMessage when it has an
    // iMessage account, which also makes the kind "iMessage"; otherwise as
    // an SMS). Answers whether the message was found; what a missing one
    // does to the text and address is the caller's choice.
    bool recordPickedMessage(int64_t recordID, MissingMessage ifMissing);

    void parseMadridMessageToFindMultimedia(const runtime::Id& message);
    void markIMessageAsRead(int64_t recordID);
    void markSMSMessageAsRead(int64_t rowID);

    const std::deque<int64_t>& iMessagesBlackList() const { return m_iMessagesBlackList; }
    void addBlacklistedRowID(int64_t rowID);
    bool isBlacklisted(int64_t rowID) const;

    // Presentation (RDLPresentation.cpp).
    void showBulletin(int64_t recordID);
    void showBulletin();
    void showBulletinSubtitle(const std::string& title, const std::string& message);
    void showQuickReply() override;
    void showQuickComposer();
    void dismissBanner() override;
    void emergencyDismissBanner() override;
    void deviceRotated(int64_t orientation) override;
    void activatorReceiveEvent(const runtime::Id& activator, const runtime::Id& event, const std::string& listenerName);

private:
    void raiseAlertWindow(double level);
    // The window controller could not be made: the raised overlay would
    // otherwise sit over the whole screen, taking every touch, and `status`
    // would keep every later window from opening.
    void abandonOverlay(std::string_view controllerClass);
    void resetRecord();
    void recordKindAndMarkRead(const runtime::Id& message, int64_t recordID);

    std::optional<std::vector<runtime::Id>> m_multimediaObjects;
    bool m_hasAttachments { false };
    std::deque<int64_t> m_iMessagesBlackList;
    bool m_inLockScreen { false };
    runtime::Id m_qCVC;
};

// The plain banner of showBulletin:subtitle:, with the controller's
// ownBulletin set through its setter around the post; a nil controller posts
// the banner all the same.
void showBulletin(const std::string& title, const std::string& message, const runtime::Ref<RDL>& controller);

} // namespace parlivo
