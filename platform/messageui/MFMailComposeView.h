// The mail composer's composing view (the platform's private
// MFMailComposeView): To, Cc, Bcc and Subject lines ("mailToField",
// "mailCcField", "mailBccField", "mailSubjectField"), the body
// ("mailBodyView") and one line per attachment ("mailAttachment"), laid out
// top to bottom.
#pragma once

#include <mail/MimeMessage.h>
#include <uikit/UILabel.h>
#include <uikit/UITextField.h>
#include <uikit/UITextView.h>

#include <vector>

namespace messageui {

class MFMailComposeView : public uikit::UIView {
    PLV_CLASS(MFMailComposeView, uikit::UIView)
public:
    // Builds the lines for a width; `delegate` hears of edits.
    void build(double width, const runtime::Id& delegate);

    // Shows the mail's header lines and attachments; the body only when asked,
    // since the composer builds it later.
    void showHeaders(const mail::MailMessage&);
    void showBody(const mail::MailMessage&);

    runtime::Ref<uikit::UITextField> toField() const { return m_toField; }
    runtime::Ref<uikit::UITextField> ccField() const { return m_ccField; }
    runtime::Ref<uikit::UITextField> bccField() const { return m_bccField; }
    runtime::Ref<uikit::UITextField> subjectField() const { return m_subjectField; }
    runtime::Ref<uikit::UITextView> bodyView() const { return m_bodyView; }
    const std::vector<runtime::Ref<uikit::UILabel>>& attachmentLines() const { return m_attachmentLines; }

private:
    runtime::Ref<uikit::UITextField> addLine(const char* label, const char* name, double y, double width, const runtime::Id& delegate);

    runtime::Ref<uikit::UITextField> m_toField;
    runtime::Ref<uikit::UITextField> m_ccField;
    runtime::Ref<uikit::UITextField> m_bccField;
    runtime::Ref<uikit::UITextField> m_subjectField;
    runtime::Ref<uikit::UITextView> m_bodyView;
    std::vector<runtime::Ref<uikit::UILabel>> m_attachmentLines;
};

// The recipients as a line ("a@example.com, Anna <b@example.com>") and back;
// reading uses the mail address syntax, so a quoted name may hold a comma.
std::string recipientLine(const std::vector<std::string>&);
std::vector<std::string> recipientsOfLine(std::string_view);

} // namespace messageui
