#include "RDL.h"

#include "MessageLookup.h"
#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/DevicePath.h>
#include <foundation/Executor.h>
#include <uikit/CALayer.h>
#include <uikit/UIColor.h>
#include <uikit/UIDevice.h>

#include <fmt/format.h>

#include <algorithm>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

namespace {

    std::string orEmpty(const std::optional<std::string>& text)
    {
        return text.value_or(std::string {});
    }

} // namespace

void RDL::registerMethods(runtime::ClassBuilder<RDL>& b)
{
    b.method<&RDL::init>("init");
    b.method("lastMessage", [](RDL& self) -> std::string { return orEmpty(self.lastMessage()); });
    b.method("setLastMessage:", [](RDL& self, const std::string& text) { self.setLastMessage(text); });
    b.method("lastMessageAddress", [](RDL& self) -> std::string { return orEmpty(self.lastMessageAddress()); });
    b.method("setLastMessageAddress:", [](RDL& self, const std::string& address) { self.setLastMessageAddress(address); });
    b.method("lastMessageType", [](RDL& self) -> std::string { return self.lastMessageType(); });
    b.method("setLastMessageType:", [](RDL& self, const std::string& type) { self.setLastMessageType(type); });
    b.method("theLastMessage", [](RDL& self) -> Id { return self.theLastMessage(); });
    b.method("setTheLastMessage:", [](RDL& self, const Id& message) { self.setTheLastMessage(message); });
    b.method("lastActionURL", [](RDL& self) -> std::string { return self.lastActionURL(); });
    b.method("setLastActionURL:", [](RDL& self, const std::string& url) { self.setLastActionURL(url); });
    b.method("multimediaObjects", [](RDL& self) -> std::vector<Id> { return self.multimediaObjects().value_or(std::vector<Id> {}); });
    b.method("hasAttachments", [](RDL& self) -> bool { return self.hasAttachments(); });
    b.method("setHasAttachments:", [](RDL& self, bool value) { self.setHasAttachments(value); });
    b.method("status", [](RDL& self) -> int64_t { return static_cast<int64_t>(self.status()); });
    b.method("setStatus:", [](RDL& self, int64_t value) { self.setStatus(static_cast<WindowStatus>(value)); });
    b.method("inApp", [](RDL& self) -> bool { return self.inApp(); });
    b.method("setInApp:", [](RDL& self, bool value) { self.setInApp(value); });
    b.method("inLockScreen", [](RDL& self) -> bool { return self.inLockScreen(); });
    b.method("setInLockScreen:", [](RDL& self, bool value) { self.setInLockScreen(value); });
    b.method("ownBulletin", [](RDL& self) -> bool { return self.ownBulletin(); });
    b.method("setOwnBulletin:", [](RDL& self, bool value) { self.setOwnBulletin(value); });
    b.method("shouldClose", [](RDL& self) -> bool { return self.shouldClose(); });
    b.method("setShouldClose:", [](RDL& self, bool value) { self.setShouldClose(value); });
    b.method("alertWindow", [](RDL& self) -> Id { return self.alertWindow(); });
    b.method("qRVC", [](RDL& self) -> Id { return self.qRVC(); });
    b.method("setQRVC:", [](RDL& self, const Id& controller) { self.setQRVC(controller); });
    b.method("qCVC", [](RDL& self) -> Id { return self.qCVC(); });
    b.method("setQCVC:", [](RDL& self, const Id& controller) { self.setQCVC(controller); });
    b.method("preferencesManager", [](RDL& self) -> kelvane::KelvanePreferenceManager* { return self.preferencesManager(); });
    b.method("delegate", [](RDL& self) -> Id { return self.delegate(); });
    b.method("setDelegate:", [](RDL& self, const Id& delegate) { self.setDelegate(delegate); });
    b.method("iMessagesBlackList", [](RDL& self) -> std::vector<int64_t> {
        return { self.iMessagesBlackList().begin(), self.iMessagesBlackList().end() };
    });

    b.method<&RDL::reloadPreferences>("reloadPreferences");
    b.method("deleteLog", [](RDL&) { RDL::deleteLog(); });
    b.method("overWriteLastMessageText:", [](RDL& self, const std::string& text) { self.overWriteLastMessageText(text); });
    b.method("overWriteLastMessageAddress:", [](RDL& self, const std::string& address) { self.overWriteLastMessageAddress(address); });
    b.method("recordPickedMessage:", [](RDL& self, int64_t recordID) { return self.recordPickedMessage(recordID, MissingMessage::KeepRecord); });
    b.method<&RDL::parseMadridMessageToFindMultimedia>("parseMadridMessageToFindMultimedia:");
    b.method<&RDL::markIMessageAsRead>("markIMessageAsRead:");
    b.method<&RDL::markSMSMessageAsRead>("markSMSMessageAsRead:");
    b.method<&RDL::getNameFromAddress>("getNameFromAddress:");
    b.method<&RDL::addBlacklistedRowID>("addBlacklistedRowID:");
    b.method<&RDL::isBlacklisted>("isBlacklisted:");

    b.method("showBulletin:", [](RDL& self, int64_t recordID) { self.showBulletin(recordID); });
    b.method("showBulletin", [](RDL& self) { self.showBulletin(); });
    b.method<&RDL::showBulletinSubtitle>("showBulletin:subtitle:");
    b.method<&RDL::showQuickReply>("showQuickReply");
    b.method<&RDL::showQuickComposer>("showQuickComposer");
    b.method<&RDL::dismissBanner>("dismissBanner");
    b.method<&RDL::dismissBannerOnly>("dismissBannerOnly");
    b.method<&RDL::emergencyDismissBanner>("emergencyDismissBanner");
    b.method<&RDL::openApp>("openApp:");
    b.method<&RDL::openAppWithURL>("openAppWithURL:");
    b.method<&RDL::deviceRotated>("deviceRotated:");
    b.method<&RDL::activatorReceiveEvent>("activator:receiveEvent:forListenerName:");
}

Id RDL::init()
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
    m_inLockScreen = false;

    m_lastMessageAddress = "UNKNOWN";
    m_lastMessageType = "sms";
    m_lastMessage = "Unknown";

    m_preferencesManager = std::make_unique<kelvane::KelvanePreferenceManager>(kelvane::KelvanePreferenceManager::Variant::Extension);
    m_preferencesManager->setAppName(kelvane::PLVApplicationName);
    m_preferencesManager->reloadPreferences();

    m_ownBulletin = false;
    m_hasAttachments = false;

    Id activator = send<Id>(runtime::classNamed("LAActivator"), "sharedInstance");
    send(activator, "registerListener:forName:", self(), std::string(kelvane::ComposerListenerName));

    m_iMessagesBlackList.clear();

    tweakState().rdl = selfAs<RDL>();
    return self();
}

void RDL::setLastMessage(std::optional<std::string> text)
{
    if (m_status == WindowStatus::Open)
        return;
    m_lastMessage = std::move(text);
}

void RDL::setLastMessageAddress(std::optional<std::string> address)
{
    if (m_status == WindowStatus::Open)
        return;
    m_lastMessageAddress = std::move(address);
}

void RDL::setLastMessageType(std::string type)
{
    if (m_status == WindowStatus::Open)
        return;
    m_lastMessageType = std::move(type);
}

void RDL::setTheLastMessage(Id message)
{
    if (m_status == WindowStatus::Open)
        return;
    m_theLastMessage = std::move(message);
}

void RDL::setLastActionURL(std::string url)
{
    if (m_status == WindowStatus::Open)
        return;
    m_lastActionURL = std::move(url);
}

void RDL::reloadPreferences()
{
    KelvaneLogger::log("Someone posted reload", KelvaneLogger::Development);
    m_preferencesManager->reloadPreferences();
}

void RDL::deleteLog()
{
    auto size = foundation::deviceFileSize(kelvane::PLVLogPath);
    if (!size)
        return;
    KelvaneLogger::log(fmt::format("The file size is: {}", *size), KelvaneLogger::Normal);
    // Compared at full width: read as 32 bits, a log past 2 GiB would turn
    // negative and never be removed.
    if (static_cast<long long>(*size) < LogSizeLimit)
        return;
    KelvaneLogger::removeLogFileIfAtLeast(kelvane::PLVLogPath, LogSizeLimit);
}

void RDL::startDeleteLog()
{
    foundation::Executor::shared().submit([] { deleteLog(); });
}

void RDL::overWriteLastMessageText(const std::optional<std::string>& text)
{
    if (!text || m_lastMessageType != "email") {
        KelvaneLogger::log("Qualche pirla setta testo nil", KelvaneLogger::Development);
        return;
    }
    KelvaneLogger::log("RDL overWriteLastMessageText", KelvaneLogger::Development);
    if (m_status != WindowStatus::Open)
        return;
    m_lastMessage = *text;
    if (m_qRVC) {
        send(m_qRVC, "setMessage:", *text);
        send(m_qRVC, "reloadFields");
    }
}

void RDL::overWriteLastMessageAddress(const std::optional<std::string>& address)
{
    if (!address || m_lastMessageType != "email") {
        KelvaneLogger::log("Qualche pirla setta indirizzo nil", KelvaneLogger::Development);
        return;
    }
    if (m_status != WindowStatus::Open)
        return;
    m_lastMessageAddress = *address;
}

bool RDL::recordPickedMessage(int64_t recordID, MissingMessage ifMissing)
{
    setLastMessageType("sms");
    Id message = loadDatabaseMessage(recordID);
    if (!message) {
        if (ifMissing == MissingMessage::ClearRecord) {
            setLastMessage(std::nullopt);
            setLastMessageAddress(std::nullopt);
        }
        return false;
    }
    setLastMessage(send<std::string>(message, "text"));
    setLastMessageAddress(send<std::string>(message, "address"));
    parseMadridMessageToFindMultimedia(message);
    recordKindAndMarkRead(message, recordID);
    return true;
}

void RDL::recordKindAndMarkRead(const Id& message, int64_t recordID)
{
    if (!send<std::string>(message, "madridAccountGUID").empty()) {
        setLastMessageType("iMessage");
        markIMessageAsRead(recordID);
    } else {
        markSMSMessageAsRead(recordID);
    }
}

void RDL::parseMadridMessageToFindMultimedia(const Id& message)
{
    if (!message)
        return;
    auto parts = send<std::vector<Id>>(message, "messageParts");
    m_multimediaObjects = std::vector<Id> {};
    runtime::Class* mediaPart = runtime::classNamed("CKMediaObjectMessagePart");
    for (auto& part : parts) {
        if (part && mediaPart && part->isKindOfClass(mediaPart)) {
            m_hasAttachments = true;
            m_multimediaObjects->push_back(part);
        } else {
            m_hasAttachments = false;
        }
    }
}

void RDL::markIMessageAsRead(int64_t recordID)
{
    Id message = send<Id>(send<Id>(runtime::classNamed("CKIMDBMessage"), "alloc"), "initWithRecordID:", recordID);
    send(message, "markAsRead");
}

void RDL::markSMSMessageAsRead(int64_t rowID)
{
    Id message = send<Id>(send<Id>(runtime::classNamed("CKSMSMessage"), "alloc"), "initWithRowID:", rowID);
    if (message)
        send(message, "markAsRead");
}

std::string RDL::getNameFromAddress(const std::string& address)
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

void RDL::addBlacklistedRowID(int64_t rowID)
{
    if (m_iMessagesBlackList.size() >= BlacklistCapacity)
        m_iMessagesBlackList.pop_back();
    m_iMessagesBlackList.push_front(rowID);
}

bool RDL::isBlacklisted(int64_t rowID) const
{
    return std::ranges::find(m_iMessagesBlackList, rowID) != m_iMessagesBlackList.end();
}

} // namespace parlivo
