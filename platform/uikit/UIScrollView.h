// A view whose bounds origin is a content offset over a content size.
// Dragging inside it scrolls, kept within the content; setting the offset
// from code is taken as given, as on the phone.
#pragma once

#include "UIView.h"

namespace uikit {

class UIScrollView : public UIView {
    PLV_CLASS(UIScrollView, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UIScrollView>&);

    CGPoint contentOffset() const { return bounds().origin; }
    virtual void setContentOffset(const CGPoint&);
    CGSize contentSize() const { return m_contentSize; }
    void setContentSize(const CGSize&);
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    // A finger dragged by `translation` (screen points in this view's
    // coordinates): the content follows, clamped to its size.
    void scrollByDragging(const CGPoint& translation);

protected:
    runtime::WeakId m_delegate;

private:
    CGSize m_contentSize {};
    bool m_scrollEnabled { true };
};

} // namespace uikit
