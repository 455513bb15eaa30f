// The banner controller: a bulletin offered to it with
// `observer:addBulletin:forFeed:` becomes a banner in a window at the top of
// the screen, over the status bar, and goes away by itself after a few
// seconds through `_tryToDismissBannerWithAnimation:`. A tap on the banner
// arrives as `_handleBannerTapGesture:` from its tap recogniser and opens the
// bulletin's default action. A new bulletin replaces the banner on screen.
// Every one of these is sent through the runtime, by SpringBoard as well, so
// that a hook sees each call.
#pragma once

#include "BBBulletin.h"

#include <foundation/RunLoop.h>
#include <uikit/UIKitTypes.h>
#include <uikit/UIView.h>
#include <uikit/UIWindow.h>

namespace springboard {

class SBBannerView;

class SBBulletinBannerController : public runtime::Object {
    PLV_CLASS(SBBulletinBannerController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBBulletinBannerController>&);

    static constexpr double BannerDuration = 5;
    // Over the status bar, under a quick reply opened on the lock screen.
    static constexpr uikit::UIWindowLevel WindowLevel = uikit::UIWindowLevelStatusBar + 1;

    static runtime::Ref<SBBulletinBannerController> sharedInstance();

    void addBulletin(const runtime::Id& observer, const runtime::Id& bulletin, int64_t feed);
    bool isShowingBanner() const { return m_bulletin != nullptr; }
    void tryToDismissBanner(int64_t animation);
    void handleBannerTapGesture(const runtime::Id& recognizer);
    void bulletinWindowWillRotate(int64_t orientation);

    runtime::Ref<BBBulletin> currentBulletin() const { return m_bulletin; }
    runtime::Ref<uikit::UIView> bannerAndShadowView() const { return m_bannerAndShadowView; }
    runtime::Ref<uikit::UIWindow> window() const { return m_window; }
    // When the banner on screen goes away by itself, in seconds on the run loop's clock.
    std::optional<double> dismissalDate() const;

private:
    void showBanner(const runtime::Ref<BBBulletin>&);
    void removeBanner();
    void placeBannerWindow();

    runtime::Ref<uikit::UIWindow> m_window;
    runtime::Ref<uikit::UIView> m_bannerAndShadowView;
    runtime::Ref<BBBulletin> m_bulletin;
    runtime::Ref<foundation::Timer> m_dismissTimer;
    int64_t m_orientation { uikit::UIInterfaceOrientationPortrait };
};

} // namespace springboard
