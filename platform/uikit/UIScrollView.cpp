#include "UIScrollView.h"

#include <algorithm>
#include <cmath>

namespace uikit {

void UIScrollView::registerMethods(runtime::ClassBuilder<UIScrollView>& b)
{
    b.method<&UIScrollView::contentOffset>("contentOffset");
    b.method<&UIScrollView::setContentOffset>("setContentOffset:");
    b.method("setContentOffset:animated:", [](UIScrollView& self, const CGPoint& offset, bool) { self.setContentOffset(offset); });
    b.method<&UIScrollView::contentSize>("contentSize");
    b.method<&UIScrollView::setContentSize>("setContentSize:");
    b.method<&UIScrollView::isScrollEnabled>("isScrollEnabled");
    b.method<&UIScrollView::setScrollEnabled>("setScrollEnabled:");
    b.method<&UIScrollView::delegate>("delegate");
    b.method<&UIScrollView::setDelegate>("setDelegate:");
}

void UIScrollView::setContentOffset(const CGPoint& offset)
{
    if (!std::isfinite(offset.x) || !std::isfinite(offset.y))
        return;
    CGRect b = bounds();
    if (b.origin == offset)
        return;
    b.origin = offset;
    setBounds(b);
    setNeedsLayout();
    if (auto delegate = m_delegate.lock(); delegate && runtime::respondsTo(delegate, "scrollViewDidScroll:"))
        runtime::send(delegate, "scrollViewDidScroll:", self());
}

void UIScrollView::setContentSize(const CGSize& size)
{
    if (std::isfinite(size.width) && std::isfinite(size.height))
        m_contentSize = { std::max(0.0, size.width), std::max(0.0, size.height) };
}

void UIScrollView::scrollByDragging(const CGPoint& translation)
{
    if (!m_scrollEnabled)
        return;
    CGRect b = bounds();
    double maxX = std::max(0.0, m_contentSize.width - b.size.width);
    double maxY = std::max(0.0, m_contentSize.height - b.size.height);
    CGPoint offset { std::clamp(b.origin.x - translation.x, 0.0, maxX), std::clamp(b.origin.y - translation.y, 0.0, maxY) };
    setContentOffset(offset);
}

} // namespace uikit
