// Rendalo's QuickReplyViewController (Rendalo's own runtime class of that
// name): the reply panel for SMS and e-mail. Compact, it shows the message
// with "Reply" and a close button; enlarged, it adds a reply field with a
// counter and "Reply" becomes "Send". An SMS reply leaves through
// KelvaneMessageSender; an e-mail reply through a mail composer that is
// filled in and parked out of sight inside the panel, and sends itself once
// its body has loaded. The controller creates the window once and shows it
// again, with a new message, for every later reply.
//
// A reply that did not leave (an SMS status other than "OK", a mail that
// failed or did not report back in time, a kind that cannot be answered
// here) keeps the panel and its text and says so beside the counter.
//
// The views carry the names the snapshot shows ("bgView", "messageField",
// "sendButton", "closeButton", "replyField", "contatore").
#pragma once

#include "QuickReplyLayout.h"

#include <common/SendFailureNote.h>
#include <foundation/RunLoop.h>
#include <runtime/Runtime.h>
#include <uikit/UIButton.h>
#include <uikit/UILabel.h>
#include <uikit/UITextView.h>
#include <uikit/UIViewController.h>

#include <cstdint>
#include <optional>
#include <string>

namespace rendalo {

class QuickReplyViewController : public uikit::UIViewController {
    PLV_CLASS(QuickReplyViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<QuickReplyViewController>&);
    ~QuickReplyViewController() override;

    static constexpr double SlideDuration = 0.5;
    static constexpr double RotateDuration = 0.3;
    static constexpr double EnlargeDuration = 0.25;
    static constexpr double MessageComposerCloseDelay = 0.3;
    static constexpr double MailComposerCloseDelay = 0.1;
    // How long the hidden mail composer may take to report back before the
    // reply counts as not sent.
    static constexpr double HiddenMailTimeLimit = 30;
    static constexpr const char* MissingMessageText = "TO BE SETTED";
    static constexpr const char* SupportAddress = "support@kelvane.it";
    static constexpr const char* NotSentText = "Not sent, try again";
    static constexpr const char* MailNotSentText = "Mail not sent, try again";
    static constexpr const char* CannotAnswerText = "Cannot be answered here";

    runtime::Id initWithMessage(const std::string& message);

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
    void prepareView(bool applicationInFront);
    void deviceRotated(int64_t orientation);
    void enlargeView();
    void dismiss();
    void reloadFields();
    void dismissKeyboard();
    bool textFieldShouldReturn(const runtime::Id& textField);
    bool textViewShouldChangeText(const runtime::Id& textView, const uikit::NSRange& range, const std::string& replacement);
    void sendMessage();
    // Parks a mail composer out of sight inside the panel.
    void tryMe(const runtime::Id& composer);

    void messageComposerDidFinish(const runtime::Id& composer, int64_t result);
    void mailComposerDidFinish(const runtime::Id& composer, int64_t result, const runtime::Id& error);
    // Sends the hidden reply composer's mail at once; any other composer is
    // the user's to send.
    void mailComposerBodyFinishedLoading(const runtime::Id& composer, bool result, const runtime::Id& error);

    static int64_t frontMostOrientation();
    static double applicationWidth();

private:
    void applyLayout(int64_t orientation);
    void finishEnlarging(int64_t orientation);
    void makeReplyFieldFirstResponder();
    void presentMessageComposer();
    void presentMailComposer();
    void sendHiddenMail(const std::string& text, const std::string& address);
    void abandonHiddenMail(const std::string& why);
    void closeAfter(double seconds);
    void showSendFailure(const std::string& text);

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
    runtime::Ref<foundation::Timer> m_hiddenMailDeadline;
    common::SendFailureNote m_failure;
};

// alloc + initWithMessage: on Rendalo's own class, whatever the name
// "QuickReplyViewController" answers in a SpringBoard with Parlivo loaded.
runtime::Id makeQuickReplyController(const std::string& message);

} // namespace rendalo
