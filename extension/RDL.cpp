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

void RDL::registerMethods(runtime::ClassBuilder<RDL>& b)
{
    common::registerReplyControllerMethods(b);
    b.method<&RDL::init>("init");
    b.method("multimediaObjects", [](RDL& self) -> std::vector<Id> { return self.multimediaObjects().value_or(std::vector<Id> {}); });
    b.method("hasAttachments", [](RDL& self) -> bool { return self.hasAttachments(); });
    b.method("setHasAttachments:", [](RDL& self, bool value) { self.setHasAttachments(value); });
    b.method("inLockScreen", [](RDL& self) -> bool { return self.inLockScreen(); });
    b.method("setInLockScreen:", [](RDL& self, bool value) { self.setInLockScreen(value); });
    b.method("qCVC", [](RDL& self) -> Id { return self.qCVC(); });
    b.method("setQCVC:", [](RDL& self, const Id& controller) { self.setQCVC(controller); });
    b.method("iMessagesBlackList", [](RDL& self) -> std::vector<int64_t> {
        return { self.iMessagesBlackList().begin(), self.iMessagesBlackList().end() };
    });

    b.method("deleteLog", [](RDL&) { RDL::deleteLog(); });
    b.method("recordPickedMessage:", [](RDL& self, int64_t recordID) { return self.recordPickedMessage(recordID, MissingMessage::KeepRecord); });
    b.method<&RDL::parseMadridMessageToFindMultimedia>("parseMadridMessageToFindMultimedia:");
    b.method<&RDL::markIMessageAsRead>("markIMessageAsRead:");
    b.method<&RDL::markSMSMessageAsRead>("markSMSMessageAsRead:");
    b.method<&RDL::addBlacklistedRowID>("addBlacklistedRowID:");
    b.method<&RDL::isBlacklisted>("isBlacklisted:");

    b.method("showBulletin:", [](RDL& self, int64_t recordID) { self.showBulletin(recordID); });
    b.method("showBulletin", [](RDL& self) { self.showBulletin(); });
    b.method<&RDL::showBulletinSubtitle>("showBulletin:subtitle:");
    b.method<&RDL::showQuickComposer>("showQuickComposer");
    b.method<&RDL::activatorReceiveEvent>("activator:receiveEvent:forListenerName:");
}

Id RDL::init()
{
    initShared(kelvane::PLVApplicationName);
    m_inLockScreen = false;
    m_preferencesManager->reloadPreferences();
    m_hasAttachments = false;

    Id activator = send<Id>(runtime::classNamed("LAActivator"), "sharedInstance");
    send(activator, "registerListener:forName:", self(), std::string(kelvane::ComposerListenerName));

    m_iMessagesBlackList.clear();

    tweakState().rdl = selfAs<RDL>();
    return self();
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
