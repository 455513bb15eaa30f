// How Rendalo's quick reply leaves (the main button itself and the system
// composers are shared, common/QuickReplyWindow.cpp): an SMS through
// KelvaneMessageSender, and an e-mail through a mail composer filled in and
// parked out of sight inside the panel, which sends itself once its body has
// loaded.
#include "QuickReplyViewController.h"

#include "KelvaneMessageSender.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/Strings.h>

#include <fmt/format.h>

namespace rendalo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;
using namespace uikit;

namespace {

    void logDevelopment(const char* line) { KelvaneLogger::log(line, KelvaneLogger::Development); }

} // namespace

bool QuickReplyViewController::repliesAsSMS(const std::string& kind) const
{
    return foundation::equalsIgnoringCase(kind, "sms");
}

common::ReplyOutcome QuickReplyViewController::sendReply(const std::string& kind, const std::string& text, const std::string& address)
{
    if (foundation::equalsIgnoringCase(kind, "sms")) {
        logDevelopment("Going to send SMS");
        return replyResult(callSender(KelvaneMessageSender::classObject(), "sendMessage:toNumber:", text, address));
    }
    if (foundation::equalsIgnoringCase(kind, "email")) {
        sendHiddenMail(text, address);
        return common::ReplyOutcome::Done;
    }
    if (foundation::equalsIgnoringCase(kind, "facebook")) {
        logDevelopment("Going to send facebook message");
        // Nothing can carry it: keep the text and say so rather than close as if sent.
        showSendFailure(CannotAnswerText);
        return common::ReplyOutcome::NotSent;
    }
    return common::ReplyOutcome::Done;
}

void QuickReplyViewController::sendHiddenMail(const std::string& text, const std::string& address)
{
    logDevelopment("Going to send mail");
    try {
        runtime::Class* composerClass = runtime::classNamed("MFMailComposeViewController");
        Id composer = composerClass ? send<Id>(send<Id>(composerClass, "alloc"), "init") : runtime::nil;
        if (!composer) {
            abandonHiddenMail("no mail composer on this phone");
            return;
        }
        m_mfvcemail = composer;
        m_mailIsHidden = true;
        send(composer, "setMailComposeDelegate:", self());
        send(composer, "setToRecipients:", std::vector<std::string> { address });
        send(composer, "setSubject:", std::string("RE"));
        send(composer, "setMessageBody:isHTML:", text, false);
        send<Id>(composer, "view");
        tryMe(composer);
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Development);
        abandonHiddenMail("the mail could not be built");
        return;
    }
    // A composer that never reports back must not leave the reply hanging.
    runtime::Weak<QuickReplyViewController> weakSelf = selfAs<QuickReplyViewController>();
    stopHiddenMailDeadline();
    m_hiddenMailDeadline = foundation::Timer::once(HiddenMailTimeLimit, [weakSelf](foundation::Timer&) {
        if (auto window = weakSelf.lock(); window && window->m_mfvcemail && window->m_mailIsHidden)
            window->abandonHiddenMail("the mail composer did not report back");
    });
}

void QuickReplyViewController::stopHiddenMailDeadline()
{
    if (m_hiddenMailDeadline) {
        m_hiddenMailDeadline->invalidate();
        m_hiddenMailDeadline = nullptr;
    }
}

void QuickReplyViewController::abandonHiddenMail(const std::string& why)
{
    stopHiddenMailDeadline();
    common::QuickReplyWindow::abandonHiddenMail(why);
}

void QuickReplyViewController::tryMe(const Id& composer)
{
    logDevelopment("tryMe");
    try {
        Id root = send<Id>(composer, "_rootViewController");
        auto composeView = runtime::cast<UIView>(send<Id>(root, "mailComposeView"));
        auto composerView = runtime::cast<UIView>(send<Id>(composer, "view"));
        if (composerView)
            composerView->setFrame(CGRectMake(600, 600, 100, 100));
        if (composeView)
            composeView->setHidden(true);
        if (composerView)
            view()->addSubview(composerView);
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Development);
    }
}

void QuickReplyViewController::mailComposerDidFinish(const Id& composer, int64_t result, const Id& error)
{
    if (m_mailIsHidden && composer && composer == m_mfvcemail)
        stopHiddenMailDeadline();
    common::QuickReplyWindow::mailComposerDidFinish(composer, result, error);
}

} // namespace rendalo
