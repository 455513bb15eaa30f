#include "QuickReplyViewController.h"

#include "QuickReplySkin.h"
#include "RDLDoesAll.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/RunLoop.h>
#include <foundation/Strings.h>
#include <uikit/UIApplication.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/ViewAnimation.h>

#include <fmt/format.h>

#include <cmath>
#include <numbers>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    constexpr const char* AttachmentImagePath = "/Library/Application Support/PLV/attachment.png";
    constexpr const char* SmsSendImagePath = "/Library/Application Support/PLV/SendIcon_sms.png";
    constexpr const char* IMessageSendImagePath = "/Library/Application Support/PLV/SendIcon_im.png";
    constexpr const char* CloseImagePath = "/Library/Application Support/PLV/close.png";

    constexpr double PanelWidth = 320;
    constexpr double CompactHeight = 120;
    constexpr double EnlargedHeight = 216;
    constexpr double LandscapeWidth = 480;
    constexpr double LandscapeHeight = 112;

    Ref<UIColor> colourOf(const foundation::RgbaColour& colour)
    {
        return UIColor::colorWithRed(colour.red, colour.green, colour.blue, 1.0);
    }

    const foundation::PlistDictionary* preferencesOf(const Id& delegate, std::shared_ptr<foundation::PlistDictionary>& keepAlive)
    {
        auto* manager = RDLDoesAll::preferencesManager(delegate);
        keepAlive = manager ? manager->preferences() : nullptr;
        return keepAlive.get();
    }

    void setFrameIfPresent(const Ref<UIView>& view, const CGRect& frame)
    {
        if (view)
            view->setFrame(frame);
    }

    // The text's bottom edge plus a 3-point gap, in whole points.
    double rowBelow(const CGRect& frame)
    {
        return std::trunc(frame.origin.y + frame.size.height + 3);
    }

} // namespace

void QuickReplyViewController::registerMethods(runtime::ClassBuilder<QuickReplyViewController>& b)
{
    b.method<&QuickReplyViewController::initWithMessage>("initWithMessage:");
    b.method("message", [](QuickReplyViewController& self) -> std::string { return self.message().value_or(std::string {}); });
    b.method("setMessage:", [](QuickReplyViewController& self, const std::string& text) { self.setMessage(text); });
    b.method("delegate", [](QuickReplyViewController& self) -> Id { return self.delegate(); });
    b.method("setDelegate:", [](QuickReplyViewController& self, const Id& delegate) { self.setDelegate(delegate); });
    b.method("inLockScreen", [](QuickReplyViewController& self) -> bool { return self.inLockScreen(); });
    b.method("setInLockScreen:", [](QuickReplyViewController& self, bool value) { self.setInLockScreen(value); });
    b.method("bannerHeight", [](QuickReplyViewController& self) -> int64_t { return self.bannerHeight(); });
    b.method("replyMode", [](QuickReplyViewController& self) -> bool { return self.replyMode(); });
    b.method("canSend", [](QuickReplyViewController& self) -> bool { return self.canSend(); });
    b.method("hasAttachment", [](QuickReplyViewController& self) -> bool { return self.hasAttachment(); });
    b.method("attachment", [](QuickReplyViewController& self) -> Id { return self.attachment(); });
    b.method("bgView", [](QuickReplyViewController& self) -> Id { return self.bgView(); });
    b.method("messageField", [](QuickReplyViewController& self) -> Id { return self.messageField(); });
    b.method("sendButton", [](QuickReplyViewController& self) -> Id { return self.sendButton(); });
    b.method("closeButton", [](QuickReplyViewController& self) -> Id { return self.closeButton(); });
    b.method("replyField", [](QuickReplyViewController& self) -> Id { return self.replyField(); });
    b.method("contatore", [](QuickReplyViewController& self) -> Id { return self.contatore(); });
    b.method("attachmentButton", [](QuickReplyViewController& self) -> Id { return self.attachmentButton(); });
    b.method<&QuickReplyViewController::prepareView>("prepareView:");
    b.method<&QuickReplyViewController::deviceRotated>("deviceRotated:");
    b.method<&QuickReplyViewController::enlargeView>("enlargeView");
    b.method<&QuickReplyViewController::dismiss>("dismiss");
    b.method<&QuickReplyViewController::reloadFields>("reloadFields");
    b.method<&QuickReplyViewController::dismissKeyboard>("dismissKeyboard");
    b.method<&QuickReplyViewController::textFieldShouldReturn>("textFieldShouldReturn:");
    b.method<&QuickReplyViewController::textViewShouldChangeText>("textView:shouldChangeTextInRange:replacementText:");
    b.method<&QuickReplyViewController::sendMessage>("sendMessage");
    b.method<&QuickReplyViewController::removeAnyAttachment>("removeAnyAttachment");
    b.method<&QuickReplyViewController::presentImageChoice>("presentImageChoice");
    b.method("imagePickerController:didFinishPickingImage:editingInfo:",
        [](QuickReplyViewController& self, const Id& picker, const Id& image, const foundation::PlistValue&) { self.imagePickerDidFinish(picker, image); });
    b.method<&QuickReplyViewController::imagePickerDidCancel>("imagePickerControllerDidCancel:");
    b.method<&QuickReplyViewController::messageComposerDidFinish>("messageComposeViewController:didFinishWithResult:");
    b.method<&QuickReplyViewController::mailComposerDidFinish>("mailComposeController:didFinishWithResult:error:");
    b.method<&QuickReplyViewController::mailComposerBodyFinishedLoading>("mailComposeController:bodyFinishedLoadingWithResult:error:");
    b.method<&QuickReplyViewController::attachmentPressed>("attachmentPressed");
    b.method<&QuickReplyViewController::numberOfPreviewItems>("numberOfPreviewItemsInPreviewController:");
    b.method<&QuickReplyViewController::previewItemAtIndex>("previewController:previewItemAtIndex:");
    b.method<&QuickReplyViewController::previewControllerDidDismiss>("previewControllerDidDismiss:");
}

QuickReplyViewController::~QuickReplyViewController()
{
    dismiss();
}

Id QuickReplyViewController::initWithMessage(const std::string& message)
{
    Id self = initWithNibName(std::string {}, runtime::nil);
    if (!self)
        return self;
    m_message = message.empty() ? std::string(MissingMessageText) : message;
    return self;
}

int64_t QuickReplyViewController::frontMostOrientation()
{
    auto application = UIApplication::sharedApplication();
    if (runtime::respondsTo(application, "_frontMostAppOrientation"))
        return runtime::send<int64_t>(application, "_frontMostAppOrientation");
    return application ? application->statusBarOrientation() : UIInterfaceOrientationPortrait;
}

std::string QuickReplyViewController::sendButtonImagePath() const
{
    return foundation::equalsIgnoringCase(RDLDoesAll::lastMessageType(delegate()), "sms") ? SmsSendImagePath : IMessageSendImagePath;
}

void QuickReplyViewController::applySkinToPanel()
{
    std::shared_ptr<foundation::PlistDictionary> keepAlive;
    m_bgView->setBackgroundColor(colourOf(quickreply::panelColour(preferencesOf(delegate(), keepAlive))));
}

void QuickReplyViewController::applySkinToReplyField()
{
    std::shared_ptr<foundation::PlistDictionary> keepAlive;
    auto* preferences = preferencesOf(delegate(), keepAlive);
    m_replyField->setTextColor(colourOf(quickreply::replyTextColour(preferences)));
    m_replyField->setBackgroundColor(colourOf(quickreply::replyFieldColour(preferences)));
}

void QuickReplyViewController::makeReplyFieldFirstResponder()
{
    if (m_replyField && !m_replyField->isFirstResponder())
        m_replyField->becomeFirstResponder();
}

void QuickReplyViewController::prepareView(bool)
{
    if (!m_message)
        return;
    auto root = view();
    m_replyMode = false;
    root->setTransform(CGAffineTransformIdentity);
    m_bannerHeight = m_inLockScreen ? LockScreenBannerHeight : BannerHeight;
    root->setFrame(CGRectMake(0, m_bannerHeight, 0, 0));
    root->layer()->setCornerRadius(8);
    root->setBackgroundColor(UIColor::clearColor());
    hideSendFailure();

    if (!m_bgView) {
        // Starts above the view's top edge; the layout slides it down.
        m_bgView = makeView<UIView>(CGRectMake(0, -CompactHeight, PanelWidth, CompactHeight));
        m_bgView->setName("bgView");
    }
    applySkinToPanel();
    m_bgView->layer()->setCornerRadius(8);
    root->addSubview(m_bgView);

    if (!m_messageField) {
        m_messageField = makeView<UITextView>(CGRectMake(15, 4, 288, 85));
        m_messageField->setName("messageField");
    }
    m_messageField->setText(*m_message);
    m_messageField->setBackgroundColor(UIColor::clearColor());
    m_messageField->setFont(UIFont::systemFontOfSize(14));
    m_messageField->setEditable(false);
    m_messageField->setContentMode(UIViewContentModeTopLeft);
    m_bgView->addSubview(m_messageField);

    if (!m_sendButton) {
        m_sendButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_sendButton->setName("sendButton");
    }
    if (!m_attachmentButton) {
        m_attachmentButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_attachmentButton->setName("attachmentButton");
        m_attachmentButton->setImage(UIImage::imageWithContentsOfFile(AttachmentImagePath), UIControlStateNormal);
        m_attachmentButton->setShowsTouchWhenHighlighted(true);
        m_attachmentButton->addTarget(self(), "attachmentPressed", UIControlEventTouchUpInside);
    }
    m_attachmentButton->setEnabled(RDLDoesAll::hasAttachments(delegate()));
    m_sendButton->setFrame(CGRectMake(243, 87, 57, 32));
    m_attachmentButton->setFrame(CGRectMake(213, 87, 20, 20));

    m_sendButton->setBackgroundImage(UIImage::imageWithContentsOfFile(sendButtonImagePath()), UIControlStateNormal);
    m_sendButton->setTitle("Reply", UIControlStateNormal);
    m_sendButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    m_sendButton->setFont(UIFont::fontWithName("Helvetica-Bold", 16));
    m_sendButton->setEnabled(true);
    m_sendButton->removeTarget(self(), "sendMessage", UIControlEventTouchUpInside);
    m_sendButton->addTarget(self(), "sendMessage", UIControlEventTouchUpInside);
    m_sendButton->setShowsTouchWhenHighlighted(true);
    m_bgView->addSubview(m_sendButton);

    runtime::Weak<QuickReplyViewController> weakSelf = selfAs<QuickReplyViewController>();
    double bannerHeight = m_bannerHeight;
    animateWithDuration(
        SlideDuration, [root, bannerHeight] { root->setFrame(CGRectMake((ApplicationWidth - PanelWidth) / 2, bannerHeight, 0, 0)); },
        [weakSelf](bool) {
            auto window = weakSelf.lock();
            // Taken down before the slide finished: nothing to place.
            if (!window || !window->m_bgView)
                return;
            if (!window->m_closeButton) {
                window->m_closeButton = UIButton::buttonWithType(UIButtonTypeCustom);
                window->m_closeButton->setName("closeButton");
                window->m_closeButton->setImage(UIImage::imageWithContentsOfFile(CloseImagePath), UIControlStateNormal);
                window->m_closeButton->setShowsTouchWhenHighlighted(true);
            }
            window->m_closeButton->setFrame(CGRectMake(297, 5, 20, 20));
            // The reused button must close through the current controller only.
            for (const Id& target : window->m_closeButton->allTargets())
                window->m_closeButton->removeTarget(target, "dismissBanner", UIControlEventTouchUpInside);
            if (Id controller = window->delegate())
                window->m_closeButton->addTarget(controller, "dismissBanner", UIControlEventTouchUpInside);
            window->m_bgView->addSubview(window->m_closeButton);
            runtime::send(window->self(), "deviceRotated:", frontMostOrientation());
        });

    makeReplyFieldFirstResponder();
    if (m_closeButton)
        m_bgView->bringSubviewToFront(m_closeButton);
    runtime::send(self(), "removeAnyAttachment");
    // The paper clip previews a received picture, so it stays in the compact
    // panel while the message carries one.
    if (RDLDoesAll::hasAttachments(delegate()))
        m_bgView->addSubview(m_attachmentButton);
}

void QuickReplyViewController::deviceRotated(int64_t orientation)
{
    runtime::send(self(), "dismissKeyboard");
    animateWithDuration(SlideDuration, [this, orientation] {
        if (orientation != UIInterfaceOrientationPortrait && orientation != UIInterfaceOrientationLandscapeRight
            && orientation != UIInterfaceOrientationLandscapeLeft)
            return;
        auto root = view();
        if (orientation == UIInterfaceOrientationPortrait) {
            root->setTransform(CGAffineTransformIdentity);
            root->setFrame(CGRectMake((ApplicationWidth - PanelWidth) / 2, m_bannerHeight, PanelWidth, m_replyMode ? EnlargedHeight : CompactHeight));
        } else {
            bool right = orientation == UIInterfaceOrientationLandscapeRight;
            root->setTransform(CGAffineTransformMakeRotation(right ? std::numbers::pi / 2 : -std::numbers::pi / 2));
            root->setFrame(right ? CGRectMake(ApplicationWidth - LandscapeHeight - m_bannerHeight, 0, LandscapeHeight, LandscapeWidth)
                                 : CGRectMake(m_bannerHeight, 0, LandscapeHeight, LandscapeWidth));
        }
        if (m_replyMode)
            makeReplyFieldFirstResponder();

        if (orientation == UIInterfaceOrientationPortrait) {
            setFrameIfPresent(m_bgView, CGRectMake(0, 0, PanelWidth, m_replyMode ? EnlargedHeight : CompactHeight));
            setFrameIfPresent(m_closeButton, CGRectMake(297, 5, 20, 20));
            setFrameIfPresent(m_messageField, CGRectMake(15, 4, 288, 85));
            if (!m_replyMode) {
                setFrameIfPresent(m_sendButton, CGRectMake(243, 87, 57, 32));
                setFrameIfPresent(m_attachmentButton, CGRectMake(213, 87, 20, 20));
                return;
            }
            CGRect reply = CGRectMake(20, 92, 280, 88);
            setFrameIfPresent(m_replyField, reply);
            setFrameIfPresent(m_contatore, CGRectMake(20, 183, 60, 15));
            double y2 = rowBelow(reply);
            setFrameIfPresent(m_sendButton, CGRectMake(243, y2, 57, 32));
            setFrameIfPresent(m_attachmentButton, CGRectMake(213, y2, 20, 20));
            return;
        }
        setFrameIfPresent(m_bgView, CGRectMake(0, 0, LandscapeWidth, LandscapeHeight));
        setFrameIfPresent(m_closeButton, CGRectMake(457, 5, 20, 20));
        if (!m_replyMode) {
            setFrameIfPresent(m_messageField, CGRectMake(15, 4, 432, 74));
            setFrameIfPresent(m_sendButton, CGRectMake(403, 79, 57, 32));
            setFrameIfPresent(m_attachmentButton, CGRectMake(373, 79, 20, 20));
            return;
        }
        CGRect message = CGRectMake(15, 4, 432, 46);
        setFrameIfPresent(m_messageField, message);
        double y1 = rowBelow(message);
        CGRect reply = CGRectMake(20, y1, 440, 82 - y1);
        setFrameIfPresent(m_replyField, reply);
        setFrameIfPresent(m_contatore, CGRectMake(20, 85, 60, 15));
        double y2 = rowBelow(reply);
        setFrameIfPresent(m_sendButton, CGRectMake(403, y2, 57, 32));
        setFrameIfPresent(m_attachmentButton, CGRectMake(373, y2, 20, 20));
    });
}

void QuickReplyViewController::styleSendButton(int64_t state)
{
    m_sendButton->setBackgroundImage(UIImage::imageWithContentsOfFile(sendButtonImagePath()), state);
}

void QuickReplyViewController::enlargeView()
{
    m_replyMode = true;
    int64_t orientation = frontMostOrientation();
    auto root = view();
    animateWithDuration(
        EnlargeDuration, [this, root, orientation] {
        if (orientation == UIInterfaceOrientationPortrait) {
            CGRect frame = root->frame();
            root->setFrame(CGRectMake(frame.origin.x, frame.origin.y, PanelWidth, EnlargedHeight));
            if (m_bgView) {
                CGRect panel = m_bgView->frame();
                m_bgView->setFrame(CGRectMake(panel.origin.x, panel.origin.y, PanelWidth, EnlargedHeight));
            }
            setFrameIfPresent(m_sendButton, CGRectMake(243, 183, 57, 32));
            setFrameIfPresent(m_attachmentButton, CGRectMake(223, 189, 20, 20));
        } else if ((orientation == UIInterfaceOrientationLandscapeRight || orientation == UIInterfaceOrientationLandscapeLeft) && m_messageField) {
            CGRect frame = m_messageField->frame();
            m_messageField->setFrame(CGRectMake(frame.origin.x, frame.origin.y, 432, 46));
        } },
        [weakSelf = runtime::Weak<QuickReplyViewController>(selfAs<QuickReplyViewController>()), orientation](bool) {
            auto window = weakSelf.lock();
            // Dismissed, or shown again compact, before the panel finished growing.
            if (!window || !window->m_bgView || !window->m_replyMode)
                return;
            window->finishEnlarging(orientation);
        });

    if (m_attachmentButton)
        m_attachmentButton->removeFromSuperview();
    if (m_sendButton) {
        m_sendButton->setTitle("Send", UIControlStateNormal);
        m_canSend = false;
        m_sendButton->setEnabled(false);
        m_sendButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
        m_sendButton->setTitleColor(UIColor::colorWithRed(0.8, 0.8, 0.8, 1.0), UIControlStateDisabled);
        styleSendButton(UIControlStateDisabled);
    }
}

void QuickReplyViewController::finishEnlarging(int64_t orientation)
{
    if (!m_replyField) {
        m_replyField = makeView<UITextView>(CGRectMake(20, 92, 280, 88));
        m_replyField->setName("replyField");
    }
    if (!m_contatore) {
        m_contatore = makeView<UILabel>(CGRectMake(20, 183, 60, 15));
        m_contatore->setName("contatore");
    }
    if (orientation == UIInterfaceOrientationPortrait) {
        m_replyField->setFrame(CGRectMake(20, 92, 280, 88));
        m_contatore->setFrame(CGRectMake(20, 183, 60, 15));
    } else if (orientation == UIInterfaceOrientationLandscapeRight || orientation == UIInterfaceOrientationLandscapeLeft) {
        double y1 = m_messageField ? rowBelow(m_messageField->frame()) : 53;
        m_replyField->setFrame(CGRectMake(20, y1, 440, 82 - y1));
        m_contatore->setFrame(CGRectMake(20, 85, 60, 15));
    }
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
    applySkinToReplyField();
}

void QuickReplyViewController::dismiss()
{
    KelvaneLogger::log("QuickReply dismissBanner", 0);
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
    takeDown(m_attachmentButton);
    // The counter is kept for the next showing, but a stale count must not
    // show on the next compact panel.
    if (m_contatore)
        m_contatore->removeFromSuperview();
    m_attachment = nullptr;
    hideSendFailure();
    if (auto root = viewIfLoaded())
        root->removeFromSuperview();
}

void QuickReplyViewController::reloadFields()
{
    KelvaneLogger::log("QRVC reloadFields", 0);
    auto field = m_messageField;
    if (!field)
        return;
    if (!m_message) {
        KelvaneLogger::log("NIL MESSAGE IN QRVC", 0);
        return;
    }
    foundation::RunLoop::main().performOnMain([field, text = *m_message] { field->setText(text); }, foundation::RunLoop::WaitUntilDone::Yes);
}

void QuickReplyViewController::dismissKeyboard()
{
    if (m_replyField && m_replyField->isFirstResponder())
        m_replyField->resignFirstResponder();
}

bool QuickReplyViewController::textFieldShouldReturn(const Id&)
{
    dismissKeyboard();
    return true;
}

bool QuickReplyViewController::textViewShouldChangeText(const Id& textView, const NSRange& range, const std::string& replacement)
{
    auto field = runtime::cast<UITextView>(textView);
    const std::string& current = field ? field->text() : (m_replyField ? m_replyField->text() : std::string {});
    int64_t length = static_cast<int64_t>(foundation::utf16Length(current)) - range.length
        + static_cast<int64_t>(foundation::utf16Length(replacement));
    if (length < 0)
        length = 0;
    if (m_contatore)
        m_contatore->setText(fmt::format("{}/160", length));
    m_canSend = length >= 1;
    hideSendFailure();
    if (m_sendButton)
        m_sendButton->setEnabled(m_canSend);
    return true;
}

void registerQuickReplyClasses()
{
    QuickReplyViewController::classObject();
}

} // namespace parlivo
