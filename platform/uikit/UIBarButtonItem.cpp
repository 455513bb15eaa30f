#include "UIBarButtonItem.h"

#include "UIApplication.h"
#include "UIView.h"

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UIBarButtonItem::registerMethods(runtime::ClassBuilder<UIBarButtonItem>& b)
{
    b.method("initWithTitle:style:target:action:", [](UIBarButtonItem& self, const std::string& title, int64_t style, const Id& target, const runtime::Sel& action) -> Id {
        self.m_title = title;
        self.m_style = style;
        self.m_target = target;
        self.m_action = action;
        return self.self();
    });
    b.method("initWithBarButtonSystemItem:target:action:", [](UIBarButtonItem& self, int64_t item, const Id& target, const runtime::Sel& action) -> Id {
        self.m_systemItem = item;
        self.m_title = titleOfSystemItem(item);
        self.m_style = item == UIBarButtonSystemItemDone ? UIBarButtonItemStyleDone : UIBarButtonItemStyleBordered;
        self.m_target = target;
        self.m_action = action;
        return self.self();
    });
    b.method("initWithCustomView:", [](UIBarButtonItem& self, const Id& view) -> Id {
        self.m_customView = runtime::cast<UIView>(view);
        return self.self();
    });
    b.method<&UIBarButtonItem::title>("title");
    b.method<&UIBarButtonItem::accessibilityIdentifier>("accessibilityIdentifier");
    b.method<&UIBarButtonItem::setAccessibilityIdentifier>("setAccessibilityIdentifier:");
    b.method<&UIBarButtonItem::setTitle>("setTitle:");
    b.method<&UIBarButtonItem::style>("style");
    b.method<&UIBarButtonItem::setStyle>("setStyle:");
    b.method<&UIBarButtonItem::target>("target");
    b.method<&UIBarButtonItem::setTarget>("setTarget:");
    b.method<&UIBarButtonItem::action>("action");
    b.method<&UIBarButtonItem::setAction>("setAction:");
    b.method<&UIBarButtonItem::isEnabled>("isEnabled");
    b.method<&UIBarButtonItem::setEnabled>("setEnabled:");
    b.method("customView", [](UIBarButtonItem& self) -> Id { return self.customView(); });
    b.method("setCustomView:", [](UIBarButtonItem& self, const Id& view) { self.setCustomView(runtime::cast<UIView>(view)); });
}

Ref<UIBarButtonItem> UIBarButtonItem::withTitle(std::string title, int64_t style, const Id& target, const runtime::Sel& action)
{
    auto item = runtime::make<UIBarButtonItem>();
    item->m_title = std::move(title);
    item->m_style = style;
    item->m_target = target;
    item->m_action = action;
    return item;
}

Ref<UIBarButtonItem> UIBarButtonItem::withSystemItem(int64_t systemItem, const Id& target, const runtime::Sel& action)
{
    auto item = withTitle(titleOfSystemItem(systemItem), systemItem == UIBarButtonSystemItemDone ? UIBarButtonItemStyleDone : UIBarButtonItemStyleBordered, target, action);
    item->m_systemItem = systemItem;
    return item;
}

Ref<UIBarButtonItem> UIBarButtonItem::withCustomView(Ref<UIView> view)
{
    auto item = runtime::make<UIBarButtonItem>();
    item->m_customView = std::move(view);
    return item;
}

std::string UIBarButtonItem::titleOfSystemItem(int64_t systemItem)
{
    switch (systemItem) {
    case UIBarButtonSystemItemDone:
        return "Done";
    case UIBarButtonSystemItemCancel:
        return "Cancel";
    case UIBarButtonSystemItemEdit:
        return "Edit";
    case UIBarButtonSystemItemSave:
        return "Save";
    case UIBarButtonSystemItemAdd:
        return "+";
    case UIBarButtonSystemItemUndo:
        return "Undo";
    case UIBarButtonSystemItemRedo:
        return "Redo";
    default:
        return "";
    }
}

void UIBarButtonItem::performAction()
{
    if (!m_enabled || m_action.isNull())
        return;
    auto keepAlive = self();
    Id target = m_target.lock();
    UIApplication::sharedApplication()->sendAction(m_action, target, keepAlive);
}

} // namespace uikit
