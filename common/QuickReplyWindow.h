// What both libraries' QuickReplyViewController do alike: the panel's views
// and flags, the counter, the keyboard, dismissal, the main button's choice
// between typing in the panel and the system composers, the composers'
// callbacks, and the note shown when a reply did not leave. Each library
// derives its own runtime class "QuickReplyViewController" from it and
// registers the shared selectors with registerQuickReplyWindowMethods; what
// differs is the derived class's:
//
//   prepareView, deviceRotated, enlargeView   its own layout table, images
//                                             and slide
//   repliesAsSMS(kind)                        which kinds the message composer
//                                             answers in the compact panel
//   sendReply(kind, text, address)            how the typed reply leaves
//   takeDownExtras()                          views only it has, at dismissal
//   counterFrame()                            where the counter would sit
//   abandonHiddenMail(why)                    more to let go of with a hidden
//                                             reply composer that failed
//
// A mail composer only sends itself when the window filled it in and parked
// it out of sight (`m_mailIsHidden`); one shown to the user is the user's.
#pragma once

#include "SendFailureNote.h"

#include <runtime/Runtime.h>
#include <uikit/Geometry.h>
#include <uikit/UIButton.h>
#include <uikit/UILabel.h>
#include <uikit/UITextView.h>
#include <uikit/UIViewController.h>

#include <cstdint>
#include <optional>
#include <string>

namespace common {

// What became of a typed reply.
enum class ReplyOutcome {
    // Left, or nothing was to be sent: the window may close.
    Done,
    // Did not leave: the text stays and the user has been told.
    NotSent,
};

class QuickReplyWindow : public uikit::UIViewController {
public:
    static constexpr double MessageComposerCloseDelay = 0.3;
    static constexpr double MailComposerCloseDelay = 0.1;
    static constexpr const char* MissingMessageText = "TO BE SETTED";
    static constexpr const char* SupportAddress = "support@kelvane.it";
    static constexpr const char* NotSentText = "Not sent, try again";
    static constexpr const char* MailNotSentText = "Mail not sent, try again";

    // nil reads as "TO BE SETTED".
    runtime::Id initWithMessage(std::optional<std::string> message);

    const std::optional<std::string>& message() const { return m_message; }
    void setMessage(std::optional<std::string> message) { m_message = std::move(message); }
    // Held weakly: RDL holds the window, and outlives it.
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    bool replyMode() const { return m_replyMode; }
    bool canSend() const { return m_canSend; }

    const runtime::Ref<uikit::UIView>& bgView() const { return m_bgView; }
    const runtime::Ref<uikit::UITextView>& messageField() const { return m_messageField; }
    const runtime::Ref<uikit::UIButton>& sendButton() const { return m_sendButton; }
    const runtime::Ref<uikit::UIButton>& closeButton() const { return m_closeButton; }
    const runtime::Ref<uikit::UITextView>& replyField() const { return m_replyField; }
    const runtime::Ref<uikit::UILabel>& contatore() const { return m_contatore; }
    const runtime::Id& mfvcemail() const { return m_mfvcemail; }
    const runtime::Ref<uikit::UILabel>& sendFailureLabel() const { return m_failure.label(); }

    // prepareView: builds or refreshes the compact panel and slides it in.
    // Whether an application is in front makes no difference to the window.
    virtual void prepareView(bool applicationInFront) = 0;
    // Lays the panel out for an orientation: 1 portrait, 3 and 4 landscape;
    // any other value changes nothing.
    virtual void deviceRotated(int64_t orientation) = 0;
    virtual void enlargeView() = 0;
    void dismiss();
    void reloadFields();
    void dismissKeyboard();
    bool textFieldShouldReturn(const runtime::Id& textField);
    // The reply field's counter against 160; always allows the edit.
    bool textViewShouldChangeText(const runtime::Id& textView, const uikit::NSRange& range, const std::string& replacement);
    // The main button: "Reply" in the compact panel, "Send" in the enlarged
    // one. A reply that did not leave keeps the panel and its text and says
    // so beside the counter; an e-mail reply closes when its composer reports.
    void sendMessage();

    void messageComposerDidFinish(const runtime::Id& composer, int64_t result);
    virtual void mailComposerDidFinish(const runtime::Id& composer, int64_t result, const runtime::Id& error);
    // Sends the hidden reply composer's mail at once; any other composer is
    // the user's to send.
    void mailComposerBodyFinishedLoading(const runtime::Id& composer, bool result, const runtime::Id& error);

    // `_frontMostAppOrientation` of the shared application when it is
    // SpringBoard; otherwise its status bar orientation.
    static int64_t frontMostOrientation();

protected:
    virtual bool repliesAsSMS(const std::string& kind) const = 0;
    virtual ReplyOutcome sendReply(const std::string& kind, const std::string& text, const std::string& address) = 0;
    virtual void takeDownExtras() { }
    // Where the counter sits in the enlarged portrait panel, for a note shown
    // before the counter exists.
    virtual uikit::CGRect counterFrame() const = 0;
    // The hidden reply composer did not send (`why` is logged): it is let
    // go, and the window keeps the reply and tells the user.
    virtual void abandonHiddenMail(const std::string& why);

    // The compact panel's main button: "Reply" over `backgroundImage`, white
    // bold title, sending on touch.
    void styleReplyButton(const std::string& backgroundImage);
    // The enlarged panel's main button: "Send", off until there is text.
    void styleSendButton(const std::string& backgroundImage);
    // The close button, made once with its image and then placed, closing
    // through the current controller only.
    void placeCloseButton(const std::string& image, const uikit::CGRect& frame);
    // The message, read-only, inside `bgView`.
    void placeMessageField(const uikit::CGRect& frameIfNew);
    // The reply field and the counter, made on first use in their portrait
    // place, styled and added to the window's view.
    void placeReplyFieldAndCounter(const uikit::CGRect& replyFrame, const uikit::CGRect& counterFrame, const std::optional<uikit::CGRect>& replyFrameNow,
        const std::optional<uikit::CGRect>& counterFrameNow);
    void makeReplyFieldFirstResponder();
    // The SMS sender's status for a reply ("OK" when it left); a missing
    // sender or a platform exception is a failed send like any other.
    template <class... A>
    static std::string callSender(runtime::Class* sender, const char* selector, A&&... args);
    ReplyOutcome replyResult(const std::string& status);
    void showSendFailure(const std::string& text);
    void hideSendFailure() { m_failure.hide(); }
    void closeAfter(double seconds);
    bool presentModally(const runtime::Id& controller);

    std::optional<std::string> m_message;
    runtime::Ref<uikit::UITextView> m_messageField;
    runtime::Ref<uikit::UIButton> m_sendButton;
    runtime::Ref<uikit::UIButton> m_closeButton;
    runtime::Ref<uikit::UITextView> m_replyField;
    runtime::Ref<uikit::UILabel> m_contatore;
    runtime::Ref<uikit::UIView> m_bgView;
    runtime::WeakId m_delegate;
    bool m_replyMode { false };
    bool m_canSend { false };
    runtime::Id m_mfvcemail;
    // The composer in m_mfvcemail is the hidden reply one, not the user's.
    bool m_mailIsHidden { false };
    SendFailureNote m_failure;

private:
    void presentMessageComposer();
    void presentMailComposer();
    static void logSenderException(const std::exception&);
};

template <class... A>
std::string QuickReplyWindow::callSender(runtime::Class* sender, const char* selector, A&&... args)
{
    if (!sender)
        return "NO SENDER";
    try {
        return runtime::send<std::string>(sender, selector, std::forward<A>(args)...);
    } catch (const std::exception& exception) {
        logSenderException(exception);
        return "EXCEPTION";
    }
}

// The selectors both windows answer alike, registered on `T`'s class.
template <class T>
void registerQuickReplyWindowMethods(runtime::ClassBuilder<T>& b)
{
    using runtime::Id;
    b.method("message", [](T& self) -> std::string { return self.message().value_or(std::string {}); });
    b.method("setMessage:", [](T& self, const std::string& text) { self.setMessage(text); });
    b.method("delegate", [](T& self) -> Id { return self.delegate(); });
    b.method("setDelegate:", [](T& self, const Id& delegate) { self.setDelegate(delegate); });
    b.method("replyMode", [](T& self) -> bool { return self.replyMode(); });
    b.method("canSend", [](T& self) -> bool { return self.canSend(); });
    b.method("bgView", [](T& self) -> Id { return self.bgView(); });
    b.method("messageField", [](T& self) -> Id { return self.messageField(); });
    b.method("sendButton", [](T& self) -> Id { return self.sendButton(); });
    b.method("closeButton", [](T& self) -> Id { return self.closeButton(); });
    b.method("replyField", [](T& self) -> Id { return self.replyField(); });
    b.method("contatore", [](T& self) -> Id { return self.contatore(); });
    b.method("prepareView:", [](T& self, bool inApp) { self.prepareView(inApp); });
    b.method("deviceRotated:", [](T& self, int64_t orientation) { self.deviceRotated(orientation); });
    b.method("enlargeView", [](T& self) { self.enlargeView(); });
    b.method("dismiss", [](T& self) { self.dismiss(); });
    b.method("reloadFields", [](T& self) { self.reloadFields(); });
    b.method("dismissKeyboard", [](T& self) { self.dismissKeyboard(); });
    b.method("textFieldShouldReturn:", [](T& self, const Id& field) -> bool { return self.textFieldShouldReturn(field); });
    b.method("textView:shouldChangeTextInRange:replacementText:", [](T& self, const Id& view, const uikit::NSRange& range, const std::string& text) -> bool {
        return self.textViewShouldChangeText(view, range, text);
    });
    b.method("sendMessage", [](T& self) { self.sendMessage(); });
    b.method("messageComposeViewController:didFinishWithResult:", [](T& self, const Id& composer, int64_t result) { self.messageComposerDidFinish(composer, result); });
    b.method("mailComposeController:didFinishWithResult:error:",
        [](T& self, const Id& composer, int64_t result, const Id& error) { self.mailComposerDidFinish(composer, result, error); });
    b.method("mailComposeController:bodyFinishedLoadingWithResult:error:",
        [](T& self, const Id& composer, bool result, const Id& error) { self.mailComposerBodyFinishedLoading(composer, result, error); });
}

} // namespace common
