#include "SBIconController.h"

#include "ApplicationIcons.h"
#include "SBActionView.h"
#include "SBApplicationController.h"
#include "SBUIController.h"

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UIImage.h>
#include <uikit/UIImageView.h>
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
        // The icon's picture, or a plain tile when it is not on the device.
        auto tile = makeView<UIImageView>(CGRectMake((cell - iconSize) / 2, 0, iconSize, iconSize));
        tile->setName("iconImage");
        auto drawing = applicationIcon(application->displayIdentifier());
        runtime::Ref<UIImage> picture = drawing ? UIImage::imageWithContentsOfFile(drawing->path) : nullptr;
        if (picture)
            tile->setImage(picture);
        else
            tile->setBackgroundColor(drawing ? UIColor::colorWithRed(drawing->red, drawing->green, drawing->blue, 1) : UIColor::grayColor());
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
