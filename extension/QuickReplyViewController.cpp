#include "QuickReplyViewController.h"

#include "QuickReplyLayout.h"
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

    void setSizeIfPresent(const Ref<UIView>& view, const CGSize& size)
    {
        if (view)
            view->setFrame(CGRect { view->frame().origin, size });
    }

    quickreply::PanelMode modeOf(bool replyMode)
    {
        return replyMode ? quickreply::PanelMode::Enlarged : quickreply::PanelMode::Compact;
    }

} // namespace

void QuickReplyViewController::registerMethods(runtime::ClassBuilder<QuickReplyViewController>& b)
{
    b.method("initWithMessage:", [](QuickReplyViewController& self, const std::string& text) { return self.initWithMessage(text); });
    b.method("init", [](QuickReplyViewController& self) { return self.initWithMessage(std::nullopt); });
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

Id QuickReplyViewController::initWithMessage(std::optional<std::string> message)
{
    Id self = initWithNibName(std::string {}, runtime::nil);
    if (!self)
        return self;
    m_message = message ? std::move(*message) : std::string(MissingMessageText);
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
    // Built in the compact portrait panel; the first layout after the slide
    // moves everything where the orientation wants it.
    auto compact = quickreply::portraitLayout(quickreply::PanelMode::Compact, m_bannerHeight);
    root->setFrame(CGRectMake(0, m_bannerHeight, 0, 0));
    root->layer()->setCornerRadius(8);
    root->setBackgroundColor(UIColor::clearColor());
    hideSendFailure();

    if (!m_bgView) {
        // Starts above the view's top edge; the layout slides it down.
        m_bgView = makeView<UIView>(CGRectOffset(compact.bgView, 0, -compact.bgView.size.height));
        m_bgView->setName("bgView");
    }
    applySkinToPanel();
    m_bgView->layer()->setCornerRadius(8);
    root->addSubview(m_bgView);

    if (!m_messageField) {
        m_messageField = makeView<UITextView>(compact.messageField);
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
    m_sendButton->setFrame(compact.sendButton);
    m_attachmentButton->setFrame(compact.attachmentButton);

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
    animateWithDuration(
        SlideDuration, [root, slideTo = compact.view.origin] { root->setFrame(CGRect { slideTo, CGSizeZero }); },
        [weakSelf, closeFrame = compact.closeButton](bool) {
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
            window->m_closeButton->setFrame(closeFrame);
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
        auto layout = quickreply::panelLayout(orientation, modeOf(m_replyMode), m_bannerHeight);
        if (!layout)
            return;
        auto root = view();
        root->setTransform(layout->rotation);
        root->setFrame(layout->view);
        if (m_replyMode)
            makeReplyFieldFirstResponder();
        setFrameIfPresent(m_bgView, layout->bgView);
        setFrameIfPresent(m_closeButton, layout->closeButton);
        setFrameIfPresent(m_messageField, layout->messageField);
        if (layout->replyField)
            setFrameIfPresent(m_replyField, *layout->replyField);
        if (layout->contatore)
            setFrameIfPresent(m_contatore, *layout->contatore);
        setFrameIfPresent(m_sendButton, layout->sendButton);
        setFrameIfPresent(m_attachmentButton, layout->attachmentButton);
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
    auto layout = quickreply::panelLayout(orientation, quickreply::PanelMode::Enlarged, m_bannerHeight);
    // Growing moves only what makes room for the reply: in portrait the
    // panel grows downwards where it stands and the buttons go below the
    // reply; in landscape the message gives up height and the buttons stay
    // until the next layout.
    animateWithDuration(
        EnlargeDuration, [this, root, orientation, layout] {
            if (!layout)
                return;
            if (orientation == UIInterfaceOrientationPortrait) {
                setSizeIfPresent(root, layout->view.size);
                setSizeIfPresent(m_bgView, layout->bgView.size);
                setFrameIfPresent(m_sendButton, layout->sendButton);
                setFrameIfPresent(m_attachmentButton, layout->attachmentButton);
            } else {
                setSizeIfPresent(m_messageField, layout->messageField.size);
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
    // Made in their portrait place, where they stay for an orientation the
    // panel does not follow.
    auto portrait = quickreply::portraitLayout(quickreply::PanelMode::Enlarged, m_bannerHeight);
    if (!m_replyField) {
        m_replyField = makeView<UITextView>(*portrait.replyField);
        m_replyField->setName("replyField");
    }
    if (!m_contatore) {
        m_contatore = makeView<UILabel>(*portrait.contatore);
        m_contatore->setName("contatore");
    }
    if (auto layout = quickreply::panelLayout(orientation, quickreply::PanelMode::Enlarged, m_bannerHeight)) {
        m_replyField->setFrame(*layout->replyField);
        m_contatore->setFrame(*layout->contatore);
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
    KelvaneLogger::log("QuickReply dismissBanner", KelvaneLogger::Development);
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
