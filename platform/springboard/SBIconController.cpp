#include "SBIconController.h"

#include "SBActionView.h"
#include "SBApplicationController.h"
#include "SBUIController.h"

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UILabel.h>
#include <uikit/UIScreen.h>

namespace springboard {

using namespace uikit;
using runtime::Id;

runtime::Ref<SBIconController> SBIconController::create()
{
    auto controller = runtime::make<SBIconController>();
    controller->m_window = runtime::make<UIWindow>();
    controller->m_window->setName("homeScreen");
    controller->m_window->setWindowLevel(UIWindowLevelNormal);
    controller->m_window->setFrame(UIScreen::mainScreen()->applicationFrame());
    controller->m_window->setBackgroundColor(UIColor::colorWithRed(0.16, 0.27, 0.45, 1));
    controller->reloadIcons();
    controller->m_window->setHidden(false);
    return controller;
}

void SBIconController::reloadIcons()
{
    for (auto& subview : std::vector(m_window->subviews()))
        subview->removeFromSuperview();
    const double cell = 76;
    const double iconSize = 57;
    int index = 0;
    for (auto& application : SBApplicationController::sharedInstance()->allApplications()) {
        double x = 4 + (index % 4) * cell;
        double y = 10 + (index / 4) * (cell + 14);
        runtime::Weak<SBApplication> weakApplication = application;
        auto icon = SBActionView::make(CGRectMake(x, y, cell, cell + 10), "icon-" + application->displayIdentifier(), [weakApplication] {
            if (auto target = weakApplication.lock())
                runtime::send(SBUIController::sharedInstance(), "activateApplicationAnimated:", Id(target));
        });
        auto tile = makeView<UIView>(CGRectMake((cell - iconSize) / 2, 0, iconSize, iconSize));
        tile->setBackgroundColor(application->displayIdentifier() == "com.apple.MobileSMS" ? UIColor::colorWithRed(0.3, 0.8, 0.3, 1) : UIColor::colorWithRed(0.25, 0.5, 0.95, 1));
        tile->layer()->setCornerRadius(10);
        tile->setUserInteractionEnabled(false);
        icon->addSubview(tile);
        auto name = makeView<UILabel>(CGRectMake(0, iconSize + 2, cell, 16));
        name->setText(application->displayName());
        name->setFont(UIFont::boldSystemFontOfSize(11));
        name->setTextAlignment(UITextAlignmentCenter);
        name->setTextColor(UIColor::whiteColor());
        name->setBackgroundColor(UIColor::clearColor());
        icon->addSubview(name);
        m_window->addSubview(icon);
        ++index;
    }
}

} // namespace springboard
