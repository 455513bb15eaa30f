// An alert in the middle of the screen, over everything else: a title, a
// message and buttons (the cancel button first, then the others, as on the
// phone). A tap on a button tells the delegate (`alertView:clickedButtonAtIndex:`,
// then `alertView:didDismissWithButtonIndex:`) and closes the alert. The
// buttons are named "alertButton<index>" for the snapshot.
#pragma once

#include "UIView.h"

#include <string>
#include <vector>

namespace uikit {

class UIAlertView : public UIView {
    PLV_CLASS(UIAlertView, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UIAlertView>&);

    static constexpr double Width = 284;

    // `initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:`;
    // an empty cancel title leaves that button out.
    runtime::Id initWithTitle(const std::string& title, const std::string& message, const runtime::Id& delegate,
        const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const std::string& message() const { return m_message; }
    void setMessage(std::string message) { m_message = std::move(message); }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    int64_t addButtonWithTitle(const std::string&);
    std::string buttonTitleAtIndex(int64_t) const;
    int64_t numberOfButtons() const { return static_cast<int64_t>(m_buttonTitles.size()); }
    int64_t cancelButtonIndex() const { return m_cancelButtonIndex; }
    void setCancelButtonIndex(int64_t index) { m_cancelButtonIndex = index; }
    bool isVisible() const { return m_visible; }

    void show();
    void clickButtonAtIndex(int64_t);
    void dismissWithClickedButtonIndex(int64_t, bool animated);

private:
    void layOut();

    std::string m_title;
    std::string m_message;
    runtime::WeakId m_delegate;
    std::vector<std::string> m_buttonTitles;
    int64_t m_cancelButtonIndex { -1 };
    bool m_visible { false };
};

} // namespace uikit
