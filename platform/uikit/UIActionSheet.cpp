#include "UIActionSheet.h"

#include "OverlayWindow.h"
#include "UILabel.h"
#include "UIScreen.h"
#include "UIScrollView.h"

namespace uikit {

using runtime::Id;
using runtime::Ref;

namespace {

    constexpr double Margin = 10;
    constexpr double ButtonHeight = 44;
    constexpr double Gap = 8;

} // namespace

void UIActionSheet::registerMethods(runtime::ClassBuilder<UIActionSheet>& b)
{
    b.method<&UIActionSheet::initWithTitle>("initWithTitle:delegate:cancelButtonTitle:destructiveButtonTitle:otherButtonTitles:");
    b.method<&UIActionSheet::title>("title");
    b.method<&UIActionSheet::setTitle>("setTitle:");
    b.method<&UIActionSheet::delegate>("delegate");
    b.method<&UIActionSheet::setDelegate>("setDelegate:");
    b.method<&UIActionSheet::addButtonWithTitle>("addButtonWithTitle:");
    b.method<&UIActionSheet::buttonTitleAtIndex>("buttonTitleAtIndex:");
    b.method<&UIActionSheet::numberOfButtons>("numberOfButtons");
    b.method<&UIActionSheet::cancelButtonIndex>("cancelButtonIndex");
    b.method<&UIActionSheet::setCancelButtonIndex>("setCancelButtonIndex:");
    b.method<&UIActionSheet::destructiveButtonIndex>("destructiveButtonIndex");
    b.method<&UIActionSheet::setDestructiveButtonIndex>("setDestructiveButtonIndex:");
    b.method<&UIActionSheet::isVisible>("isVisible");
    b.method("showInView:", [](UIActionSheet& self, const Id& view) { self.showInView(runtime::cast<UIView>(view)); });
    b.method<&UIActionSheet::dismissWithClickedButtonIndex>("dismissWithClickedButtonIndex:animated:");
}

Id UIActionSheet::initWithTitle(const std::string& title, const Id& delegate, const std::string& cancelButtonTitle,
    const std::string& destructiveButtonTitle, const std::vector<std::string>& otherButtonTitles)
{
    m_title = title;
    m_delegate = delegate;
    if (!destructiveButtonTitle.empty())
        m_destructiveButtonIndex = addButtonWithTitle(destructiveButtonTitle);
    for (auto& other : otherButtonTitles)
        addButtonWithTitle(other);
    if (!cancelButtonTitle.empty())
        m_cancelButtonIndex = addButtonWithTitle(cancelButtonTitle);
    return self();
}

int64_t UIActionSheet::addButtonWithTitle(const std::string& title)
{
    m_buttonTitles.push_back(title);
    if (m_visible)
        layOut();
    return numberOfButtons() - 1;
}

std::string UIActionSheet::buttonTitleAtIndex(int64_t index) const
{
    if (index < 0 || index >= numberOfButtons())
        return {};
    return m_buttonTitles[static_cast<size_t>(index)];
}

void UIActionSheet::layOut()
{
    auto children = subviews();
    for (auto& child : children)
        child->removeFromSuperview();
    CGRect screen = UIScreen::mainScreen()->bounds();
    double width = screen.size.width;
    double top = Margin;
    if (!m_title.empty()) {
        auto label = runtime::make<UILabel>();
        label->setText(m_title);
        label->setFont(UIFont::systemFontOfSize(13));
        label->setTextColor(UIColor::whiteColor());
        label->setBackgroundColor(UIColor::clearColor());
        label->setTextAlignment(UITextAlignmentCenter);
        label->setFrame(CGRectMake(Margin, top, width - 2 * Margin, 22));
        addSubview(label);
        top += 22 + Gap;
    }
    // More buttons than the screen holds scroll under the title, as the
    // phone's long sheets do, so every one of them can be reached.
    double buttonsHeight = 0;
    for (int64_t index = 0; index < numberOfButtons(); ++index)
        buttonsHeight += ButtonHeight + Gap + (index == m_cancelButtonIndex && index > 0 ? Gap : 0);
    bool scrolls = top + buttonsHeight + Margin - Gap > screen.size.height;
    Ref<UIView> container = selfAs<UIView>();
    double y = top;
    if (scrolls) {
        auto scroll = runtime::make<UIScrollView>();
        scroll->setName("actionSheetButtons");
        scroll->setFrame(CGRectMake(0, top, width, screen.size.height - top - Margin));
        scroll->setContentSize({ width, buttonsHeight - Gap });
        addSubview(scroll);
        container = scroll;
        y = 0;
    }
    std::weak_ptr<UIActionSheet> weakSelf = selfAs<UIActionSheet>();
    for (int64_t index = 0; index < numberOfButtons(); ++index) {
        if (index == m_cancelButtonIndex && index > 0)
            y += Gap;
        auto button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setTitle(m_buttonTitles[static_cast<size_t>(index)], UIControlStateNormal);
        button->setFont(UIFont::boldSystemFontOfSize(19));
        button->setTitleColor(index == m_cancelButtonIndex || index == m_destructiveButtonIndex ? UIColor::whiteColor() : UIColor::blackColor(), UIControlStateNormal);
        if (index == m_destructiveButtonIndex)
            button->setBackgroundColor(UIColor::colorWithRed(0.8, 0.1, 0.1, 1));
        else if (index == m_cancelButtonIndex)
            button->setBackgroundColor(UIColor::darkGrayColor());
        else
            button->setBackgroundColor(UIColor::whiteColor());
        button->layer()->setCornerRadius(8);
        button->setTag(index);
        button->setName("actionSheetButton" + std::to_string(index));
        button->setFrame(CGRectMake(Margin, y, width - 2 * Margin, ButtonHeight));
        button->setPrimaryAction([weakSelf, index] {
            if (auto sheet = weakSelf.lock())
                sheet->clickButtonAtIndex(index);
        });
        container->addSubview(button);
        y += ButtonHeight + Gap;
    }
    double height = scrolls ? screen.size.height : y - Gap + Margin;
    setBackgroundColor(UIColor::colorWithRed(0.16, 0.18, 0.22, 0.9));
    setFrame(CGRectMake(0, screen.size.height - height, width, height));
}

void UIActionSheet::showInView(const runtime::Ref<UIView>&)
{
    if (m_visible)
        return;
    m_visible = true;
    layOut();
    showInOverlayWindow(selfAs<UIView>());
}

void UIActionSheet::clickButtonAtIndex(int64_t index)
{
    if (!m_visible || index < 0 || index >= numberOfButtons())
        return;
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "actionSheet:clickedButtonAtIndex:"))
        runtime::send(delegate, "actionSheet:clickedButtonAtIndex:", keepAlive, index);
    dismissWithClickedButtonIndex(index, true);
}

void UIActionSheet::dismissWithClickedButtonIndex(int64_t index, bool)
{
    if (!m_visible)
        return;
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "actionSheet:willDismissWithButtonIndex:"))
        runtime::send(delegate, "actionSheet:willDismissWithButtonIndex:", keepAlive, index);
    m_visible = false;
    closeOverlayWindow(*this);
    if (runtime::respondsTo(delegate, "actionSheet:didDismissWithButtonIndex:"))
        runtime::send(delegate, "actionSheet:didDismissWithButtonIndex:", keepAlive, index);
}

} // namespace uikit
