#include "UINavigationItem.h"

#include "UINavigationBar.h"

namespace uikit {

using runtime::Id;

void UINavigationItem::registerMethods(runtime::ClassBuilder<UINavigationItem>& b)
{
    b.method("initWithTitle:", [](UINavigationItem& self, const std::string& title) -> Id {
        self.setTitle(title);
        return self.self();
    });
    b.method<&UINavigationItem::title>("title");
    b.method<&UINavigationItem::setTitle>("setTitle:");
    b.method("leftBarButtonItem", [](UINavigationItem& self) -> Id { return self.leftBarButtonItem(); });
    b.method("setLeftBarButtonItem:", [](UINavigationItem& self, const Id& item) { self.setLeftBarButtonItem(runtime::cast<UIBarButtonItem>(item)); });
    b.method("setLeftBarButtonItem:animated:", [](UINavigationItem& self, const Id& item, bool) { self.setLeftBarButtonItem(runtime::cast<UIBarButtonItem>(item)); });
    b.method("rightBarButtonItem", [](UINavigationItem& self) -> Id { return self.rightBarButtonItem(); });
    b.method("setRightBarButtonItem:", [](UINavigationItem& self, const Id& item) { self.setRightBarButtonItem(runtime::cast<UIBarButtonItem>(item)); });
    b.method("setRightBarButtonItem:animated:", [](UINavigationItem& self, const Id& item, bool) { self.setRightBarButtonItem(runtime::cast<UIBarButtonItem>(item)); });
    b.method("backBarButtonItem", [](UINavigationItem& self) -> Id { return self.backBarButtonItem(); });
    b.method("setBackBarButtonItem:", [](UINavigationItem& self, const Id& item) { self.setBackBarButtonItem(runtime::cast<UIBarButtonItem>(item)); });
    b.method<&UINavigationItem::hidesBackButton>("hidesBackButton");
    b.method<&UINavigationItem::setHidesBackButton>("setHidesBackButton:");
}

void UINavigationItem::setTitle(std::string title)
{
    m_title = std::move(title);
    changed();
}

void UINavigationItem::setLeftBarButtonItem(runtime::Ref<UIBarButtonItem> item)
{
    m_left = std::move(item);
    changed();
}

void UINavigationItem::setRightBarButtonItem(runtime::Ref<UIBarButtonItem> item)
{
    m_right = std::move(item);
    changed();
}

void UINavigationItem::setBackBarButtonItem(runtime::Ref<UIBarButtonItem> item)
{
    m_back = std::move(item);
    changed();
}

void UINavigationItem::setHidesBackButton(bool hides)
{
    m_hidesBackButton = hides;
    changed();
}

void UINavigationItem::addBar(const runtime::Ref<UINavigationBar>& bar)
{
    std::erase_if(m_bars, [&](const auto& weak) {
        auto current = weak.lock();
        return !current || current == bar;
    });
    m_bars.push_back(bar);
}

void UINavigationItem::removeBar(const UINavigationBar* bar)
{
    std::erase_if(m_bars, [&](const auto& weak) {
        auto current = weak.lock();
        return !current || current.get() == bar;
    });
}

void UINavigationItem::changed()
{
    auto bars = m_bars;
    for (auto& weak : bars) {
        if (auto bar = weak.lock())
            bar->rebuild();
    }
}

} // namespace uikit
