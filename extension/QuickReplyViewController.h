// QuickReplyViewController: the small panel RDL lays over the screen when the
// user taps the banner of an incoming message (what it shares with Rendalo's
// window is common/QuickReplyWindow.h). Compact, it shows the message
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

#include <common/QuickReplyWindow.h>
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

class QuickReplyViewController : public common::QuickReplyWindow {
    PLV_CLASS(QuickReplyViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<QuickReplyViewController>&);
    ~QuickReplyViewController() override;

    static constexpr double SlideDuration = 0.3;
    static constexpr double EnlargeDuration = 0.25;
    static constexpr int32_t LockScreenBannerHeight = 22;
    static constexpr int32_t BannerHeight = 44;

    bool inLockScreen() const { return m_inLockScreen; }
    void setInLockScreen(bool value) { m_inLockScreen = value; }
    int32_t bannerHeight() const { return m_bannerHeight; }
    bool hasAttachment() const { return m_hasAttachment; }
    const runtime::Ref<uikit::UIImage>& attachment() const { return m_attachment; }
    const runtime::Ref<uikit::UIButton>& attachmentButton() const { return m_attachmentButton; }

    void prepareView(bool applicationInFront) override;
    void deviceRotated(int64_t orientation) override;
    void enlargeView() override;

    // The picture sent with an iMessage reply, offered through the edit menu.
    void removeAnyAttachment();
    void presentImageChoice();
    void imagePickerDidFinish(const runtime::Id& picker, const runtime::Id& image);
    void imagePickerDidCancel(const runtime::Id& picker);

    // The preview of the picture the message brought.
    void attachmentPressed();
    int64_t numberOfPreviewItems(const runtime::Id& preview);
    runtime::Id previewItemAtIndex(const runtime::Id& preview, int64_t index);
    void previewControllerDidDismiss(const runtime::Id& preview);

private:
    // SMS and iMessage both take the message composer.
    bool repliesAsSMS(const std::string& kind) const override;
    // SMS and iMessage (with the picture, when one is attached) through
    // KelvaneMessageSender; any other kind sends nothing.
    common::ReplyOutcome sendReply(const std::string& kind, const std::string& text, const std::string& address) override;
    void takeDownExtras() override;
    uikit::CGRect counterFrame() const override;

    void finishEnlarging(int64_t orientation);
    void applySkinToPanel();
    void applySkinToReplyField();
    std::string sendButtonImagePath() const;
    void layOutForFrontMostOrientation();

    bool m_inLockScreen { false };
    int32_t m_bannerHeight { BannerHeight };
    runtime::Ref<uikit::UIButton> m_attachmentButton;
    bool m_hasAttachment { false };
    runtime::Ref<uikit::UIImage> m_attachment;
};

// Touches the class so that runtime::classNamed finds it.
void registerQuickReplyClasses();

} // namespace parlivo
