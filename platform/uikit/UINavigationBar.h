// The bar across the top of a navigation screen (44 points high): a stack of
// navigation items, of which the top one shows its title in the middle and
// its buttons at the sides; under a deeper item a back button titled after
// the item below pops it. The bar draws itself with the platform's private
// subviews (UINavigationItemView, UINavigationButton,
// UINavigationItemButtonView) so that the snapshot shows what a user sees.
#pragma once

#include "UIButton.h"
#include "UILabel.h"
#include "UINavigationItem.h"

#include <functional>

namespace uikit {

class UINavigationBar : public UIView {
    PLV_CLASS(UINavigationBar, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UINavigationBar>&);

    static constexpr double Height = 44;

    UINavigationBar();

    const std::vector<runtime::Ref<UINavigationItem>>& items() const { return m_items; }
    void setItems(std::vector<runtime::Ref<UINavigationItem>>);
    void pushNavigationItem(const runtime::Ref<UINavigationItem>&);
    runtime::Ref<UINavigationItem> popNavigationItem();
    runtime::Ref<UINavigationItem> topItem() const;
    runtime::Ref<UINavigationItem> backItem() const;

    runtime::Ref<UIColor> tintColor() const { return m_tintColor; }
    void setTintColor(runtime::Ref<UIColor> color) { m_tintColor = std::move(color); }
    int64_t barStyle() const { return m_barStyle; }
    void setBarStyle(int64_t style) { m_barStyle = style; }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    // Set by a navigation controller: its back button pops its controller
    // instead of the bar's item.
    void setBackAction(std::function<void()> action) { m_backAction = std::move(action); }

    void rebuild();
    void layoutSubviews() override;

private:
    void backTapped();

    std::vector<runtime::Ref<UINavigationItem>> m_items;
    runtime::Ref<UIColor> m_tintColor;
    int64_t m_barStyle { UIBarStyleDefault };
    runtime::WeakId m_delegate;
    std::function<void()> m_backAction;
};

// The bar's private subviews, named as the platform names them.
class UINavigationItemView : public UILabel {
    PLV_CLASS(UINavigationItemView, UILabel)
};

class UINavigationButton : public UIButton {
    PLV_CLASS(UINavigationButton, UIButton)
};

class UINavigationItemButtonView : public UIButton {
    PLV_CLASS(UINavigationItemButtonView, UIButton)
};

} // namespace uikit
