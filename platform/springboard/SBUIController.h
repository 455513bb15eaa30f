// Brings applications to the front and goes back to the home screen. An
// activation sends, through the runtime, `deactivate` to the application in
// front, `launch` to the new one when it is not running yet, and `activate`
// to it; the home button sends `deactivate` to the application in front.
#pragma once

#include <runtime/Runtime.h>

namespace springboard {

class SBApplication;

class SBUIController : public runtime::Object {
    PLV_CLASS(SBUIController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBUIController>&);

    static runtime::Ref<SBUIController> sharedInstance();

    // A nil or foreign object is ignored.
    void activateApplicationAnimated(const runtime::Id& application);
    // The same, from the app switcher (used while another application is in front).
    void activateApplicationFromSwitcher(const runtime::Id& application);
    // What a tap or an opened URL does: through the switcher while another
    // application is in front, otherwise animated. Sent through the runtime,
    // so hooks on either activation see it.
    static void bringToFront(const runtime::Ref<SBApplication>& application);
    // The home button: the notification centre closes if it is open,
    // otherwise the application in front goes away.
    void clickedMenuButton();

private:
    void activate(const runtime::Id& application);
};

} // namespace springboard
