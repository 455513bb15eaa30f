// A sheet of buttons that slides up from the bottom of the screen over
// everything else (in a window of its own). The destructive button comes
// first, then the other buttons, then the cancel button, as on the phone.
// A tap on a button tells the delegate (`actionSheet:clickedButtonAtIndex:`,
// then `actionSheet:didDismissWithButtonIndex:`) and closes the sheet. The
// buttons are named "actionSheetButton<index>" for the snapshot. When they do
// not fit on the screen they scroll ("actionSheetButtons") under the title.
#pragma once

#include "UIButton.h"
#include "UIView.h"

#include <string>
#include <vector>

namespace uikit {

class UIActionSheet : public UIView {
    PLV_CLASS(UIActionSheet, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UIActionSheet>&);

    // `initWithTitle:delegate:cancelButtonTitle:destructiveButtonTitle:otherButtonTitles:`;
    // an empty title leaves that button out.
    runtime::Id initWithTitle(const std::string& title, const runtime::Id& delegate, const std::string& cancelButtonTitle,
        const std::string& destructiveButtonTitle, const std::vector<std::string>& otherButtonTitles);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    int64_t addButtonWithTitle(const std::string&);
    std::string buttonTitleAtIndex(int64_t) const;
    int64_t numberOfButtons() const { return static_cast<int64_t>(m_buttonTitles.size()); }
    int64_t cancelButtonIndex() const { return m_cancelButtonIndex; }
    void setCancelButtonIndex(int64_t index) { m_cancelButtonIndex = index; }
    int64_t destructiveButtonIndex() const { return m_destructiveButtonIndex; }
    void setDestructiveButtonIndex(int64_t index) { m_destructiveButtonIndex = index; }
    bool isVisible() const { return m_visible; }

    void showInView(const runtime::Ref<UIView>&);
    // The user's tap on a button (out-of-range indices are ignored).
    void clickButtonAtIndex(int64_t);
    void dismissWithClickedButtonIndex(int64_t, bool animated);

private:
    void layOut();

    std::string m_title;
    runtime::WeakId m_delegate;
    std::vector<std::string> m_buttonTitles;
    int64_t m_cancelButtonIndex { -1 };
    int64_t m_destructiveButtonIndex { -1 };
    bool m_visible { false };
};

} // namespace uikit
