#include "QuickReplyWindow.h"

#include "PackageImages.h"

#include "MailComposerSend.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/RunLoop.h>
#include <foundation/Strings.h>
#include <uikit/CALayer.h>
#include <uikit/UIApplication.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UIImage.h>

#include <fmt/format.h>

namespace common {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;
using namespace uikit;

namespace {

    // The composer's own result codes.
    constexpr int64_t MailComposeResultSent = 2;
    constexpr const char* SentStatus = "OK";

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

    void removeComposerView(const Id& composer)
    {
        if (auto screen = runtime::cast<UIViewController>(composer))
            if (auto view = screen->viewIfLoaded())
                view->removeFromSuperview();
    }

} // namespace

Id QuickReplyWindow::initWithMessage(std::optional<std::string> message)
{
    Id self = initWithNibName(std::string {}, runtime::nil);
    if (!self)
        return self;
    m_message = message ? std::move(*message) : std::string(MissingMessageText);
    return self;
}

int64_t QuickReplyWindow::frontMostOrientation()
{
    auto application = UIApplication::sharedApplication();
    if (runtime::respondsTo(application, "_frontMostAppOrientation"))
        return send<int64_t>(application, "_frontMostAppOrientation");
    return application ? application->statusBarOrientation() : UIInterfaceOrientationPortrait;
}

void QuickReplyWindow::makeReplyFieldFirstResponder()
{
    if (m_replyField && !m_replyField->isFirstResponder())
        m_replyField->becomeFirstResponder();
}

void QuickReplyWindow::placeMessageField(const CGRect& frameIfNew)
{
    if (!m_messageField) {
        m_messageField = makeView<UITextView>(frameIfNew);
        m_messageField->setName("messageField");
    }
    m_messageField->setText(m_message.value_or(std::string {}));
    m_messageField->setBackgroundColor(UIColor::clearColor());
    m_messageField->setFont(UIFont::systemFontOfSize(14));
    m_messageField->setEditable(false);
    m_messageField->setContentMode(UIViewContentModeTopLeft);
    m_bgView->addSubview(m_messageField);
}

void QuickReplyWindow::styleReplyButton(const std::string& backgroundImage)
{
    if (!m_sendButton) {
        m_sendButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_sendButton->setName("sendButton");
    }
    m_sendButton->setBackgroundImage(common::packageImage(backgroundImage), UIControlStateNormal);
    m_sendButton->setTitle("Reply", UIControlStateNormal);
    m_sendButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    m_sendButton->setFont(UIFont::fontWithName("Helvetica-Bold", 16));
    m_sendButton->setEnabled(true);
    m_sendButton->removeTarget(self(), "sendMessage", UIControlEventTouchUpInside);
    m_sendButton->addTarget(self(), "sendMessage", UIControlEventTouchUpInside);
    m_sendButton->setShowsTouchWhenHighlighted(true);
}

void QuickReplyWindow::styleSendButton(const std::string& backgroundImage)
{
    if (!m_sendButton)
        return;
    m_sendButton->setTitle("Send", UIControlStateNormal);
    m_canSend = false;
    m_sendButton->setEnabled(false);
    m_sendButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    m_sendButton->setTitleColor(UIColor::colorWithRed(0.8, 0.8, 0.8, 1.0), UIControlStateDisabled);
    m_sendButton->setBackgroundImage(common::packageImage(backgroundImage), UIControlStateDisabled);
}

void QuickReplyWindow::placeCloseButton(const std::string& image, const CGRect& frame)
{
    if (!m_closeButton) {
        m_closeButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_closeButton->setName("closeButton");
        m_closeButton->setImage(common::packageImage(image), UIControlStateNormal);
        m_closeButton->setShowsTouchWhenHighlighted(true);
    }
    m_closeButton->setFrame(frame);
    // The reused button must close through the current controller only.
    for (const Id& target : m_closeButton->allTargets())
        m_closeButton->removeTarget(target, "dismissBanner", UIControlEventTouchUpInside);
    if (Id controller = delegate())
        m_closeButton->addTarget(controller, "dismissBanner", UIControlEventTouchUpInside);
}

void QuickReplyWindow::placeReplyFieldAndCounter(
    const CGRect& replyFrame, const CGRect& counterFrame, const std::optional<CGRect>& replyFrameNow, const std::optional<CGRect>& counterFrameNow)
{
    if (!m_replyField) {
        m_replyField = makeView<UITextView>(replyFrame);
        m_replyField->setName("replyField");
    }
    if (!m_contatore) {
        m_contatore = makeView<UILabel>(counterFrame);
        m_contatore->setName("contatore");
    }
    if (replyFrameNow)
        m_replyField->setFrame(*replyFrameNow);
    if (counterFrameNow)
        m_contatore->setFrame(*counterFrameNow);
    auto root = view();
    m_replyField->layer()->setCornerRadius(8);
    m_replyField->setFont(UIFont::systemFontOfSize(14));
    m_replyField->setDelegate(self());
    m_replyField->setReturnKeyType(UIReturnKeyDefault);
    m_replyField->setEditable(true);
    m_replyField->layer()->setBorderColor(UIColor::blackColor());
    m_replyField->layer()->setBorderWidth(1);
    root->addSubview(m_replyField);
    m_contatore->setText(std::string {});
    m_contatore->setBackgroundColor(UIColor::clearColor());
    m_contatore->setTextColor(UIColor::grayColor());
    m_contatore->setTextAlignment(UITextAlignmentCenter);
    m_contatore->setFont(UIFont::systemFontOfSize(12));
    root->addSubview(m_contatore);
    makeReplyFieldFirstResponder();
}

void QuickReplyWindow::dismiss()
{
    KelvaneLogger::log("QuickReply dismissBanner", KelvaneLogger::Development);
    try {
        if (m_replyField && m_replyField->isFirstResponder())
            m_replyField->resignFirstResponder();
        auto takeDown = [](auto& view) {
            if (view) {
                view->removeFromSuperview();
                view = nullptr;
            }
        };
        takeDown(m_bgView);
        takeDown(m_messageField);
        takeDown(m_sendButton);
        takeDown(m_replyField);
        takeDownExtras();
        // The counter is kept for the next showing, but a stale count must
        // not show on the next compact panel.
        if (m_contatore)
            m_contatore->removeFromSuperview();
        m_failure.hide();
        if (auto root = viewIfLoaded())
            root->removeFromSuperview();
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Critical);
    }
}

void QuickReplyWindow::reloadFields()
{
    KelvaneLogger::log("QRVC reloadFields", KelvaneLogger::Development);
    auto field = m_messageField;
    if (!field)
        return;
    if (!m_message) {
        KelvaneLogger::log("NIL MESSAGE IN QRVC", KelvaneLogger::Development);
        return;
    }
    foundation::RunLoop::main().performOnMain([field, text = *m_message] { field->setText(text); }, foundation::RunLoop::WaitUntilDone::Yes);
}

void QuickReplyWindow::dismissKeyboard()
{
    if (m_replyField && m_replyField->isFirstResponder())
        m_replyField->resignFirstResponder();
}

bool QuickReplyWindow::textFieldShouldReturn(const Id&)
{
    dismissKeyboard();
    return true;
}

bool QuickReplyWindow::textViewShouldChangeText(const Id& textView, const NSRange& range, const std::string& replacement)
{
    auto field = runtime::cast<UITextView>(textView);
    const std::string& current = field ? field->text() : (m_replyField ? m_replyField->text() : std::string {});
    int64_t length = static_cast<int64_t>(foundation::utf16Length(current)) - range.length + static_cast<int64_t>(foundation::utf16Length(replacement));
    if (length < 0)
        length = 0;
    if (m_contatore)
        m_contatore->setText(fmt::format("{}/160", length));
    m_canSend = length >= 1;
    m_failure.hide();
    if (m_sendButton)
        m_sendButton->setEnabled(m_canSend);
    return true;
}

void QuickReplyWindow::sendMessage()
{
    if (!m_canSend && m_replyMode)
        return;
    Id controller = delegate();
    auto* store = send<kelvane::KelvanePreferenceManager*>(controller, "preferencesManager");
    auto preferences = store ? store->preferences() : nullptr;
    KelvaneLogger::log(fmt::format("Prefs: {}", preferences ? preferences->size() : 0), KelvaneLogger::Development);
    std::string kind = send<std::string>(controller, "lastMessageType");

    if (!m_replyMode) {
        if (repliesAsSMS(kind)) {
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
    if (sendReply(kind, text, address) == ReplyOutcome::NotSent)
        return;

    // An e-mail closes once its composer reports back.
    if (!controller || kind == "email")
        return;
    m_replyMode = false;
    send(controller, "dismissBanner");
}

void QuickReplyWindow::logSenderException(const std::exception& exception)
{
    KelvaneLogger::log(fmt::format("Reply failed with an exception: {}", exception.what()), KelvaneLogger::Critical);
}

ReplyOutcome QuickReplyWindow::replyResult(const std::string& status)
{
    if (status == SentStatus)
        return ReplyOutcome::Done;
    // Closing now would lose the typed text with no word to the user.
    KelvaneLogger::log(fmt::format("Reply not sent: {}", status), KelvaneLogger::Critical);
    showSendFailure(NotSentText);
    return ReplyOutcome::NotSent;
}

bool QuickReplyWindow::presentModally(const Id& controller)
{
    auto presented = runtime::cast<UIViewController>(controller);
    if (!presented)
        return false;
    presentModalViewController(presented, true);
    return true;
}

void QuickReplyWindow::presentMessageComposer()
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
    presentModally(composer);
}

void QuickReplyWindow::presentMailComposer()
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
    presentModally(composer);
}

void QuickReplyWindow::closeAfter(double seconds)
{
    // The timer holds the controller, as a timer holds its target.
    foundation::Timer::once(seconds, [controller = delegate()](foundation::Timer&) { send(controller, "dismissBanner"); });
}

void QuickReplyWindow::messageComposerDidFinish(const Id& composer, int64_t)
{
    logDevelopment("messageComposeViewController delegate");
    removeComposerView(composer);
    closeAfter(MessageComposerCloseDelay);
}

void QuickReplyWindow::mailComposerDidFinish(const Id& composer, int64_t result, const Id&)
{
    logDevelopment("mailComposeController delegate");
    removeComposerView(composer);
    bool hiddenReply = m_mailIsHidden && composer && composer == m_mfvcemail;
    m_mfvcemail = nullptr;
    m_mailIsHidden = false;
    if (hiddenReply && result != MailComposeResultSent) {
        KelvaneLogger::log(fmt::format("Reply mail not sent: the composer answered {}", result), KelvaneLogger::Critical);
        showSendFailure(MailNotSentText);
        return;
    }
    closeAfter(MailComposerCloseDelay);
}

void QuickReplyWindow::mailComposerBodyFinishedLoading(const Id& composer, bool, const Id&)
{
    logDevelopment("bodyFinishedLoading");
    // Only the reply composer parked in the panel sends itself; the one shown
    // to the user waits for the user.
    if (!m_mailIsHidden || !composer || composer != m_mfvcemail)
        return;
    if (!pressComposerSend(composer))
        abandonHiddenMail("the mail composer has no Send action");
}

void QuickReplyWindow::abandonHiddenMail(const std::string& why)
{
    KelvaneLogger::log(fmt::format("Reply mail not sent: {}", why), KelvaneLogger::Critical);
    if (auto screen = runtime::cast<UIViewController>(m_mfvcemail)) {
        // Later callbacks from it are no longer the reply's.
        send(screen, "setMailComposeDelegate:", runtime::nil);
        if (auto parked = screen->viewIfLoaded())
            parked->removeFromSuperview();
    }
    m_mfvcemail = nullptr;
    m_mailIsHidden = false;
    showSendFailure(MailNotSentText);
}

void QuickReplyWindow::showSendFailure(const std::string& text)
{
    auto root = viewIfLoaded();
    if (!root)
        return;
    m_failure.show(*root, m_contatore ? m_contatore->frame() : counterFrame(), text);
}

} // namespace common
