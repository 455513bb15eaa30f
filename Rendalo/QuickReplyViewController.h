// Rendalo's QuickReplyViewController (Rendalo's own runtime class of that
// name): the reply panel for SMS and e-mail (what it shares with Parlivo's
// window is common/QuickReplyWindow.h). Compact, it shows the message
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

#include <common/QuickReplyWindow.h>
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

class QuickReplyViewController : public common::QuickReplyWindow {
    PLV_CLASS(QuickReplyViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<QuickReplyViewController>&);
    ~QuickReplyViewController() override;

    static constexpr double SlideDuration = 0.5;
    static constexpr double RotateDuration = 0.3;
    static constexpr double EnlargeDuration = 0.25;
    // How long the hidden mail composer may take to report back before the
    // reply counts as not sent.
    static constexpr double HiddenMailTimeLimit = 30;
    static constexpr const char* CannotAnswerText = "Cannot be answered here";

    void prepareView(bool applicationInFront) override;
    void deviceRotated(int64_t orientation) override;
    void enlargeView() override;
    void mailComposerDidFinish(const runtime::Id& composer, int64_t result, const runtime::Id& error) override;
    // Parks a mail composer out of sight inside the panel.
    void tryMe(const runtime::Id& composer);

    static double applicationWidth();

private:
    // Only "sms" takes the message composer.
    bool repliesAsSMS(const std::string& kind) const override;
    // An SMS through KelvaneMessageSender, an e-mail through the hidden mail
    // composer; a facebook reply cannot be answered here.
    common::ReplyOutcome sendReply(const std::string& kind, const std::string& text, const std::string& address) override;
    uikit::CGRect counterFrame() const override;
    void abandonHiddenMail(const std::string& why) override;

    void applyLayout(int64_t orientation);
    void finishEnlarging(int64_t orientation);
    void sendHiddenMail(const std::string& text, const std::string& address);
    void stopHiddenMailDeadline();

    runtime::Ref<foundation::Timer> m_hiddenMailDeadline;
};

// alloc + initWithMessage: on Rendalo's own class, whatever the name
// "QuickReplyViewController" answers in a SpringBoard with Parlivo loaded.
runtime::Id makeQuickReplyController(const std::string& message);

} // namespace rendalo
