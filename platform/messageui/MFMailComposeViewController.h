// The system's mail composer: a screen with the recipients, subject, body
// and attachments an application proposed, sent from the user's mail
// account into the device's Outbox (/var/mobile/Library/Mail/Outbox/<n>.eml,
// a complete MIME message). Cancel offers to delete or save the draft (an
// untouched composer just closes). The delegate learns the outcome on the
// turn of the run loop after the action and is expected to dismiss the
// composer; a composer whose delegate does not answer dismisses itself.
//
// Runtime: `canSendMail` (class) → whether there is a mail account;
// `setToRecipients:`, `setCcRecipients:`, `setBccRecipients:` (strings);
// `setSubject:`; `setMessageBody:isHTML:` (text, bool);
// `addAttachmentData:mimeType:fileName:` (bytes, strings);
// `mailComposeDelegate` / `setMailComposeDelegate:` (held weakly), told
// `mailComposeController:didFinishWithResult:error:` (composer,
// MFMailComposeResult: 0 cancelled, 1 saved, 2 sent, 3 failed, and an error
// that is always nil here).
//
// The platform's private parts: `_rootViewController` → the
// MFMailComposeController inside, whose `mailComposeView` is the composing
// view and whose instance variable "_sendButtonItem" holds the Send bar
// button item; `send:` on that controller sends. Once the composer's view
// has loaded, the body is built on the next turn of the run loop and the
// delegate is told `mailComposeController:bodyFinishedLoadingWithResult:
// error:` (composer, YES, nil).
#pragma once

#include "ComposeResults.h"
#include "MFMailComposeController.h"

#include <mail/MimeMessage.h>
#include <uikit/UINavigationController.h>

#include <string>
#include <vector>

namespace messageui {

class MFMailComposeViewController : public uikit::UINavigationController {
    PLV_CLASS(MFMailComposeViewController, uikit::UINavigationController)
public:
    static void registerMethods(runtime::ClassBuilder<MFMailComposeViewController>&);
    static runtime::Ref<MFMailComposeViewController> create();
    static bool canSendMail();

    void setToRecipients(std::vector<std::string>);
    void setCcRecipients(std::vector<std::string>);
    void setBccRecipients(std::vector<std::string>);
    void setSubject(std::string);
    void setMessageBody(std::string body, bool isHTML);
    void addAttachmentData(std::vector<uint8_t> data, std::string mimeType, std::string fileName);
    runtime::Id mailComposeDelegate() const { return m_delegate.lock(); }
    void setMailComposeDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    // The mail as it stands, with the user's edits.
    const mail::MailMessage& draft() const { return m_draft; }
    mail::MailMessage& editableDraft() { return m_draft; }
    runtime::Ref<MFMailComposeController> rootViewController();
    bool isBodyLoaded() const { return m_bodyLoaded; }
    bool isFinished() const { return m_finished; }
    // Why the last send or save failed; empty otherwise.
    const std::string& failureReason() const { return m_failureReason; }

    // What Send, Delete Draft and Save Draft do; ignored once finished.
    void sendMail();
    void discardDraft();
    void saveDraft();

    void loadView() override;
    // The root controller's view is there: build the body on the next turn.
    void scheduleBodyLoading();

private:
    void ensureRoot();
    void loadBody();
    void finish(MFMailComposeResult);

    mail::MailMessage m_draft;
    runtime::WeakId m_delegate;
    runtime::Ref<MFMailComposeController> m_root;
    bool m_bodyLoadingScheduled { false };
    bool m_bodyLoaded { false };
    bool m_finished { false };
    std::string m_failureReason;
};

} // namespace messageui
