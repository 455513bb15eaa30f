#include "SBStatusBarController.h"

#include "InterfaceOrientation.h"

#include <foundation/RunLoop.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>

#include <cmath>
#include <ctime>
#include <fmt/format.h>

namespace springboard {

using namespace uikit;

std::string displayTime()
{
    auto& loop = foundation::RunLoop::main();
    int minutes = 0;
    if (loop.clockKind() == foundation::ClockKind::Virtual) {
        minutes = 9 * 60 + 41 + static_cast<int>(std::floor(loop.now() / 60));
    } else {
        std::time_t now = std::time(nullptr);
        std::tm local {};
        localtime_r(&now, &local);
        minutes = local.tm_hour * 60 + local.tm_min;
    }
    minutes %= 24 * 60;
    return fmt::format("{}:{:02}", minutes / 60, minutes % 60);
}

runtime::Ref<SBStatusBarController> SBStatusBarController::create()
{
    auto controller = runtime::make<SBStatusBarController>();
    auto window = runtime::make<UIWindow>();
    window->setName("statusBar");
    window->setWindowLevel(UIWindowLevelStatusBar);
    window->setBackgroundColor(UIColor::blackColor());
    window->setUserInteractionEnabled(false);

    auto label = [](std::string name, int64_t alignment) {
        auto view = makeView<UILabel>(CGRectZero);
        view->setName(std::move(name));
        view->setFont(UIFont::boldSystemFontOfSize(12));
        view->setTextColor(UIColor::whiteColor());
        view->setBackgroundColor(UIColor::clearColor());
        view->setTextAlignment(alignment);
        return view;
    };
    controller->m_carrier = label("statusBarCarrier", UITextAlignmentLeft);
    controller->m_carrier->setText("Carrier");
    controller->m_time = label("statusBarTime", UITextAlignmentCenter);
    controller->m_battery = label("statusBarBattery", UITextAlignmentRight);
    controller->m_battery->setText("100%");
    window->addSubview(controller->m_carrier);
    window->addSubview(controller->m_time);
    window->addSubview(controller->m_battery);
    controller->m_window = window;
    controller->setOrientation(UIInterfaceOrientationPortrait);
    controller->refresh();
    window->setHidden(false);
    return controller;
}

void SBStatusBarController::setOrientation(int64_t orientation)
{
    double width = interfaceSize(orientation).width;
    placeWindow(*m_window, orientation, CGRectMake(0, 0, width, Height));
    m_carrier->setFrame(CGRectMake(6, 0, 100, Height));
    m_time->setFrame(CGRectMake(width / 2 - 50, 0, 100, Height));
    m_battery->setFrame(CGRectMake(width - 106, 0, 100, Height));
}

void SBStatusBarController::refresh()
{
    m_time->setText(displayTime());
}

} // namespace springboard
