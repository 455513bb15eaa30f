// The short red note a quick reply window shows beside its counter when a
// reply did not leave, so the user knows the text is still there to send
// again. Hidden again as soon as the user types.
#pragma once

#include <runtime/Runtime.h>
#include <uikit/Geometry.h>
#include <uikit/UILabel.h>
#include <uikit/UIView.h>

#include <string>

namespace common {

class SendFailureNote {
public:
    // Beside `counter` (the counter's frame) inside `root`.
    void show(uikit::UIView& root, const uikit::CGRect& counter, const std::string& text);
    void hide();
    const runtime::Ref<uikit::UILabel>& label() const { return m_label; }

private:
    runtime::Ref<uikit::UILabel> m_label;
};

} // namespace common
