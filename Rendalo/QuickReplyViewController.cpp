#include "QuickReplyViewController.h"

#include <KelvaneLibrary/KelvaneLogger.h>
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

    constexpr const char* CloseImagePath = "/Library/Application Support/RDL/close-button.png";
    constexpr const char* SendImagePath = "/Library/Application Support/RDL/SendIcon.png";

    void setFrameIfPresent(const Ref<UIView>& view, const CGRect& frame)
    {
        if (view)
            view->setFrame(frame);
    }

} // namespace

void QuickReplyViewController::registerMethods(runtime::ClassBuilder<QuickReplyViewController>& b)
{
    b.method<&QuickReplyViewController::initWithMessage>("initWithMessage:");
    b.method("message", [](QuickReplyViewController& self) -> std::string { return self.message().value_or(std::string {}); });
    b.method("setMessage:", [](QuickReplyViewController& self, const std::string& text) { self.setMessage(text); });
    b.method("delegate", [](QuickReplyViewController& self) -> Id { return self.delegate(); });
    b.method("setDelegate:", [](QuickReplyViewController& self, const Id& delegate) { self.setDelegate(delegate); });
    b.method("replyMode", [](QuickReplyViewController& self) -> bool { return self.replyMode(); });
    b.method("canSend", [](QuickReplyViewController& self) -> bool { return self.canSend(); });
    b.method("bgView", [](QuickReplyViewController& self) -> Id { return self.bgView(); });
    b.method("messageField", [](QuickReplyViewController& self) -> Id { return self.messageField(); });
    b.method("sendButton", [](QuickReplyViewController& self) -> Id { return self.sendButton(); });
    b.method("closeButton", [](QuickReplyViewController& self) -> Id { return self.closeButton(); });
    b.method("replyField", [](QuickReplyViewController& self) -> Id { return self.replyField(); });
    b.method("contatore", [](QuickReplyViewController& self) -> Id { return self.contatore(); });
    b.method<&QuickReplyViewController::prepareView>("prepareView:");
    b.method<&QuickReplyViewController::deviceRotated>("deviceRotated:");
    b.method<&QuickReplyViewController::enlargeView>("enlargeView");
    b.method<&QuickReplyViewController::dismiss>("dismiss");
    b.method<&QuickReplyViewController::reloadFields>("reloadFields");
    b.method<&QuickReplyViewController::dismissKeyboard>("dismissKeyboard");
    b.method<&QuickReplyViewController::textFieldShouldReturn>("textFieldShouldReturn:");
    b.method<&QuickReplyViewController::textViewShouldChangeText>("textView:shouldChangeTextInRange:replacementText:");
    b.method<&QuickReplyViewController::sendMessage>("sendMessage");
    b.method<&QuickReplyViewController::tryMe>("tryMe:");
    b.method("shouldAutorotateToInterfaceOrientation:", [](QuickReplyViewController&, int64_t) -> bool { return true; });
    b.method<&QuickReplyViewController::messageComposerDidFinish>("messageComposeViewController:didFinishWithResult:");
    b.method<&QuickReplyViewController::mailComposerDidFinish>("mailComposeController:didFinishWithResult:error:");
    b.method<&QuickReplyViewController::mailComposerBodyFinishedLoading>("mailComposeController:bodyFinishedLoadingWithResult:error:");
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

double QuickReplyViewController::applicationWidth()
{
    auto screen = UIScreen::mainScreen();
    return screen ? screen->applicationFrame().size.width : 0;
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
    double width = applicationWidth();
    m_replyMode = false;
    root->setFrame(CGRectMake((width - 320) / 2, PanelOffset, 320, 120));
    root->setTransform(CGAffineTransformIdentity);
    root->layer()->setCornerRadius(8);
    root->setBackgroundColor(UIColor::clearColor());
    m_failure.hide();

    if (!m_bgView) {
        // Starts above the view's top edge; the slide brings it down.
        m_bgView = makeView<UIView>(CGRectMake(0, -120, 320, 120));
        m_bgView->setName("bgView");
    }
    m_bgView->setBackgroundColor(UIColor::colorWithRed(0.95, 0.95, 0.95, 1.0));
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
            if (!window->m_closeButton) {
                window->m_closeButton = UIButton::buttonWithType(UIButtonTypeCustom);
                window->m_closeButton->setName("closeButton");
                window->m_closeButton->setImage(UIImage::imageWithContentsOfFile(CloseImagePath), UIControlStateNormal);
                window->m_closeButton->setShowsTouchWhenHighlighted(true);
            }
            window->m_closeButton->setFrame(CGRectMake(290, 0, 30, 30));
            // The reused button must close through the current controller only.
            for (const Id& target : window->m_closeButton->allTargets())
                window->m_closeButton->removeTarget(target, "dismissBanner", UIControlEventTouchUpInside);
            if (Id controller = window->delegate())
                window->m_closeButton->addTarget(controller, "dismissBanner", UIControlEventTouchUpInside);
            root->addSubview(window->m_closeButton);

            if (!window->m_sendButton) {
                window->m_sendButton = UIButton::buttonWithType(UIButtonTypeCustom);
                window->m_sendButton->setName("sendButton");
            }
            auto& button = window->m_sendButton;
            button->setFrame(CGRectMake(243, 90, 57, 29));
            button->setBackgroundImage(UIImage::imageWithContentsOfFile(SendImagePath), UIControlStateNormal);
            button->setTitle("Reply", UIControlStateNormal);
            button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
            button->setFont(UIFont::fontWithName("Helvetica-Bold", 16));
            button->setEnabled(true);
            button->removeTarget(window->self(), "sendMessage", UIControlEventTouchUpInside);
            button->addTarget(window->self(), "sendMessage", UIControlEventTouchUpInside);
            button->setShowsTouchWhenHighlighted(true);
            root->addSubview(button);
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

    if (m_sendButton) {
        m_sendButton->setTitle("Send", UIControlStateNormal);
        m_canSend = false;
        m_sendButton->setEnabled(false);
        m_sendButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
        m_sendButton->setTitleColor(UIColor::colorWithRed(0.8, 0.8, 0.8, 1.0), UIControlStateDisabled);
        m_sendButton->setBackgroundImage(UIImage::imageWithContentsOfFile(SendImagePath), UIControlStateDisabled);
    }
}

void QuickReplyViewController::finishEnlarging(int64_t orientation)
{
    if (!m_replyField) {
        m_replyField = makeView<UITextView>(CGRectMake(20, 92, 280, 91));
        m_replyField->setName("replyField");
    }
    if (!m_contatore) {
        m_contatore = makeView<UILabel>(CGRectMake(20, 186, 60, 15));
        m_contatore->setName("contatore");
    }
    if (auto frames = quickReplyLayout(orientation, PanelMode::Enlarged, applicationWidth())) {
        m_replyField->setFrame(*frames->replyField);
        m_contatore->setFrame(*frames->contatore);
    }
    auto root = view();
    m_replyField->setBackgroundColor(UIColor::whiteColor());
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

void QuickReplyViewController::dismiss()
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
        m_failure.hide();
        // A stale count must not show on the next panel; the label is kept.
        if (m_contatore)
            m_contatore->removeFromSuperview();
        if (auto root = viewIfLoaded())
            root->removeFromSuperview();
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Critical);
    }
}

void QuickReplyViewController::reloadFields()
{
    KelvaneLogger::log("QRVC reloadFields", KelvaneLogger::Development);
    if (!m_messageField)
        return;
    if (!m_message) {
        KelvaneLogger::log("NIL MESSAGE IN QRVC", KelvaneLogger::Development);
        return;
    }
    m_messageField->setText(*m_message);
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
    m_failure.hide();
    if (m_sendButton)
        m_sendButton->setEnabled(m_canSend);
    return true;
}

void QuickReplyViewController::showSendFailure(const std::string& text)
{
    auto root = viewIfLoaded();
    if (!root)
        return;
    CGRect counter = m_contatore ? m_contatore->frame() : CGRectMake(20, 186, 60, 15);
    m_failure.show(*root, counter, text);
}

} // namespace rendalo
