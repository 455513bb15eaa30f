#include "MFMailComposeViewController.h"

#include "DelegateMessage.h"

#include <foundation/DevicePath.h>
#include <foundation/RunLoop.h>
#include <mail/MailConfiguration.h>
#include <mail/MailOutbox.h>

namespace messageui {

using runtime::Id;
using runtime::Ref;

void MFMailComposeViewController::registerMethods(runtime::ClassBuilder<MFMailComposeViewController>& b)
{
    b.classMethod("canSendMail", [](runtime::Class&) -> bool { return canSendMail(); });
    b.method("initWithNibName:bundle:", [](MFMailComposeViewController& self, const std::string&, const Id&) -> Id {
        self.ensureRoot();
        return self.self();
    });
    b.method<&MFMailComposeViewController::setToRecipients>("setToRecipients:");
    b.method<&MFMailComposeViewController::setCcRecipients>("setCcRecipients:");
    b.method<&MFMailComposeViewController::setBccRecipients>("setBccRecipients:");
    b.method<&MFMailComposeViewController::setSubject>("setSubject:");
    b.method<&MFMailComposeViewController::setMessageBody>("setMessageBody:isHTML:");
    b.method<&MFMailComposeViewController::addAttachmentData>("addAttachmentData:mimeType:fileName:");
    b.method<&MFMailComposeViewController::mailComposeDelegate>("mailComposeDelegate");
    b.method<&MFMailComposeViewController::setMailComposeDelegate>("setMailComposeDelegate:");
    b.method("_rootViewController", [](MFMailComposeViewController& self) -> Id { return self.rootViewController(); });
}

Ref<MFMailComposeViewController> MFMailComposeViewController::create()
{
    auto composer = runtime::make<MFMailComposeViewController>();
    composer->ensureRoot();
    return composer;
}

bool MFMailComposeViewController::canSendMail()
{
    return mail::mailAccount().has_value() && !foundation::hostPath(mail::OutboxFolder).empty();
}

void MFMailComposeViewController::ensureRoot()
{
    if (m_root)
        return;
    m_root = runtime::make<MFMailComposeController>();
    m_root->setComposer(selfAs<MFMailComposeViewController>());
    setViewControllers({ m_root });
}

Ref<MFMailComposeController> MFMailComposeViewController::rootViewController()
{
    ensureRoot();
    return m_root;
}

void MFMailComposeViewController::loadView()
{
    ensureRoot();
    UINavigationController::loadView();
}

void MFMailComposeViewController::setToRecipients(std::vector<std::string> recipients)
{
    m_draft.to = std::move(recipients);
    if (m_root)
        m_root->refresh();
}

void MFMailComposeViewController::setCcRecipients(std::vector<std::string> recipients)
{
    m_draft.cc = std::move(recipients);
    if (m_root)
        m_root->refresh();
}

void MFMailComposeViewController::setBccRecipients(std::vector<std::string> recipients)
{
    m_draft.bcc = std::move(recipients);
    if (m_root)
        m_root->refresh();
}

void MFMailComposeViewController::setSubject(std::string subject)
{
    m_draft.subject = std::move(subject);
    if (m_root)
        m_root->refresh();
}

void MFMailComposeViewController::setMessageBody(std::string body, bool isHTML)
{
    m_draft.body = std::move(body);
    m_draft.bodyIsHTML = isHTML;
    if (m_root)
        m_root->refresh();
}

void MFMailComposeViewController::addAttachmentData(std::vector<uint8_t> data, std::string mimeType, std::string fileName)
{
    m_draft.attachments.push_back({ std::move(data), std::move(mimeType), std::move(fileName) });
    if (m_root)
        m_root->refresh();
}

void MFMailComposeViewController::scheduleBodyLoading()
{
    if (m_bodyLoadingScheduled)
        return;
    m_bodyLoadingScheduled = true;
    std::weak_ptr<MFMailComposeViewController> weakSelf = selfAs<MFMailComposeViewController>();
    foundation::RunLoop::main().performOnMain([weakSelf] {
        if (auto composer = weakSelf.lock())
            composer->loadBody();
    });
}

void MFMailComposeViewController::loadBody()
{
    m_bodyLoaded = true;
    if (m_root)
        m_root->refresh();
    tellDelegate(mailComposeDelegate(), "mailComposeController:bodyFinishedLoadingWithResult:error:", self(), true, runtime::nil);
}

void MFMailComposeViewController::sendMail()
{
    if (m_finished)
        return;
    if (m_root)
        m_root->takeEdits();
    auto result = mail::queueMail(m_draft);
    m_failureReason = result.reason();
    if (!result)
        runtime::reportDiagnostic("MFMailComposeViewController: mail not sent: " + result.reason());
    finish(result ? MFMailComposeResultSent : MFMailComposeResultFailed);
}

void MFMailComposeViewController::discardDraft()
{
    if (!m_finished)
        finish(MFMailComposeResultCancelled);
}

void MFMailComposeViewController::saveDraft()
{
    if (m_finished)
        return;
    if (m_root)
        m_root->takeEdits();
    auto result = mail::saveDraft(m_draft);
    m_failureReason = result.reason();
    finish(result ? MFMailComposeResultSaved : MFMailComposeResultFailed);
}

void MFMailComposeViewController::finish(MFMailComposeResult result)
{
    m_finished = true;
    if (m_root)
        m_root->updateButtons();
    std::weak_ptr<MFMailComposeViewController> weakSelf = selfAs<MFMailComposeViewController>();
    foundation::RunLoop::main().performOnMain([weakSelf, result] {
        auto composer = weakSelf.lock();
        if (!composer)
            return;
        if (!tellDelegate(composer->mailComposeDelegate(), "mailComposeController:didFinishWithResult:error:", Id(composer), int64_t(result), runtime::nil))
            composer->dismissModalViewControllerAnimated(true);
    });
}

} // namespace messageui
