// SpringBoard, the phone's home-screen process, as its application object:
// the shared UIApplication of the host. It is sent
// `applicationDidFinishLaunching:` through the runtime once at boot, after
// the extensions have loaded, and then puts up the status bar, the home
// screen, the notification centre and the lock screen. `openURL:` hands
// sms:, mailto: and mail message URLs to their applications. It also turns
// the interface when the device rotates: the application in front follows
// the device (not upside down), the home and lock screens stay in portrait, and the
// banner controller is told with `bulletinWindowWillRotateToOrientation:`.
#pragma once

#include <uikit/UIApplication.h>

namespace springboard {

class SpringBoard : public uikit::UIApplication {
    PLV_CLASS(SpringBoard, uikit::UIApplication)
public:
    static void registerMethods(runtime::ClassBuilder<SpringBoard>&);

    static runtime::Ref<SpringBoard> shared();

    void applicationDidFinishLaunching(const runtime::Id& application);
    bool hasFinishedLaunching() const;
    // The interface orientation of the application in front; portrait on the home screen.
    int64_t frontMostAppOrientation() const;

    bool openURL(const std::string& url) override;
    bool canOpenURL(const std::string& url) const override;

    void setDeviceOrientation(int64_t);
    // Brings the interface in line with the device and the application in
    // front; called after anything that changes either.
    void updateInterfaceOrientation();
};

} // namespace springboard
