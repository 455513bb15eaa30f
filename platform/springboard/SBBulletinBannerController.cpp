#include "SBBulletinBannerController.h"

#include "InterfaceOrientation.h"
#include "SBBannerView.h"
#include "SBUserAgent.h"
#include "SpringBoardContext.h"

#include <uikit/UIColor.h>
#include <uikit/UIGestureRecognizer.h>

namespace springboard {

using namespace uikit;
using runtime::Id;

void SBBulletinBannerController::registerMethods(runtime::ClassBuilder<SBBulletinBannerController>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> Id { return sharedInstance(); });
    b.method<&SBBulletinBannerController::addBulletin>("observer:addBulletin:forFeed:");
    b.method<&SBBulletinBannerController::isShowingBanner>("isShowingBanner");
    b.method<&SBBulletinBannerController::tryToDismissBanner>("_tryToDismissBannerWithAnimation:");
    b.method<&SBBulletinBannerController::handleBannerTapGesture>("_handleBannerTapGesture:");
    b.method<&SBBulletinBannerController::bulletinWindowWillRotate>("bulletinWindowWillRotateToOrientation:");
    b.ivar<&SBBulletinBannerController::m_bannerAndShadowView>("_bannerAndShadowView");
}

runtime::Ref<SBBulletinBannerController> SBBulletinBannerController::sharedInstance()
{
    auto& context = springBoardContext();
    if (!context.bannerController)
        context.bannerController = runtime::make<SBBulletinBannerController>();
    return context.bannerController;
}

void SBBulletinBannerController::addBulletin(const Id&, const Id& bulletin, int64_t)
{
    auto item = runtime::cast<BBBulletin>(bulletin);
    if (!item)
        return;
    if (isShowingBanner())
        removeBanner();
    showBanner(item);
}

void SBBulletinBannerController::showBanner(const runtime::Ref<BBBulletin>& bulletin)
{
    double width = interfaceSize(m_orientation).width;
    auto banner = SBBannerView::withBulletin(bulletin, width);
    runtime::send(banner, "_createSubviewsWithBannerImage:", Id(bannerImageForSection(bulletin->sectionID())));

    auto container = SBBannerAndShadowView::withBanner(banner);
    auto recognizer = runtime::make<UITapGestureRecognizer>();
    recognizer->initWithTarget(self(), "_handleBannerTapGesture:");
    container->addGestureRecognizer(recognizer);

    if (!m_window) {
        m_window = runtime::make<UIWindow>();
        m_window->setName("bannerWindow");
        m_window->setWindowLevel(WindowLevel);
        m_window->setBackgroundColor(UIColor::clearColor());
    }
    m_bulletin = bulletin;
    m_bannerAndShadowView = container;
    placeBannerWindow();
    m_window->addSubview(container);
    m_window->setHidden(false);

    runtime::Weak<SBBulletinBannerController> weakSelf = selfAs<SBBulletinBannerController>();
    m_dismissTimer = foundation::Timer::once(BannerDuration, [weakSelf](foundation::Timer&) {
        if (auto controller = weakSelf.lock())
            runtime::send(controller, "_tryToDismissBannerWithAnimation:", int64_t { 1 });
    });
}

void SBBulletinBannerController::placeBannerWindow()
{
    if (!m_window)
        return;
    double width = interfaceSize(m_orientation).width;
    double height = SBBannerView::Height + SBBannerAndShadowView::ShadowHeight;
    placeWindow(*m_window, m_orientation, CGRectMake(0, 0, width, height));
    if (auto container = runtime::cast<SBBannerAndShadowView>(m_bannerAndShadowView)) {
        container->setFrame(CGRectMake(0, 0, width, height));
        if (auto banner = container->bannerView())
            banner->setFrame(CGRectMake(0, 0, width, SBBannerView::Height));
        for (auto& subview : container->subviews()) {
            if (subview->name() == "bannerShadow")
                subview->setFrame(CGRectMake(0, SBBannerView::Height, width, SBBannerAndShadowView::ShadowHeight));
        }
    }
}

void SBBulletinBannerController::removeBanner()
{
    if (m_dismissTimer) {
        m_dismissTimer->invalidate();
        m_dismissTimer = nullptr;
    }
    if (m_bannerAndShadowView)
        m_bannerAndShadowView->removeFromSuperview();
    if (m_window)
        m_window->setHidden(true);
    m_bannerAndShadowView = nullptr;
    m_bulletin = nullptr;
}

void SBBulletinBannerController::tryToDismissBanner(int64_t)
{
    if (isShowingBanner())
        removeBanner();
}

void SBBulletinBannerController::handleBannerTapGesture(const Id&)
{
    auto bulletin = m_bulletin;
    if (!bulletin)
        return;
    runtime::send(self(), "_tryToDismissBannerWithAnimation:", int64_t { 1 });
    launchDefaultAction(bulletin, LaunchOriginBanner);
}

void SBBulletinBannerController::bulletinWindowWillRotate(int64_t orientation)
{
    if (!isValidOrientation(orientation))
        return;
    m_orientation = orientation;
    placeBannerWindow();
}

std::optional<double> SBBulletinBannerController::dismissalDate() const
{
    if (!m_dismissTimer || !m_dismissTimer->isValid())
        return std::nullopt;
    return m_dismissTimer->fireDate();
}

} // namespace springboard
