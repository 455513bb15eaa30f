// What a navigation bar shows for one controller: a title and the left,
// right and back buttons. The bars that show the item redraw when it changes.
#pragma once

#include "UIBarButtonItem.h"

#include <vector>

namespace uikit {

class UINavigationBar;

class UINavigationItem : public runtime::Object {
    PLV_CLASS(UINavigationItem, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UINavigationItem>&);

    const std::string& title() const { return m_title; }
    void setTitle(std::string);
    runtime::Ref<UIBarButtonItem> leftBarButtonItem() const { return m_left; }
    void setLeftBarButtonItem(runtime::Ref<UIBarButtonItem>);
    runtime::Ref<UIBarButtonItem> rightBarButtonItem() const { return m_right; }
    void setRightBarButtonItem(runtime::Ref<UIBarButtonItem>);
    runtime::Ref<UIBarButtonItem> backBarButtonItem() const { return m_back; }
    void setBackBarButtonItem(runtime::Ref<UIBarButtonItem>);
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool);

    void addBar(const runtime::Ref<UINavigationBar>&);
    void removeBar(const UINavigationBar*);

private:
    void changed();

    std::string m_title;
    runtime::Ref<UIBarButtonItem> m_left;
    runtime::Ref<UIBarButtonItem> m_right;
    runtime::Ref<UIBarButtonItem> m_back;
    bool m_hidesBackButton { false };
    std::vector<runtime::Weak<UINavigationBar>> m_bars;
};

} // namespace uikit
