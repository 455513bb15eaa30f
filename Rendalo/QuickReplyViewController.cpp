#include "QuickReplyViewController.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/Strings.h>
#include <uikit/CALayer.h>
#include <uikit/UIApplication.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UIImage.h>
#include <uikit/UIScreen.h>
#include <uikit/ViewAnimation.h>

#include <fmt/format.h>

namespace rendalo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    void setFrameIfPresent(const Ref<UIView>& view, const CGRect& frame)
    {
        if (view)
            view->setFrame(frame);
    }

} // namespace

void QuickReplyViewController::registerMethods(runtime::ClassBuilder<QuickReplyViewController>& b)
{
    common::registerQuickReplyWindowMethods(b);
    // An empty text is read as missing, as the controller hands nil over.
    b.method("initWithMessage:", [](QuickReplyViewController& self, const std::string& text) {
        return self.initWithMessage(text.empty() ? std::nullopt : std::optional(text));
    });
    b.method<&QuickReplyViewController::tryMe>("tryMe:");
    b.method("shouldAutorotateToInterfaceOrientation:", [](QuickReplyViewController&, int64_t) -> bool { return true; });
}

Id makeQuickReplyController(const std::string& message)
{
    Id controller = runtime::send<Id>(QuickReplyViewController::classObject(), "alloc");
    return runtime::send<Id>(controller, "initWithMessage:", message);
}

QuickReplyViewController::~QuickReplyViewController()
{
    if (m_hiddenMailDeadline)
        m_hiddenMailDeadline->invalidate();
    dismiss();
}

double QuickReplyViewController::applicationWidth()
{
    auto screen = UIScreen::mainScreen();
    return screen ? screen->applicationFrame().size.width : 0;
}

void QuickReplyViewController::prepareView(bool)
{
    if (!m_message)
        return;
    auto root = view();
    double width = applicationWidth();
    m_replyMode = false;
    root->setFrame(CGRectMake((width - 320) / 2, PanelOffset, 320, 120));
    root->setTransform(CGAffineTransformIdentity);
    root->layer()->setCornerRadius(8);
    root->setBackgroundColor(UIColor::clearColor());
    hideSendFailure();

    if (!m_bgView) {
        // Starts above the view's top edge; the slide brings it down.
        m_bgView = makeView<UIView>(CGRectMake(0, -120, 320, 120));
        m_bgView->setName("bgView");
    }
    m_bgView->setBackgroundColor(UIColor::colorWithRed(0.95, 0.95, 0.95, 1.0));
    m_bgView->layer()->setCornerRadius(8);
    root->addSubview(m_bgView);

    placeMessageField(CGRectMake(15, 4, 288, 85));

    auto panel = m_bgView;
    runtime::Weak<QuickReplyViewController> weakSelf = selfAs<QuickReplyViewController>();
    animateWithDuration(
        SlideDuration, [panel] { panel->setTransform(CGAffineTransformTranslate(panel->transform(), 0, -panel->frame().size.height)); },
        [weakSelf](bool) {
            auto window = weakSelf.lock();
            // Taken down before the slide finished: nothing to place.
            if (!window || !window->m_bgView)
                return;
            auto root = window->view();
            window->placeCloseButton(std::string(kelvane::RDLImage::Close), CGRectMake(290, 0, 30, 30));
            root->addSubview(window->m_closeButton);
            window->styleReplyButton(std::string(kelvane::RDLImage::Send));
            window->m_sendButton->setFrame(CGRectMake(243, 90, 57, 29));
            root->addSubview(window->m_sendButton);
            // The buttons arrive after the layout below: place them too.
            window->applyLayout(frontMostOrientation());
        });

    runtime::send(self(), "deviceRotated:", frontMostOrientation());
    makeReplyFieldFirstResponder();
}

void QuickReplyViewController::applyLayout(int64_t orientation)
{
    auto frames = quickReplyLayout(orientation, m_replyMode ? PanelMode::Enlarged : PanelMode::Compact, applicationWidth(), m_replyField != nullptr);
    if (!frames)
        return;
    auto root = view();
    root->setTransform(frames->rotation == 0 ? CGAffineTransformIdentity : CGAffineTransformMakeRotation(frames->rotation));
    root->setFrame(frames->window);
    if (m_replyMode)
        makeReplyFieldFirstResponder();
    if (m_bgView) {
        m_bgView->setTransform(CGAffineTransformIdentity);
        m_bgView->setFrame(frames->bgView);
    }
    setFrameIfPresent(m_closeButton, frames->closeButton);
    setFrameIfPresent(m_messageField, frames->messageField);
    if (frames->replyField)
        setFrameIfPresent(m_replyField, *frames->replyField);
    if (frames->contatore)
        setFrameIfPresent(m_contatore, *frames->contatore);
    setFrameIfPresent(m_sendButton, frames->sendButton);
}

void QuickReplyViewController::deviceRotated(int64_t orientation)
{
    runtime::send(self(), "dismissKeyboard");
    runtime::Weak<QuickReplyViewController> weakSelf = selfAs<QuickReplyViewController>();
    animateWithDuration(RotateDuration, [weakSelf, orientation] {
        if (auto window = weakSelf.lock())
            window->applyLayout(orientation);
    });
}

void QuickReplyViewController::enlargeView()
{
    m_replyMode = true;
    int64_t orientation = frontMostOrientation();
    auto root = view();
    runtime::Weak<QuickReplyViewController> weakSelf = selfAs<QuickReplyViewController>();
    animateWithDuration(
        EnlargeDuration, [weakSelf, root, orientation] {
            auto window = weakSelf.lock();
            if (!window)
                return;
            if (orientation == UIInterfaceOrientationPortrait) {
                CGRect frame = root->frame();
                root->setFrame(CGRectMake(frame.origin.x, frame.origin.y, 320, 216));
                if (window->m_bgView) {
                    CGRect panel = window->m_bgView->frame();
                    window->m_bgView->setFrame(CGRectMake(panel.origin.x, panel.origin.y, 320, 216));
                }
                setFrameIfPresent(window->m_sendButton, CGRectMake(243, 186, 57, 29));
            } else if ((orientation == UIInterfaceOrientationLandscapeRight || orientation == UIInterfaceOrientationLandscapeLeft) && window->m_messageField) {
                CGRect frame = window->m_messageField->frame();
                window->m_messageField->setFrame(CGRectMake(frame.origin.x, frame.origin.y, 432, 46));
            } },
        [weakSelf, orientation](bool) {
            auto window = weakSelf.lock();
            // Dismissed, or shown again compact, before the panel finished growing.
            if (!window || !window->m_bgView || !window->m_replyMode)
                return;
            window->finishEnlarging(orientation);
        });

    styleSendButton(std::string(kelvane::RDLImage::Send));
}

void QuickReplyViewController::finishEnlarging(int64_t orientation)
{
    auto frames = quickReplyLayout(orientation, PanelMode::Enlarged, applicationWidth());
    placeReplyFieldAndCounter(CGRectMake(20, 92, 280, 91), CGRectMake(20, 186, 60, 15), frames ? frames->replyField : std::nullopt,
        frames ? frames->contatore : std::nullopt);
    m_replyField->setBackgroundColor(UIColor::whiteColor());
}

CGRect QuickReplyViewController::counterFrame() const
{
    return CGRectMake(20, 186, 60, 15);
}

} // namespace rendalo
