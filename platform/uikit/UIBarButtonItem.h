// A button of a navigation bar: a title or one of the platform's system
// items (Done, Cancel, Add …), or a custom view, with a target and action.
// The target is held weakly; the action is sent with the item as sender.
// Its accessibility identifier names the button a bar draws for it, so the
// snapshot and a scenario can find that button.
#pragma once

#include "UIKitTypes.h"

#include <runtime/Runtime.h>

#include <optional>
#include <string>

namespace uikit {

class UIView;

class UIBarButtonItem : public runtime::Object {
    PLV_CLASS(UIBarButtonItem, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIBarButtonItem>&);

    static runtime::Ref<UIBarButtonItem> withTitle(std::string title, int64_t style, const runtime::Id& target, const runtime::Sel& action);
    static runtime::Ref<UIBarButtonItem> withSystemItem(int64_t systemItem, const runtime::Id& target, const runtime::Sel& action);
    static runtime::Ref<UIBarButtonItem> withCustomView(runtime::Ref<UIView>);
    // The title a system item shows ("Done", "Cancel", "+" …).
    static std::string titleOfSystemItem(int64_t systemItem);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    int64_t style() const { return m_style; }
    void setStyle(int64_t style) { m_style = style; }
    std::optional<int64_t> systemItem() const { return m_systemItem; }
    runtime::Id target() const { return m_target.lock(); }
    void setTarget(const runtime::Id& target) { m_target = target; }
    const runtime::Sel& action() const { return m_action; }
    void setAction(const runtime::Sel& action) { m_action = action; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    const std::string& accessibilityIdentifier() const { return m_accessibilityIdentifier; }
    void setAccessibilityIdentifier(std::string name) { m_accessibilityIdentifier = std::move(name); }
    runtime::Ref<UIView> customView() const { return m_customView; }
    void setCustomView(runtime::Ref<UIView> view) { m_customView = std::move(view); }

    // What a tap on the item's button does: the action to the target
    // (or along the responder chain when there is none).
    void performAction();

private:
    std::string m_title;
    int64_t m_style { UIBarButtonItemStylePlain };
    std::optional<int64_t> m_systemItem;
    runtime::WeakId m_target;
    runtime::Sel m_action;
    bool m_enabled { true };
    runtime::Ref<UIView> m_customView;
    std::string m_accessibilityIdentifier;
};

} // namespace uikit
