// QuickReplyViewController: the small panel RDL lays over the screen when the
// user taps the banner of an incoming message. Compact, it shows the message
// with "Reply" and a close cross; enlarged, it adds a reply field with a
// character counter and "Reply" becomes "Send". It slides in from above,
// follows the orientation of the application in front by rotating its own
// view (the system never rotates it), and takes its colours from the skin
// keys of the preferences.
//
// RDL reaches the window only by message (initWithMessage:, setMessage:,
// setDelegate:, setInLockScreen:, prepareView:, deviceRotated:, dismiss,
// reloadFields) and the window reaches RDL only through RDLDoesAll.h, so
// either side can be hooked or replaced. The views carry the names the
// snapshot shows ("bgView", "messageField", "sendButton", "closeButton",
// "replyField", "contatore", "attachmentButton").
//
// `message` is optional. The runtime cannot carry a nil string, so the
// missing message arrives as `init` (initWithMessage: nil), and an empty
// text, a picture-only message's, is a text like any other.
#pragma once

#include <runtime/Runtime.h>
#include <uikit/Geometry.h>
#include <uikit/UIButton.h>
#include <uikit/UIImage.h>
#include <uikit/UILabel.h>
#include <uikit/UITextView.h>
#include <uikit/UIViewController.h>

#include <cstdint>
#include <optional>
#include <string>

namespace parlivo {

class QuickReplyViewController : public uikit::UIViewController {
    PLV_CLASS(QuickReplyViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<QuickReplyViewController>&);
    ~QuickReplyViewController() override;

    static constexpr double SlideDuration = 0.3;
    static constexpr double EnlargeDuration = 0.25;
    static constexpr int32_t LockScreenBannerHeight = 22;
    static constexpr int32_t BannerHeight = 44;
    static constexpr const char* MissingMessageText = "TO BE SETTED";

    runtime::Id initWithMessage(std::optional<std::string> message);

    const std::optional<std::string>& message() const { return m_message; }
    void setMessage(std::optional<std::string> message) { m_message = std::move(message); }
    // Held weakly: RDL holds the window, and outlives it.
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    bool inLockScreen() const { return m_inLockScreen; }
    void setInLockScreen(bool value) { m_inLockScreen = value; }
    int32_t bannerHeight() const { return m_bannerHeight; }
    bool replyMode() const { return m_replyMode; }
    bool canSend() const { return m_canSend; }
    bool hasAttachment() const { return m_hasAttachment; }
    const runtime::Ref<uikit::UIImage>& attachment() const { return m_attachment; }

    const runtime::Ref<uikit::UIView>& bgView() const { return m_bgView; }
    const runtime::Ref<uikit::UITextView>& messageField() const { return m_messageField; }
    const runtime::Ref<uikit::UIButton>& sendButton() const { return m_sendButton; }
    const runtime::Ref<uikit::UIButton>& closeButton() const { return m_closeButton; }
    const runtime::Ref<uikit::UITextView>& replyField() const { return m_replyField; }
    const runtime::Ref<uikit::UILabel>& contatore() const { return m_contatore; }
    const runtime::Ref<uikit::UIButton>& attachmentButton() const { return m_attachmentButton; }

    // prepareView: builds or refreshes the compact panel and slides it in.
    // Whether an application is in front makes no difference to this window.
    void prepareView(bool applicationInFront);
    // Lays the panel out for an orientation: 1 portrait, 3 and 4 landscape;
    // any other value changes nothing.
    void deviceRotated(int64_t orientation);
    void enlargeView();
    void dismiss();
    void reloadFields();
    void dismissKeyboard();
    bool textFieldShouldReturn(const runtime::Id& textField);
    // The reply field's counter; always allows the edit.
    bool textViewShouldChangeText(const runtime::Id& textView, const uikit::NSRange& range, const std::string& replacement);
    // The main button: "Reply" in the compact panel, "Send" in the enlarged
    // one. A reply the sender did not take ("OK") keeps the panel and its
    // text and says so under the reply field ("sendFailureLabel").
    void sendMessage();

    // The picture sent with an iMessage reply, offered through the edit menu.
    void removeAnyAttachment();
    void presentImageChoice();
    void imagePickerDidFinish(const runtime::Id& picker, const runtime::Id& image);
    void imagePickerDidCancel(const runtime::Id& picker);

    // The system composers that take over when the preferences ask for them.
    void messageComposerDidFinish(const runtime::Id& composer, int64_t result);
    void mailComposerDidFinish(const runtime::Id& composer, int64_t result, const runtime::Id& error);
    // Sends the mail at once through the composer's private Send action.
    void mailComposerBodyFinishedLoading(const runtime::Id& composer, bool result, const runtime::Id& error);

    // The preview of the picture the message brought.
    void attachmentPressed();
    int64_t numberOfPreviewItems(const runtime::Id& preview);
    runtime::Id previewItemAtIndex(const runtime::Id& preview, int64_t index);
    void previewControllerDidDismiss(const runtime::Id& preview);

    static constexpr double MessageComposerCloseDelay = 0.3;
    static constexpr double MailComposerCloseDelay = 0.1;
    static constexpr const char* SupportAddress = "support@kelvane.it";
    const runtime::Ref<uikit::UILabel>& sendFailureLabel() const { return m_sendFailureLabel; }

    // `_frontMostAppOrientation` of the shared application when it is
    // SpringBoard; otherwise its status bar orientation.
    static int64_t frontMostOrientation();

private:
    void finishEnlarging(int64_t orientation);
    void applySkinToPanel();
    void applySkinToReplyField();
    void styleSendButton(int64_t state);
    void makeReplyFieldFirstResponder();
    std::string sendButtonImagePath() const;
    void presentMessageComposer();
    void presentMailComposer();
    bool presentModally(const runtime::Id& controller);
    void closeAfter(double seconds);
    void showSendFailure(const std::string& reason);
    void hideSendFailure();
    void layOutForFrontMostOrientation();

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
    bool m_inLockScreen { false };
    int32_t m_bannerHeight { BannerHeight };
    runtime::Ref<uikit::UIButton> m_attachmentButton;
    bool m_hasAttachment { false };
    runtime::Ref<uikit::UIImage> m_attachment;
    runtime::Id m_mfvcemail;
    runtime::Ref<uikit::UILabel> m_sendFailureLabel;
};

// Touches the class so that runtime::classNamed finds it.
void registerQuickReplyClasses();

} // namespace parlivo
