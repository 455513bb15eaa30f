// The shared objects of one running SpringBoard: the application, the banner
// and notification-centre controllers, the lock screen, the user agent, the
// applications and the home screen, with the device's orientation. They live
// together so that shutting a phone down (or a test) drops them all with
// `resetSpringBoard()`. Everything here belongs to the main thread.
#pragma once

#include <runtime/Runtime.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace springboard {

class SpringBoard;
class SBBulletinBannerController;
class SBBulletinListController;
class SBAwayController;
class SBUserAgent;
class SBApplication;
class SBApplicationController;
class SBUIController;
class SBIconController;
class SBStatusBarController;

// Identifiers and section names the host uses.
inline constexpr std::string_view MessagesIdentifier = "com.apple.MobileSMS";
inline constexpr std::string_view MailIdentifier = "com.apple.mobilemail";
inline constexpr std::string_view SpringBoardIdentifier = "com.apple.springboard";

// Where a launch from a bulletin came from (`launchOrigin:`).
enum LaunchOrigin : int64_t {
    LaunchOriginBanner = 1,
    LaunchOriginNotificationCenter = 2,
    LaunchOriginLockScreen = 3,
};

struct SpringBoardContext {
    runtime::Ref<SpringBoard> springBoard;
    bool launched { false };

    // Made on first use.
    runtime::Ref<SBBulletinBannerController> bannerController;
    runtime::Ref<SBUserAgent> userAgent;
    runtime::Ref<SBApplicationController> applicationController;
    runtime::Ref<SBUIController> uiController;

    // Made when SpringBoard finishes launching; nil before.
    runtime::Ref<SBBulletinListController> listController;
    runtime::Ref<SBAwayController> awayController;
    runtime::Ref<SBIconController> iconController;
    runtime::Ref<SBStatusBarController> statusBar;

    // The application in front, nil on the home screen.
    runtime::Weak<SBApplication> frontApplication;

    // The way the device is held, and the orientation of the interface in
    // front (the home screen and the lock screen stay in portrait).
    int64_t deviceOrientation { 1 };
    int64_t interfaceOrientation { 1 };

    uint64_t bulletinSequence { 0 };
};

SpringBoardContext& springBoardContext();
// Drops every shared object and the state above.
void resetSpringBoard();

} // namespace springboard
