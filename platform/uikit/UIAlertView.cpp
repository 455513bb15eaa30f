#include "UIAlertView.h"

#include "OverlayWindow.h"
#include "UIButton.h"
#include "UILabel.h"
#include "UIScreen.h"

#include <algorithm>
#include <cmath>

namespace uikit {

using runtime::Id;

namespace {

    constexpr double AlertMargin = 12;
    constexpr double AlertButtonHeight = 43;

    runtime::Ref<UILabel> makeLabel(const std::string& text, runtime::Ref<UIFont> font, double y, double height)
    {
        auto label = runtime::make<UILabel>();
        label->setText(text);
        label->setFont(std::move(font));
        label->setTextColor(UIColor::whiteColor());
        label->setBackgroundColor(UIColor::clearColor());
        label->setTextAlignment(UITextAlignmentCenter);
        label->setNumberOfLines(0);
        label->setFrame(CGRectMake(AlertMargin, y, UIAlertView::Width - 2 * AlertMargin, height));
        return label;
    }

} // namespace

void UIAlertView::registerMethods(runtime::ClassBuilder<UIAlertView>& b)
{
    b.method<&UIAlertView::initWithTitle>("initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:");
    b.method<&UIAlertView::title>("title");
    b.method<&UIAlertView::setTitle>("setTitle:");
    b.method<&UIAlertView::message>("message");
    b.method<&UIAlertView::setMessage>("setMessage:");
    b.method<&UIAlertView::delegate>("delegate");
    b.method<&UIAlertView::setDelegate>("setDelegate:");
    b.method<&UIAlertView::addButtonWithTitle>("addButtonWithTitle:");
    b.method<&UIAlertView::buttonTitleAtIndex>("buttonTitleAtIndex:");
    b.method<&UIAlertView::numberOfButtons>("numberOfButtons");
    b.method<&UIAlertView::cancelButtonIndex>("cancelButtonIndex");
    b.method<&UIAlertView::setCancelButtonIndex>("setCancelButtonIndex:");
    b.method<&UIAlertView::isVisible>("isVisible");
    b.method<&UIAlertView::show>("show");
    b.method<&UIAlertView::dismissWithClickedButtonIndex>("dismissWithClickedButtonIndex:animated:");
}

Id UIAlertView::initWithTitle(const std::string& title, const std::string& message, const Id& delegate,
    const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles)
{
    m_title = title;
    m_message = message;
    m_delegate = delegate;
    if (!cancelButtonTitle.empty())
        m_cancelButtonIndex = addButtonWithTitle(cancelButtonTitle);
    for (auto& other : otherButtonTitles)
        addButtonWithTitle(other);
    return self();
}

int64_t UIAlertView::addButtonWithTitle(const std::string& title)
{
    m_buttonTitles.push_back(title);
    if (m_visible)
        layOut();
    return numberOfButtons() - 1;
}

std::string UIAlertView::buttonTitleAtIndex(int64_t index) const
{
    if (index < 0 || index >= numberOfButtons())
        return {};
    return m_buttonTitles[static_cast<size_t>(index)];
}

void UIAlertView::layOut()
{
    auto children = subviews();
    for (auto& child : children)
        child->removeFromSuperview();
    double y = AlertMargin;
    if (!m_title.empty()) {
        addSubview(makeLabel(m_title, UIFont::boldSystemFontOfSize(18), y, 22));
        y += 22 + 6;
    }
    if (!m_message.empty()) {
        double lines = std::max(1.0, std::ceil(estimatedTextWidth(m_message, *UIFont::systemFontOfSize(16)) / (Width - 2 * AlertMargin)));
        double height = lines * 20;
        addSubview(makeLabel(m_message, UIFont::systemFontOfSize(16), y, height));
        y += height + 6;
    }
    std::weak_ptr<UIAlertView> weakSelf = selfAs<UIAlertView>();
    auto makeButton = [&](int64_t index, CGRect frame) {
        auto button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setTitle(m_buttonTitles[static_cast<size_t>(index)], UIControlStateNormal);
        button->setFont(index == m_cancelButtonIndex ? UIFont::systemFontOfSize(18) : UIFont::boldSystemFontOfSize(18));
        button->setBackgroundColor(UIColor::colorWithRed(0.3, 0.38, 0.55, 1));
        button->layer()->setCornerRadius(6);
        button->setTag(index);
        button->setName("alertButton" + std::to_string(index));
        button->setFrame(frame);
        button->setPrimaryAction([weakSelf, index] {
            if (auto alert = weakSelf.lock())
                alert->clickButtonAtIndex(index);
        });
        addSubview(button);
    };
    double inner = Width - 2 * AlertMargin;
    if (numberOfButtons() == 2) {
        double half = (inner - AlertMargin) / 2;
        makeButton(0, CGRectMake(AlertMargin, y, half, AlertButtonHeight));
        makeButton(1, CGRectMake(AlertMargin + half + AlertMargin, y, half, AlertButtonHeight));
        y += AlertButtonHeight + AlertMargin;
    } else {
        for (int64_t index = 0; index < numberOfButtons(); ++index) {
            makeButton(index, CGRectMake(AlertMargin, y, inner, AlertButtonHeight));
            y += AlertButtonHeight + 8;
        }
        y += AlertMargin - 8;
    }
    CGRect screen = UIScreen::mainScreen()->bounds();
    setBackgroundColor(UIColor::colorWithRed(0.1, 0.16, 0.35, 0.9));
    layer()->setCornerRadius(10);
    layer()->setBorderWidth(2);
    layer()->setBorderColor(UIColor::whiteColor());
    setFrame(CGRectMake(std::round((screen.size.width - Width) / 2), std::round((screen.size.height - y) / 2), Width, y));
}

void UIAlertView::show()
{
    if (m_visible)
        return;
    m_visible = true;
    layOut();
    showInOverlayWindow(selfAs<UIView>());
}

void UIAlertView::clickButtonAtIndex(int64_t index)
{
    if (!m_visible || index < 0 || index >= numberOfButtons())
        return;
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "alertView:clickedButtonAtIndex:"))
        runtime::send(delegate, "alertView:clickedButtonAtIndex:", keepAlive, index);
    dismissWithClickedButtonIndex(index, true);
}

void UIAlertView::dismissWithClickedButtonIndex(int64_t index, bool)
{
    if (!m_visible)
        return;
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "alertView:willDismissWithButtonIndex:"))
        runtime::send(delegate, "alertView:willDismissWithButtonIndex:", keepAlive, index);
    m_visible = false;
    closeOverlayWindow(*this);
    if (runtime::respondsTo(delegate, "alertView:didDismissWithButtonIndex:"))
        runtime::send(delegate, "alertView:didDismissWithButtonIndex:", keepAlive, index);
}

} // namespace uikit
