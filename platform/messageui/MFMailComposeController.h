// The controller inside the mail composer (the platform's private
// MFMailComposeController): it owns the composing view and the bar's Send
// and Cancel items, and carries the Send action itself, `send:`, which the
// Send item triggers. The item sits in the instance variable
// "_sendButtonItem" (and Cancel in "_cancelButtonItem"), where the platform
// keeps them. Runtime: `mailComposeView`, `send:` (sender), `cancel:`
// (sender), `actionSheet:clickedButtonAtIndex:` for the draft sheet.
#pragma once

#include "MFMailComposeView.h"

#include <uikit/UIActionSheet.h>
#include <uikit/UIBarButtonItem.h>
#include <uikit/UIViewController.h>

namespace messageui {

class MFMailComposeViewController;

class MFMailComposeController : public uikit::UIViewController {
    PLV_CLASS(MFMailComposeController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<MFMailComposeController>&);

    void setComposer(const runtime::Ref<MFMailComposeViewController>&);

    runtime::Ref<MFMailComposeView> mailComposeView();
    runtime::Ref<uikit::UIBarButtonItem> sendButtonItem() const { return m_sendButtonItem; }
    runtime::Ref<uikit::UIBarButtonItem> cancelButtonItem() const { return m_cancelButtonItem; }
    // The Delete Draft / Save Draft sheet while it is up.
    runtime::Ref<uikit::UIActionSheet> draftSheet() const { return m_draftSheet; }

    void loadView() override;
    // Shows the composer's mail and the Send item's state.
    void refresh();
    // Copies the user's edits into the composer's mail.
    void takeEdits();
    void updateButtons();

private:
    void cancelTapped();
    void draftSheetChoice(int64_t index);

    runtime::Weak<MFMailComposeViewController> m_composer;
    runtime::Ref<uikit::UIBarButtonItem> m_sendButtonItem;
    runtime::Ref<uikit::UIBarButtonItem> m_cancelButtonItem;
    runtime::Ref<uikit::UIActionSheet> m_draftSheet;
};

} // namespace messageui
