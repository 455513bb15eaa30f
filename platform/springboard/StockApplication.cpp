#include "StockApplication.h"

#include "InterfaceOrientation.h"
#include "SBActionView.h"
#include "SBStatusBarController.h"

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>

namespace springboard {

using namespace uikit;

runtime::Ref<UILabel> makeStockLabel(const CGRect& frame, std::string name, std::string text, runtime::Ref<UIFont> font, runtime::Ref<UIColor> colour)
{
    auto label = makeView<UILabel>(frame);
    label->setName(std::move(name));
    label->setText(std::move(text));
    label->setFont(std::move(font));
    label->setTextColor(std::move(colour));
    label->setBackgroundColor(UIColor::clearColor());
    return label;
}

StockApplication::StockApplication(std::string windowName)
    : m_window(runtime::make<UIWindow>())
{
    m_window->setName(std::move(windowName));
    m_window->setWindowLevel(UIWindowLevelNormal);
    m_window->setBackgroundColor(UIColor::whiteColor());
}

void StockApplication::setOrientation(int64_t orientation)
{
    m_size = interfaceSize(orientation);
    placeWindow(*m_window, orientation, CGRectMake(0, SBStatusBarController::Height, m_size.width, m_size.height - SBStatusBarController::Height));
    refresh();
}

void StockApplication::beginScreen(const std::string& prefix, std::string title)
{
    for (auto& subview : std::vector(m_window->subviews()))
        subview->removeFromSuperview();
    double width = m_size.width;
    auto bar = makeView<UIView>(CGRectMake(0, 0, width, TitleHeight));
    bar->setName(prefix + "NavigationBar");
    bar->setBackgroundColor(UIColor::colorWithRed(0.45, 0.55, 0.7, 1));
    bar->setUserInteractionEnabled(false);
    m_window->addSubview(bar);
    auto titleLabel = makeStockLabel(CGRectMake(70, 0, width - 140, TitleHeight), prefix + "Title", std::move(title), UIFont::boldSystemFontOfSize(18), UIColor::whiteColor());
    titleLabel->setTextAlignment(UITextAlignmentCenter);
    m_window->addSubview(titleLabel);
}

void StockApplication::addBackButton(const std::string& prefix, std::string title, std::function<void()> action)
{
    auto back = SBActionView::make(CGRectMake(4, 7, 62, 30), prefix + "Back", std::move(action));
    back->setBackgroundColor(UIColor::colorWithRed(0.35, 0.45, 0.6, 1));
    back->layer()->setCornerRadius(5);
    back->addSubview(makeStockLabel(CGRectMake(4, 4, 54, 22), prefix + "BackTitle", std::move(title), UIFont::boldSystemFontOfSize(11), UIColor::whiteColor()));
    m_window->addSubview(back);
}

} // namespace springboard
