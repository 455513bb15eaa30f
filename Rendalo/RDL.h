// RDL, Rendalo's one controller (Rendalo's own runtime class "RDL"). It keeps
// the record of the message or e-mail a quick reply would answer, the window
// state the hooks consult, the overlay window in which the quick reply is
// drawn, and the preference store "RDL". It is created when SpringBoard has
// finished launching and lives as long as SpringBoard; so does its quick
// reply window, which is created once and shown again for every reply.
//
// While the window is open (`status` Open) the record is frozen: its setters do
// nothing, so a message that arrives meanwhile cannot change what the open
// window answers; only the e-mail overwrites reach it.
//
// Every operation is also a runtime method under its own selector, so the
// window reaches it by message.
#pragma once

#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <common/ReplyController.h>
#include <runtime/Runtime.h>
#include <uikit/UIWindow.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace rendalo {

class RDL : public common::ReplyController {
    PLV_CLASS(RDL, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<RDL>&);

    // init: the overlay window, the record, the store "RDL" (not loaded yet)
    // and the in-process reload observer (held weakly by the centre). The
    // launch hook keeps it as `rdl`.
    runtime::Id init();

    // The reload showQuickReply starts on the background executor; the store
    // swaps in the new dictionary whole, so a reader on the main thread sees
    // either the old or the new one.
    void startBackgroundReload();

    // Presentation (RDLPresentation.cpp).
    void showBulletin();
    void showQuickReply() override;
    void dismissBanner() override;
    void emergencyDismissBanner() override;
    void deviceRotated(int64_t orientation) override;
};

} // namespace rendalo
