#include "RDL.h"

#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/Executor.h>
#include <foundation/NotificationCenter.h>

namespace rendalo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

void RDL::registerMethods(runtime::ClassBuilder<RDL>& b)
{
    common::registerReplyControllerMethods(b);
    b.method<&RDL::init>("init");
    b.method("reloadPreferences:", [](RDL& self, const Id&) { self.reloadPreferences(); });
    b.method("showBulletin", [](RDL& self) { self.showBulletin(); });
}

Id RDL::init()
{
    // The store is not loaded here: every quick reply reloads it before it
    // opens.
    initShared(kelvane::RDLApplicationName);
    if (auto center = foundation::NSNotificationCenter::defaultCenter())
        center->addObserver(self(), runtime::sel("reloadPreferences:"), std::string(kelvane::RDLReloadNotification), runtime::nil);
    return self();
}

void RDL::startBackgroundReload()
{
    foundation::Executor::shared().submit([store = m_preferencesManager] {
        KelvaneLogger::log("Someone posted reload", KelvaneLogger::Development);
        store->reloadPreferences();
    });
}

} // namespace rendalo
