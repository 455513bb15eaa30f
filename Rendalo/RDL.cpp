#include "RDL.h"

#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/Executor.h>
#include <foundation/NotificationCenter.h>
#include <uikit/CALayer.h>
#include <uikit/UIColor.h>
#include <uikit/UIDevice.h>

namespace rendalo {

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
    b.method("status", [](RDL& self) -> int64_t { return self.status(); });
    b.method("setStatus:", [](RDL& self, int64_t value) { self.setStatus(value); });
    b.method("inApp", [](RDL& self) -> bool { return self.inApp(); });
    b.method("setInApp:", [](RDL& self, bool value) { self.setInApp(value); });
    b.method("ownBulletin", [](RDL& self) -> bool { return self.ownBulletin(); });
    b.method("setOwnBulletin:", [](RDL& self, bool value) { self.setOwnBulletin(value); });
    b.method("shouldClose", [](RDL& self) -> bool { return self.shouldClose(); });
    b.method("setShouldClose:", [](RDL& self, bool value) { self.setShouldClose(value); });
    b.method("alertWindow", [](RDL& self) -> Id { return self.alertWindow(); });
    b.method("qRVC", [](RDL& self) -> Id { return self.qRVC(); });
    b.method("setQRVC:", [](RDL& self, const Id& controller) { self.setQRVC(controller); });
    b.method("preferencesManager", [](RDL& self) -> kelvane::KelvanePreferenceManager* { return self.preferencesManager(); });
    b.method("delegate", [](RDL& self) -> Id { return self.delegate(); });
    b.method("setDelegate:", [](RDL& self, const Id& delegate) { self.setDelegate(delegate); });

    b.method<&RDL::reloadPreferences>("reloadPreferences");
    b.method("reloadPreferences:", [](RDL& self, const Id&) { self.reloadPreferences(); });
    b.method("overWriteLastMessageText:", [](RDL& self, const std::string& text) { self.overWriteLastMessageText(text); });
    b.method("overWriteLastMessageAddress:", [](RDL& self, const std::string& address) { self.overWriteLastMessageAddress(address); });
    b.method<&RDL::getNameFromAddress>("getNameFromAddress:");

    b.method("showBulletin", [](RDL& self) { self.showBulletin(); });
    b.method<&RDL::showQuickReply>("showQuickReply");
    b.method<&RDL::dismissBanner>("dismissBanner");
    b.method<&RDL::dismissBannerOnly>("dismissBannerOnly");
    b.method<&RDL::emergencyDismissBanner>("emergencyDismissBanner");
    b.method<&RDL::openApp>("openApp:");
    b.method<&RDL::openAppWithURL>("openAppWithURL:");
    b.method<&RDL::deviceRotated>("deviceRotated:");
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

    m_status = 0;
    m_inApp = false;

    m_lastMessageAddress = "UNKNOWN";
    m_lastMessageType = "sms";
    m_lastMessage = "Unknown";

    // Not loaded here: every quick reply reloads it before it opens.
    m_preferencesManager = std::make_shared<kelvane::KelvanePreferenceManager>(kelvane::KelvanePreferenceManager::Variant::Extension);
    m_preferencesManager->setAppName(kelvane::RDLApplicationName);

    if (auto center = foundation::NSNotificationCenter::defaultCenter())
        center->addObserver(self(), runtime::sel("reloadPreferences:"), std::string(kelvane::RDLReloadNotification), runtime::nil);

    m_ownBulletin = false;
    return self();
}

void RDL::setLastMessage(std::optional<std::string> text)
{
    if (m_status == 1)
        return;
    m_lastMessage = std::move(text);
}

void RDL::setLastMessageAddress(std::optional<std::string> address)
{
    if (m_status == 1)
        return;
    m_lastMessageAddress = std::move(address);
}

void RDL::setLastMessageType(std::string type)
{
    if (m_status == 1)
        return;
    m_lastMessageType = std::move(type);
}

void RDL::setTheLastMessage(Id message)
{
    if (m_status == 1)
        return;
    m_theLastMessage = std::move(message);
}

void RDL::setLastActionURL(std::string url)
{
    if (m_status == 1)
        return;
    m_lastActionURL = std::move(url);
}

void RDL::reloadPreferences()
{
    KelvaneLogger::log("Someone posted reload", KelvaneLogger::Development);
    m_preferencesManager->reloadPreferences();
}

void RDL::startBackgroundReload()
{
    foundation::Executor::shared().submit([store = m_preferencesManager] {
        KelvaneLogger::log("Someone posted reload", KelvaneLogger::Development);
        store->reloadPreferences();
    });
}

void RDL::overWriteLastMessageText(const std::optional<std::string>& text)
{
    if (!text || m_lastMessageType != "email") {
        KelvaneLogger::log("Qualche pirla setta testo nil", KelvaneLogger::Development);
        return;
    }
    KelvaneLogger::log("RDL overWriteLastMessageText", KelvaneLogger::Development);
    if (m_status != 1)
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
    if (m_status != 1)
        return;
    m_lastMessageAddress = *address;
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

} // namespace rendalo
