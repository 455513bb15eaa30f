#include "UIControl.h"

#include "UIApplication.h"

#include <algorithm>

namespace uikit {

using runtime::Id;

void UIControl::registerMethods(runtime::ClassBuilder<UIControl>& b)
{
    b.method<&UIControl::isEnabled>("isEnabled");
    b.method<&UIControl::setEnabled>("setEnabled:");
    b.method<&UIControl::isSelected>("isSelected");
    b.method<&UIControl::setSelected>("setSelected:");
    b.method<&UIControl::isHighlighted>("isHighlighted");
    b.method<&UIControl::setHighlighted>("setHighlighted:");
    b.method<&UIControl::state>("state");
    b.method<&UIControl::addTarget>("addTarget:action:forControlEvents:");
    b.method<&UIControl::removeTarget>("removeTarget:action:forControlEvents:");
    b.method<&UIControl::allTargets>("allTargets");
    b.method<&UIControl::actionsForTarget>("actionsForTarget:forControlEvent:");
    b.method<&UIControl::sendActionsForControlEvents>("sendActionsForControlEvents:");
}

void UIControl::setEnabled(bool enabled) { m_enabled = enabled; }

int64_t UIControl::state() const
{
    int64_t bits = UIControlStateNormal;
    if (m_highlighted)
        bits |= UIControlStateHighlighted;
    if (!m_enabled)
        bits |= UIControlStateDisabled;
    if (m_selected)
        bits |= UIControlStateSelected;
    return bits;
}

void UIControl::addTarget(const Id& target, const runtime::Sel& action, int64_t events)
{
    if (action.isNull() || !events)
        return;
    for (auto& entry : m_actions) {
        if (entry.action == action && entry.targetWasNil == !target && entry.target.lock() == target) {
            entry.events |= events;
            return;
        }
    }
    m_actions.push_back({ target, !target, action, events });
}

void UIControl::removeTarget(const Id& target, const runtime::Sel& action, int64_t events)
{
    for (auto& entry : m_actions) {
        bool targetMatches = !target || entry.target.lock() == target;
        bool actionMatches = action.isNull() || entry.action == action;
        if (targetMatches && actionMatches)
            entry.events &= ~events;
    }
    std::erase_if(m_actions, [](const TargetAction& entry) { return entry.events == 0; });
}

std::vector<Id> UIControl::allTargets() const
{
    std::vector<Id> targets;
    for (auto& entry : m_actions) {
        if (auto target = entry.target.lock(); target && std::find(targets.begin(), targets.end(), target) == targets.end())
            targets.push_back(target);
    }
    return targets;
}

std::vector<std::string> UIControl::actionsForTarget(const Id& target, int64_t event) const
{
    std::vector<std::string> names;
    for (auto& entry : m_actions) {
        if ((entry.events & event) && entry.target.lock() == target)
            names.push_back(entry.action.name());
    }
    return names;
}

void UIControl::sendActionsForControlEvents(int64_t events)
{
    auto keepAlive = selfAs<UIControl>();
    auto actions = m_actions; // an action may add or remove targets
    auto application = UIApplication::sharedApplication();
    for (auto& entry : actions) {
        if (!(entry.events & events))
            continue;
        Id target = entry.target.lock();
        if (!target && !entry.targetWasNil)
            continue; // the target is gone
        application->sendAction(entry.action, target, keepAlive);
    }
}

bool UIControl::hasActionsForControlEvents(int64_t events) const
{
    return std::any_of(m_actions.begin(), m_actions.end(), [&](const TargetAction& entry) { return entry.events & events; });
}

bool UIControl::handleTap(const CGPoint& point)
{
    if (!m_enabled)
        return true;
    auto keepAlive = selfAs<UIControl>();
    setHighlighted(true);
    sendActionsForControlEvents(UIControlEventTouchDown);
    setHighlighted(false);
    touchedUpInside(point);
    sendActionsForControlEvents(UIControlEventTouchUpInside);
    if (m_primaryAction) {
        auto action = m_primaryAction;
        action();
    }
    return true;
}

} // namespace uikit
