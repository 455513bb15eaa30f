#include "UIMenuController.h"

#include "UIApplication.h"
#include "UIKitContext.h"
#include "UIView.h"

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UIMenuItem::registerMethods(runtime::ClassBuilder<UIMenuItem>& b)
{
    b.method("initWithTitle:action:", [](UIMenuItem& self, const std::string& title, const runtime::Sel& action) -> Id {
        self.setTitle(title);
        self.setAction(action);
        return self.self();
    });
    b.method<&UIMenuItem::title>("title");
    b.method<&UIMenuItem::setTitle>("setTitle:");
    b.method<&UIMenuItem::action>("action");
    b.method<&UIMenuItem::setAction>("setAction:");
}

Ref<UIMenuItem> UIMenuItem::withTitle(std::string title, const runtime::Sel& action)
{
    auto item = runtime::make<UIMenuItem>();
    item->m_title = std::move(title);
    item->m_action = action;
    return item;
}

void UIMenuController::registerMethods(runtime::ClassBuilder<UIMenuController>& b)
{
    b.classMethod("sharedMenuController", [](runtime::Class&) -> Id { return sharedMenuController(); });
    b.method("menuItems", [](UIMenuController& self) -> std::vector<Id> {
        return std::vector<Id>(self.menuItems().begin(), self.menuItems().end());
    });
    b.method("setMenuItems:", [](UIMenuController& self, const std::vector<Id>& items) {
        std::vector<Ref<UIMenuItem>> list;
        for (auto& item : items) {
            if (auto menuItem = runtime::cast<UIMenuItem>(item))
                list.push_back(menuItem);
        }
        self.setMenuItems(std::move(list));
    });
    b.method<&UIMenuController::isMenuVisible>("isMenuVisible");
    b.method<&UIMenuController::setMenuVisible>("setMenuVisible:");
    b.method("setMenuVisible:animated:", [](UIMenuController& self, bool visible, bool) { self.setMenuVisible(visible); });
    b.method("setTargetRect:inView:", [](UIMenuController& self, const CGRect& rect, const Id& view) { self.setTargetRect(rect, runtime::cast<UIView>(view)); });
    b.method<&UIMenuController::update>("update");
}

Ref<UIMenuController> UIMenuController::sharedMenuController()
{
    auto& context = uikitContext();
    if (!context.menuController)
        context.menuController = runtime::make<UIMenuController>();
    return context.menuController;
}

void UIMenuController::setMenuItems(std::vector<Ref<UIMenuItem>> items)
{
    std::erase(items, nullptr);
    m_menuItems = std::move(items);
}

void UIMenuController::setMenuVisible(bool visible)
{
    // The menu only shows over something that is being edited.
    m_menuVisible = visible && UIResponder::currentFirstResponder();
}

void UIMenuController::setTargetRect(const CGRect& rect, const Ref<UIView>& view)
{
    m_targetRect = rect;
    m_targetView = view;
}

bool UIMenuController::showForFirstResponder()
{
    auto responder = runtime::cast<UIView>(UIResponder::currentFirstResponder());
    if (!responder)
        return false;
    setTargetRect(responder->bounds(), responder);
    m_menuVisible = true;
    return true;
}

bool UIMenuController::performItemTitled(const std::string& title)
{
    auto keepAlive = selfAs<UIMenuController>();
    auto items = m_menuItems;
    for (auto& item : items) {
        if (item->title() != title)
            continue;
        m_menuVisible = false;
        if (!UIResponder::currentFirstResponder())
            return false;
        return UIApplication::sharedApplication()->sendAction(item->action(), runtime::nil, keepAlive);
    }
    return false;
}

} // namespace uikit
