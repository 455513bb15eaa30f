#include "UINavigationBar.h"

#include <algorithm>
#include <cmath>

namespace uikit {

using runtime::Id;
using runtime::Ref;

namespace {

    constexpr double ButtonHeight = 30;
    constexpr double Margin = 5;

    double buttonWidth(const std::string& title)
    {
        auto font = UIFont::boldSystemFontOfSize(12);
        return std::max(50.0, std::ceil(estimatedTextWidth(title, *font)) + 20);
    }

    template <class T>
    Ref<T> makeBarButton(const std::string& title)
    {
        auto button = runtime::make<T>();
        button->setTitle(title, UIControlStateNormal);
        button->setFont(UIFont::boldSystemFontOfSize(12));
        button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
        button->layer()->setCornerRadius(5);
        button->layer()->setBorderWidth(1);
        return button;
    }

} // namespace

void UINavigationBar::registerMethods(runtime::ClassBuilder<UINavigationBar>& b)
{
    b.method("items", [](UINavigationBar& self) -> std::vector<Id> { return std::vector<Id>(self.items().begin(), self.items().end()); });
    b.method("setItems:", [](UINavigationBar& self, const std::vector<Id>& items) {
        std::vector<Ref<UINavigationItem>> list;
        for (auto& item : items) {
            if (auto navigationItem = runtime::cast<UINavigationItem>(item))
                list.push_back(navigationItem);
        }
        self.setItems(std::move(list));
    });
    b.method("pushNavigationItem:animated:", [](UINavigationBar& self, const Id& item, bool) { self.pushNavigationItem(runtime::cast<UINavigationItem>(item)); });
    b.method("popNavigationItemAnimated:", [](UINavigationBar& self, bool) -> Id { return self.popNavigationItem(); });
    b.method("topItem", [](UINavigationBar& self) -> Id { return self.topItem(); });
    b.method("backItem", [](UINavigationBar& self) -> Id { return self.backItem(); });
    b.method("tintColor", [](UINavigationBar& self) -> Id { return self.tintColor(); });
    b.method("setTintColor:", [](UINavigationBar& self, const Id& color) { self.setTintColor(runtime::cast<UIColor>(color)); });
    b.method<&UINavigationBar::barStyle>("barStyle");
    b.method<&UINavigationBar::setBarStyle>("setBarStyle:");
    b.method<&UINavigationBar::delegate>("delegate");
    b.method<&UINavigationBar::setDelegate>("setDelegate:");
}

UINavigationBar::UINavigationBar()
{
    setBackgroundColor(UIColor::colorWithRed(0.427, 0.518, 0.635, 1));
}

void UINavigationBar::setItems(std::vector<Ref<UINavigationItem>> items)
{
    for (auto& item : m_items)
        item->removeBar(this);
    std::erase(items, nullptr);
    m_items = std::move(items);
    auto self = selfAs<UINavigationBar>();
    for (auto& item : m_items)
        item->addBar(self);
    rebuild();
}

void UINavigationBar::pushNavigationItem(const Ref<UINavigationItem>& item)
{
    if (!item || std::find(m_items.begin(), m_items.end(), item) != m_items.end())
        return;
    m_items.push_back(item);
    item->addBar(selfAs<UINavigationBar>());
    rebuild();
}

Ref<UINavigationItem> UINavigationBar::popNavigationItem()
{
    if (m_items.empty())
        return nullptr;
    auto item = m_items.back();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "navigationBar:shouldPopItem:") && !runtime::send<bool>(delegate, "navigationBar:shouldPopItem:", self(), Id(item)))
        return nullptr;
    m_items.pop_back();
    item->removeBar(this);
    rebuild();
    if (runtime::respondsTo(delegate, "navigationBar:didPopItem:"))
        runtime::send(delegate, "navigationBar:didPopItem:", self(), Id(item));
    return item;
}

Ref<UINavigationItem> UINavigationBar::topItem() const { return m_items.empty() ? nullptr : m_items.back(); }

Ref<UINavigationItem> UINavigationBar::backItem() const { return m_items.size() < 2 ? nullptr : m_items[m_items.size() - 2]; }

void UINavigationBar::layoutSubviews() { rebuild(); }

void UINavigationBar::backTapped()
{
    if (m_backAction) {
        auto action = m_backAction;
        action();
        return;
    }
    popNavigationItem();
}

void UINavigationBar::rebuild()
{
    auto current = subviews();
    for (auto& view : current)
        view->removeFromSuperview();
    auto top = topItem();
    if (!top)
        return;
    double width = bounds().size.width;
    double y = (Height - ButtonHeight) / 2;
    double leftEdge = Margin, rightEdge = width - Margin;

    auto placeItem = [&](const Ref<UIBarButtonItem>& item, bool left) {
        Ref<UIView> view = item->customView();
        if (!view) {
            auto button = makeBarButton<UINavigationButton>(item->title());
            button->setEnabled(item->isEnabled());
            std::weak_ptr<UIBarButtonItem> weakItem = item;
            button->setPrimaryAction([weakItem] {
                if (auto target = weakItem.lock())
                    target->performAction();
            });
            button->setFrame(CGRectMake(0, y, buttonWidth(item->title()), ButtonHeight));
            if (!item->accessibilityIdentifier().empty())
                button->setName(item->accessibilityIdentifier());
            view = button;
        }
        CGRect f = view->frame();
        f.origin.x = left ? leftEdge : rightEdge - f.size.width;
        f.origin.y = (Height - f.size.height) / 2;
        view->setFrame(f);
        addSubview(view);
        if (left)
            leftEdge = f.maxX() + Margin;
        else
            rightEdge = f.minX() - Margin;
    };

    if (auto left = top->leftBarButtonItem()) {
        placeItem(left, true);
    } else if (auto below = backItem(); below && !top->hidesBackButton()) {
        std::string title = below->backBarButtonItem() ? below->backBarButtonItem()->title() : below->title();
        if (title.empty())
            title = "Back";
        auto back = makeBarButton<UINavigationItemButtonView>(title);
        back->setName("backButton");
        back->setFrame(CGRectMake(leftEdge, y, buttonWidth(title), ButtonHeight));
        std::weak_ptr<UINavigationBar> weakBar = selfAs<UINavigationBar>();
        back->setPrimaryAction([weakBar] {
            if (auto bar = weakBar.lock())
                bar->backTapped();
        });
        addSubview(back);
        leftEdge = back->frame().maxX() + Margin;
    }
    if (auto right = top->rightBarButtonItem())
        placeItem(right, false);

    auto title = runtime::make<UINavigationItemView>();
    title->setText(top->title());
    title->setFont(UIFont::boldSystemFontOfSize(20));
    title->setTextColor(UIColor::whiteColor());
    title->setBackgroundColor(UIColor::clearColor());
    title->setTextAlignment(UITextAlignmentCenter);
    double side = std::max(leftEdge, width - rightEdge);
    title->setFrame(CGRectMake(side, 8, std::max(0.0, width - 2 * side), 27));
    addSubview(title);
}

} // namespace uikit
