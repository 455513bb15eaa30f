// The system's message composer: a screen on which the user checks the
// recipients and text an application proposed, then sends the message as an
// SMS (through the SMS service, so it lands in the Messages database) or
// cancels. The delegate learns the outcome on the turn of the run loop after
// the tap and is expected to dismiss the composer; a composer whose delegate
// does not answer dismisses itself.
//
// Runtime: `canSendText` (class) → whether the SMS service is there;
// `recipients` / `setRecipients:` (strings); `body` / `setBody:`;
// `messageComposeDelegate` / `setMessageComposeDelegate:` (held weakly),
// told `messageComposeViewController:didFinishWithResult:` (composer,
// MessageComposeResult: 0 cancelled, 1 sent, 2 failed).
//
// The screen, under the title "New Message": Cancel ("composeCancelButton")
// in the bar, the recipients line ("composeRecipientsField", addresses
// separated by commas), the text ("composeBodyView") and Send
// ("composeSendButton"), which is enabled while there is a recipient and
// some text. After Send or Cancel both buttons are disabled, so one
// composer sends at most once.
#pragma once

#include "MFMessageComposeController.h"

#include <uikit/UINavigationController.h>

#include <string>
#include <vector>

namespace messageui {

class MFMessageComposeViewController : public uikit::UINavigationController {
    PLV_CLASS(MFMessageComposeViewController, uikit::UINavigationController)
public:
    static void registerMethods(runtime::ClassBuilder<MFMessageComposeViewController>&);
    static runtime::Ref<MFMessageComposeViewController> create();
    static bool canSendText();

    const std::vector<std::string>& recipients() const { return m_recipients; }
    void setRecipients(std::vector<std::string>);
    const std::string& body() const { return m_body; }
    void setBody(std::string);
    runtime::Id messageComposeDelegate() const { return m_delegate.lock(); }
    void setMessageComposeDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    bool canSend() const;
    bool isFinished() const { return m_finished; }
    // What Send and Cancel do; ignored once the composer has finished.
    void send();
    void cancel();

    // The user's edits on the screen.
    void recipientsEdited(const std::string& line);
    void bodyEdited(std::string);

    void loadView() override;

private:
    void ensureContent();
    void finish(MessageComposeResult);
    MessageComposeResult sendThroughSMSService();

    std::vector<std::string> m_recipients;
    std::string m_body;
    runtime::WeakId m_delegate;
    runtime::Ref<MFMessageComposeController> m_content;
    bool m_finished { false };
};

// "a, b;c" → {"a", "b", "c"}: recipients separated by commas or semicolons,
// trimmed, empty ones dropped.
std::vector<std::string> splitRecipientLine(std::string_view);

} // namespace messageui
