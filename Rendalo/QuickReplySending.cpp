// The panel's main button and what hangs off it: the choice between typing
// in the panel and the system composers, sending an SMS through
// KelvaneMessageSender, and the hidden mail composer that sends an e-mail
// reply without being shown.
#include "QuickReplyViewController.h"

#include "KelvaneMessageSender.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <common/MailComposerSend.h>
#include <common/SMSSending.h>
#include <foundation/Strings.h>

#include <fmt/format.h>

namespace rendalo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;
using namespace uikit;

namespace {

    // The composer's own result codes.
    constexpr int64_t MailComposeResultSent = 2;

    void logDevelopment(const char* line) { KelvaneLogger::log(line, KelvaneLogger::Development); }

    // A preference switch is on only for the one-character string "1".
    bool switchIsOn(const std::shared_ptr<foundation::PlistDictionary>& preferences, std::string_view key)
    {
        const foundation::PlistValue* value = preferences ? preferences->find(key) : nullptr;
        const std::string* text = value ? value->asString() : nullptr;
        return text && *text == "1";
    }

    Id makeByName(const char* className)
    {
        runtime::Class* cls = runtime::classNamed(className);
        if (!cls)
            return runtime::nil;
        return send<Id>(send<Id>(cls, "alloc"), "init");
    }

    bool presentModally(UIViewController& presenter, const Id& controller)
    {
        auto presented = runtime::cast<UIViewController>(controller);
        if (!presented)
            return false;
        presenter.presentModalViewController(presented, true);
        return true;
    }

} // namespace

void QuickReplyViewController::sendMessage()
{
    if (!m_canSend && m_replyMode)
        return;
    Id controller = delegate();
    auto* store = send<kelvane::KelvanePreferenceManager*>(controller, "preferencesManager");
    auto preferences = store ? store->preferences() : nullptr;
    KelvaneLogger::log(fmt::format("Prefs: {}", preferences ? preferences->size() : 0), KelvaneLogger::Development);
    std::string kind = send<std::string>(controller, "lastMessageType");

    if (!m_replyMode) {
        if (foundation::equalsIgnoringCase(kind, "sms")) {
            logDevelopment("We are going to reply to an SMS");
            if (switchIsOn(preferences, kelvane::Key::BuiltinSMS)) {
                presentMessageComposer();
                return;
            }
            logDevelopment("We are going to reply to an SMS with our");
            send(self(), "enlargeView");
            return;
        }
        if (foundation::equalsIgnoringCase(kind, "email")) {
            logDevelopment("We are going to reply to an Email");
            if (switchIsOn(preferences, kelvane::Key::BuiltinEmail)) {
                presentMailComposer();
                return;
            }
            logDevelopment("We are going to reply to an Email with our");
            send(self(), "enlargeView");
            return;
        }
    }

    std::string text = m_replyField ? m_replyField->text() : std::string {};
    std::string address = send<std::string>(controller, "lastMessageAddress");
    if (foundation::equalsIgnoringCase(kind, "sms")) {
        logDevelopment("Going to send SMS");
        std::string result;
        try {
            result = send<std::string>(KelvaneMessageSender::classObject(), "sendMessage:toNumber:", text, address);
        } catch (const std::exception& exception) {
            result = exception.what();
        }
        if (result != common::StatusOK) {
            // Closing now would lose the typed text with no word to the user.
            KelvaneLogger::log(fmt::format("Reply not sent: {}", result), KelvaneLogger::Critical);
            showSendFailure(NotSentText);
            return;
        }
    } else if (foundation::equalsIgnoringCase(kind, "email")) {
        sendHiddenMail(text, address);
    } else if (foundation::equalsIgnoringCase(kind, "facebook")) {
        logDevelopment("Going to send facebook message");
        // Nothing can carry it: keep the text and say so rather than close as if sent.
        showSendFailure(CannotAnswerText);
        return;
    }

    // An e-mail closes once its composer reports back.
    if (!controller || kind == "email")
        return;
    m_replyMode = false;
    send(controller, "dismissBanner");
}

void QuickReplyViewController::presentMessageComposer()
{
    logDevelopment("We are going to reply to an SMS using the builtin");
    Id composer = makeByName("MFMessageComposeViewController");
    if (!composer) {
        // Without the system composer the panel is the only way to answer.
        KelvaneLogger::log("No message composer, replying in the panel", KelvaneLogger::Severe);
        send(self(), "enlargeView");
        return;
    }
    logDevelopment("We are going to reply to an SMS using the builtin2");
    send(composer, "setMessageComposeDelegate:", self());
    send(composer, "setRecipients:", std::vector<std::string> { send<std::string>(delegate(), "lastMessageAddress") });
    logDevelopment("We are going to reply to an SMS using the builtin3");
    send(delegate(), "dismissBannerOnly");
    logDevelopment("We are going to reply to an SMS using the builtin4");
    presentModally(*this, composer);
}

void QuickReplyViewController::presentMailComposer()
{
    logDevelopment("We are going to reply to an Email with builtin");
    Id composer = makeByName("MFMailComposeViewController");
    if (!composer) {
        KelvaneLogger::log("No mail composer, replying in the panel", KelvaneLogger::Severe);
        send(self(), "enlargeView");
        return;
    }
    // The user's own composer: it must never send itself.
    m_mfvcemail = composer;
    m_mailIsHidden = false;
    logDevelopment("We are going to reply to an Email with builtin2");
    send(composer, "setMailComposeDelegate:", self());
    logDevelopment("We are going to reply to an Email with builtin3");
    send(composer, "setToRecipients:", std::vector<std::string> { SupportAddress });
    logDevelopment("We are going to reply to an Email with builtin4");
    send(delegate(), "dismissBannerOnly");
    logDevelopment("We are going to reply to an Email with builtin5");
    presentModally(*this, composer);
}

void QuickReplyViewController::sendHiddenMail(const std::string& text, const std::string& address)
{
    logDevelopment("Going to send mail");
    try {
        Id composer = makeByName("MFMailComposeViewController");
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
    if (m_hiddenMailDeadline)
        m_hiddenMailDeadline->invalidate();
    m_hiddenMailDeadline = foundation::Timer::once(HiddenMailTimeLimit, [weakSelf](foundation::Timer&) {
        if (auto window = weakSelf.lock(); window && window->m_mfvcemail && window->m_mailIsHidden)
            window->abandonHiddenMail("the mail composer did not report back");
    });
}

void QuickReplyViewController::abandonHiddenMail(const std::string& why)
{
    KelvaneLogger::log(fmt::format("Reply mail not sent: {}", why), KelvaneLogger::Critical);
    if (m_hiddenMailDeadline) {
        m_hiddenMailDeadline->invalidate();
        m_hiddenMailDeadline = nullptr;
    }
    if (auto screen = runtime::cast<UIViewController>(m_mfvcemail)) {
        // Later callbacks from it are no longer the reply's.
        runtime::send(screen, "setMailComposeDelegate:", runtime::nil);
        if (auto parked = screen->viewIfLoaded())
            parked->removeFromSuperview();
    }
    m_mfvcemail = nullptr;
    m_mailIsHidden = false;
    showSendFailure(MailNotSentText);
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

void QuickReplyViewController::closeAfter(double seconds)
{
    // The timer holds the controller, as a timer holds its target.
    foundation::Timer::once(seconds, [controller = delegate()](foundation::Timer&) { send(controller, "dismissBanner"); });
}

void QuickReplyViewController::messageComposerDidFinish(const Id& composer, int64_t)
{
    logDevelopment("messageComposeViewController delegate");
    if (auto screen = runtime::cast<UIViewController>(composer))
        if (auto view = screen->viewIfLoaded())
            view->removeFromSuperview();
    closeAfter(MessageComposerCloseDelay);
}

void QuickReplyViewController::mailComposerDidFinish(const Id& composer, int64_t result, const Id&)
{
    logDevelopment("mailComposeController delegate");
    if (auto screen = runtime::cast<UIViewController>(composer))
        if (auto view = screen->viewIfLoaded())
            view->removeFromSuperview();
    bool hiddenReply = m_mailIsHidden && composer && composer == m_mfvcemail;
    if (hiddenReply && m_hiddenMailDeadline) {
        m_hiddenMailDeadline->invalidate();
        m_hiddenMailDeadline = nullptr;
    }
    m_mfvcemail = nullptr;
    m_mailIsHidden = false;
    if (hiddenReply && result != MailComposeResultSent) {
        KelvaneLogger::log(fmt::format("Reply mail not sent: the composer answered {}", result), KelvaneLogger::Critical);
        showSendFailure(MailNotSentText);
        return;
    }
    closeAfter(MailComposerCloseDelay);
}

void QuickReplyViewController::mailComposerBodyFinishedLoading(const Id& composer, bool, const Id&)
{
    logDevelopment("bodyFinishedLoading");
    // Only the reply composer parked in the panel sends itself; the one shown
    // to the user waits for the user.
    if (!m_mailIsHidden || !composer || composer != m_mfvcemail)
        return;
    if (!common::pressComposerSend(composer))
        abandonHiddenMail("the mail composer has no Send action");
}

} // namespace rendalo
