#include "QuickReplyViewController.h"

#include "QuickReplyLayout.h"
#include "QuickReplySkin.h"
#include "RDLDoesAll.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <common/PackageImages.h>
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
    common::registerQuickReplyWindowMethods(b);
    b.method("initWithMessage:", [](QuickReplyViewController& self, const std::string& text) { return self.initWithMessage(text); });
    b.method("init", [](QuickReplyViewController& self) { return self.initWithMessage(std::nullopt); });
    b.method("inLockScreen", [](QuickReplyViewController& self) -> bool { return self.inLockScreen(); });
    b.method("setInLockScreen:", [](QuickReplyViewController& self, bool value) { self.setInLockScreen(value); });
    b.method("bannerHeight", [](QuickReplyViewController& self) -> int64_t { return self.bannerHeight(); });
    b.method("hasAttachment", [](QuickReplyViewController& self) -> bool { return self.hasAttachment(); });
    b.method("attachment", [](QuickReplyViewController& self) -> Id { return self.attachment(); });
    b.method("attachmentButton", [](QuickReplyViewController& self) -> Id { return self.attachmentButton(); });
    b.method<&QuickReplyViewController::removeAnyAttachment>("removeAnyAttachment");
    b.method<&QuickReplyViewController::presentImageChoice>("presentImageChoice");
    b.method("imagePickerController:didFinishPickingImage:editingInfo:",
        [](QuickReplyViewController& self, const Id& picker, const Id& image, const foundation::PlistValue&) { self.imagePickerDidFinish(picker, image); });
    b.method<&QuickReplyViewController::imagePickerDidCancel>("imagePickerControllerDidCancel:");
    b.method<&QuickReplyViewController::attachmentPressed>("attachmentPressed");
    b.method<&QuickReplyViewController::numberOfPreviewItems>("numberOfPreviewItemsInPreviewController:");
    b.method<&QuickReplyViewController::previewItemAtIndex>("previewController:previewItemAtIndex:");
    b.method<&QuickReplyViewController::previewControllerDidDismiss>("previewControllerDidDismiss:");
}

QuickReplyViewController::~QuickReplyViewController()
{
    dismiss();
}

std::string QuickReplyViewController::sendButtonImagePath() const
{
    return std::string(foundation::equalsIgnoringCase(RDLDoesAll::lastMessageType(delegate()), "sms") ? kelvane::PLVImage::SendSMS : kelvane::PLVImage::SendIMessage);
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

    placeMessageField(compact.messageField);

    styleReplyButton(sendButtonImagePath());
    if (!m_attachmentButton) {
        m_attachmentButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_attachmentButton->setName("attachmentButton");
        m_attachmentButton->setImage(common::packageImage(kelvane::PLVImage::Attachment), UIControlStateNormal);
        m_attachmentButton->setShowsTouchWhenHighlighted(true);
        m_attachmentButton->addTarget(self(), "attachmentPressed", UIControlEventTouchUpInside);
    }
    m_attachmentButton->setEnabled(RDLDoesAll::hasAttachments(delegate()));
    m_sendButton->setFrame(compact.sendButton);
    m_attachmentButton->setFrame(compact.attachmentButton);
    m_bgView->addSubview(m_sendButton);

    runtime::Weak<QuickReplyViewController> weakSelf = selfAs<QuickReplyViewController>();
    animateWithDuration(
        SlideDuration, [root, slideTo = compact.view.origin] { root->setFrame(CGRect { slideTo, CGSizeZero }); },
        [weakSelf, closeFrame = compact.closeButton](bool) {
            auto window = weakSelf.lock();
            // Taken down before the slide finished: nothing to place.
            if (!window || !window->m_bgView)
                return;
            window->placeCloseButton(std::string(kelvane::PLVImage::Close), closeFrame);
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
    styleSendButton(sendButtonImagePath());
}

void QuickReplyViewController::finishEnlarging(int64_t orientation)
{
    // Made in their portrait place, where they stay for an orientation the
    // panel does not follow.
    auto portrait = quickreply::portraitLayout(quickreply::PanelMode::Enlarged, m_bannerHeight);
    auto layout = quickreply::panelLayout(orientation, quickreply::PanelMode::Enlarged, m_bannerHeight);
    placeReplyFieldAndCounter(*portrait.replyField, *portrait.contatore, layout ? layout->replyField : std::nullopt, layout ? layout->contatore : std::nullopt);
    applySkinToReplyField();
}

void QuickReplyViewController::takeDownExtras()
{
    if (m_attachmentButton) {
        m_attachmentButton->removeFromSuperview();
        m_attachmentButton = nullptr;
    }
    m_attachment = nullptr;
}

CGRect QuickReplyViewController::counterFrame() const
{
    return *quickreply::portraitLayout(quickreply::PanelMode::Enlarged, m_bannerHeight).contatore;
}

bool QuickReplyViewController::repliesAsSMS(const std::string& kind) const
{
    return foundation::equalsIgnoringCase(kind, "sms") || foundation::equalsIgnoringCase(kind, "imessage");
}

void registerQuickReplyClasses()
{
    QuickReplyViewController::classObject();
}

} // namespace parlivo
