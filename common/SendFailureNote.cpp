#include "SendFailureNote.h"

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>

namespace common {

using namespace uikit;

void SendFailureNote::show(UIView& root, const CGRect& counter, const std::string& text)
{
    if (!m_label) {
        m_label = makeView<UILabel>(CGRectMake(0, 0, 150, 15));
        m_label->setName("sendFailureLabel");
        m_label->setBackgroundColor(UIColor::clearColor());
        m_label->setTextColor(UIColor::redColor());
        m_label->setFont(UIFont::systemFontOfSize(12));
    }
    m_label->setFrame(CGRectMake(counter.origin.x + counter.size.width + 5, counter.origin.y, 200, counter.size.height));
    m_label->setText(text);
    root.addSubview(m_label);
}

void SendFailureNote::hide()
{
    if (m_label)
        m_label->removeFromSuperview();
}

} // namespace common
