// The shared edit menu (the copy-and-paste menu of text views and fields)
// with the system's custom items. A custom item's action goes to the first
// responder or the nearest responder after it that answers the selector,
// with the menu controller as sender when the selector takes one.
#pragma once

#include "Geometry.h"

#include <runtime/Runtime.h>

#include <string>
#include <vector>

namespace uikit {

class UIView;

class UIMenuItem : public runtime::Object {
    PLV_CLASS(UIMenuItem, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIMenuItem>&);

    static runtime::Ref<UIMenuItem> withTitle(std::string title, const runtime::Sel& action);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const runtime::Sel& action() const { return m_action; }
    void setAction(const runtime::Sel& action) { m_action = action; }

private:
    std::string m_title;
    runtime::Sel m_action;
};

class UIMenuController : public runtime::Object {
    PLV_CLASS(UIMenuController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIMenuController>&);

    static runtime::Ref<UIMenuController> sharedMenuController();

    const std::vector<runtime::Ref<UIMenuItem>>& menuItems() const { return m_menuItems; }
    void setMenuItems(std::vector<runtime::Ref<UIMenuItem>>);
    bool isMenuVisible() const { return m_menuVisible; }
    void setMenuVisible(bool);
    void setTargetRect(const CGRect&, const runtime::Ref<UIView>&);
    CGRect targetRect() const { return m_targetRect; }
    void update() { }

    // The user opening the menu on the first responder; false when there is none.
    bool showForFirstResponder();
    // The user choosing a custom item by title: answers whether a responder took the action.
    bool performItemTitled(const std::string& title);

private:
    std::vector<runtime::Ref<UIMenuItem>> m_menuItems;
    bool m_menuVisible { false };
    CGRect m_targetRect {};
    runtime::Weak<UIView> m_targetView;
};

} // namespace uikit
