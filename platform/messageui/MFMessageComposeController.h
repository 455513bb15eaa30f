// The screen inside the message composer: the recipients line, the text and
// the Send and Cancel buttons. It shows what the composer holds and passes
// the user's edits and taps back to it.
#pragma once

#include "ComposeResults.h"

#include <uikit/UIButton.h>
#include <uikit/UITextField.h>
#include <uikit/UITextView.h>
#include <uikit/UIViewController.h>

namespace messageui {

class MFMessageComposeViewController;

class MFMessageComposeController : public uikit::UIViewController {
    PLV_CLASS(MFMessageComposeController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<MFMessageComposeController>&);

    void setComposer(const runtime::Ref<MFMessageComposeViewController>&);

    void loadView() override;
    // Shows the composer's recipients, text and button states.
    void refresh();

    runtime::Ref<uikit::UITextField> recipientsField() const { return m_recipientsField; }
    runtime::Ref<uikit::UITextView> bodyView() const { return m_bodyView; }
    runtime::Ref<uikit::UIButton> sendButton() const { return m_sendButton; }
    runtime::Ref<uikit::UIButton> cancelButton() const { return m_cancelButton; }

private:
    void updateButtons();

    runtime::Weak<MFMessageComposeViewController> m_composer;
    runtime::Ref<uikit::UITextField> m_recipientsField;
    runtime::Ref<uikit::UITextView> m_bodyView;
    runtime::Ref<uikit::UIButton> m_sendButton;
    runtime::Ref<uikit::UIButton> m_cancelButton;
};

} // namespace messageui
