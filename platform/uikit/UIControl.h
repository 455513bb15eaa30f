// The base of buttons, switches, sliders and text fields: enabled, selected
// and highlighted states, and target-action per control event. Targets are
// held weakly, as on the phone; a nil target sends the action along the
// responder chain. Actions are selectors taking nothing, the sender, or the
// sender and the event (always nil here).
#pragma once

#include "UIView.h"

#include <functional>

namespace uikit {

class UIControl : public UIView {
    PLV_CLASS(UIControl, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UIControl>&);

    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    // UIControlState bits of the current state.
    int64_t state() const;

    void addTarget(const runtime::Id& target, const runtime::Sel& action, int64_t events);
    void removeTarget(const runtime::Id& target, const runtime::Sel& action, int64_t events);
    std::vector<runtime::Id> allTargets() const;
    std::vector<std::string> actionsForTarget(const runtime::Id& target, int64_t event) const;
    void sendActionsForControlEvents(int64_t events);
    bool hasActionsForControlEvents(int64_t events) const;

    // Internal controls (bar buttons, alert buttons) answer a touch in C++.
    void setPrimaryAction(std::function<void()> action) { m_primaryAction = std::move(action); }

    // A finger down and up inside the control: TouchDown, then TouchUpInside.
    // A disabled control takes the tap and does nothing.
    bool handleTap(const CGPoint&) override;

protected:
    // What the control does between touch-down and touch-up (a switch flips).
    virtual void touchedUpInside(const CGPoint&) { }

private:
    struct TargetAction {
        runtime::WeakId target;
        bool targetWasNil { false };
        runtime::Sel action;
        int64_t events { 0 };
    };

    bool m_enabled { true };
    bool m_selected { false };
    bool m_highlighted { false };
    std::vector<TargetAction> m_actions;
    std::function<void()> m_primaryAction;
};

} // namespace uikit
