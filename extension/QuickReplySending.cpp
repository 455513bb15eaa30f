// QuickReplyViewController's main button and what hangs off it: the choice
// between typing in the panel and the system composers, sending through
// KelvaneMessageSender, the picture attached to an iMessage reply and the
// preview of the picture a message brought.
#include "QuickReplyViewController.h"

#include "QuickReplyLayout.h"

#include "RDLDoesAll.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/RunLoop.h>
#include <foundation/Strings.h>
#include <runtime/Exception.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UIImagePickerController.h>
#include <uikit/UIMenuController.h>

#include <fmt/format.h>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    constexpr const char* SenderClassName = "KelvaneMessageSender";
    constexpr const char* SentResult = "OK";
    constexpr const char* NotSentText = "Not sent, try again";
    constexpr const char* PictureUnreadableText = "Picture not readable";

    void logDevelopment(const char* line) { KelvaneLogger::log(line, KelvaneLogger::Development); }

    // A preference switch is on only for the one-character string "1".
    bool switchIsOn(const std::shared_ptr<foundation::PlistDictionary>& preferences, std::string_view key)
    {
        const foundation::PlistValue* value = preferences ? preferences->find(key) : nullptr;
        const std::string* text = value ? value->asString() : nullptr;
        return text && *text == "1";
    }

    Id makeByName(const char* className)
    {
        runtime::Class* cls = runtime::classNamed(className);
        if (!cls)
            return runtime::nil;
        return runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init");
    }

    // The sender's result, or why there is none. A platform exception must not
    // reach SpringBoard's run loop: it is a failed send like any other.
    template <class... A>
    std::string callSender(const char* selector, A&&... args)
    {
        runtime::Class* sender = runtime::classNamed(SenderClassName);
        if (!sender)
            return "NO SENDER";
        try {
            return runtime::send<std::string>(sender, selector, std::forward<A>(args)...);
        } catch (const std::exception& exception) {
            KelvaneLogger::log(fmt::format("Reply failed with an exception: {}", exception.what()), KelvaneLogger::Critical);
            return "EXCEPTION";
        }
    }

} // namespace

void QuickReplyViewController::sendMessage()
{
    if (!m_canSend && m_replyMode)
        return;
    Id controller = delegate();
    auto* store = RDLDoesAll::preferencesManager(controller);
    auto preferences = store ? store->preferences() : nullptr;
    KelvaneLogger::log(fmt::format("Prefs: {}", preferences ? preferences->size() : 0), KelvaneLogger::Development);
    std::string kind = RDLDoesAll::lastMessageType(controller);

    if (!m_replyMode) {
        if (foundation::equalsIgnoringCase(kind, "sms") || foundation::equalsIgnoringCase(kind, "imessage")) {
            logDevelopment("We are going to reply to an SMS");
            if (switchIsOn(preferences, kelvane::Key::BuiltinSMS)) {
                presentMessageComposer();
                return;
            }
            logDevelopment("We are going to reply to an SMS with our");
            runtime::send(self(), "enlargeView");
            return;
        }
        if (foundation::equalsIgnoringCase(kind, "email")) {
            logDevelopment("We are going to reply to an Email");
            if (switchIsOn(preferences, kelvane::Key::BuiltinEmail)) {
                presentMailComposer();
                return;
            }
            logDevelopment("We are going to reply to an Email with our");
            runtime::send(self(), "enlargeView");
            return;
        }
    }

    std::string text = m_replyField ? m_replyField->text() : std::string {};
    std::string address = RDLDoesAll::lastMessageAddress(controller);
    std::optional<std::string> result;
    if (foundation::equalsIgnoringCase(kind, "sms")) {
        logDevelopment("Going to send SMS");
        result = callSender("sendMessage:toNumber:", text, address);
    } else if (foundation::equalsIgnoringCase(kind, "imessage")) {
        if (m_hasAttachment)
            result = callSender("sendiMessage:toNumber:withImage:", text, address, Id(m_attachment));
        else
            result = callSender("sendiMessage:toNumber:", text, address);
    }
    if (result && *result != SentResult) {
        // Closing now would lose the typed text with no word to the user.
        KelvaneLogger::log(fmt::format("Reply not sent: {}", *result), KelvaneLogger::Critical);
        showSendFailure(NotSentText);
        return;
    }

    if (!controller || kind == "email")
        return;
    m_replyMode = false;
    RDLDoesAll::dismissBanner(controller);
}

bool QuickReplyViewController::presentModally(const Id& controller)
{
    auto presented = runtime::cast<UIViewController>(controller);
    if (!presented)
        return false;
    presentModalViewController(presented, true);
    return true;
}

void QuickReplyViewController::presentMessageComposer()
{
    logDevelopment("We are going to reply to an SMS using the builtin");
    Id composer = makeByName("MFMessageComposeViewController");
    if (!composer) {
        // Without the system composer the panel is the only way to answer.
        KelvaneLogger::log("No message composer, replying in the panel", KelvaneLogger::Severe);
        runtime::send(self(), "enlargeView");
        return;
    }
    logDevelopment("We are going to reply to an SMS using the builtin2");
    runtime::send(composer, "setMessageComposeDelegate:", self());
    runtime::send(composer, "setRecipients:", std::vector<std::string> { RDLDoesAll::lastMessageAddress(delegate()) });
    logDevelopment("We are going to reply to an SMS using the builtin3");
    RDLDoesAll::dismissBannerOnly(delegate());
    logDevelopment("We are going to reply to an SMS using the builtin4");
    presentModally(composer);
}

void QuickReplyViewController::presentMailComposer()
{
    logDevelopment("We are going to reply to an Email with builtin");
    Id composer = makeByName("MFMailComposeViewController");
    if (!composer) {
        KelvaneLogger::log("No mail composer, replying in the panel", KelvaneLogger::Severe);
        runtime::send(self(), "enlargeView");
        return;
    }
    m_mfvcemail = composer;
    logDevelopment("We are going to reply to an Email with builtin2");
    runtime::send(composer, "setMailComposeDelegate:", self());
    logDevelopment("We are going to reply to an Email with builtin3");
    runtime::send(composer, "setToRecipients:", std::vector<std::string> { SupportAddress });
    logDevelopment("We are going to reply to an Email with builtin4");
    RDLDoesAll::dismissBannerOnly(delegate());
    logDevelopment("We are going to reply to an Email with builtin5");
    presentModally(composer);
}

void QuickReplyViewController::closeAfter(double seconds)
{
    // The timer holds the controller, as a timer holds its target.
    foundation::Timer::once(seconds, [controller = delegate()](foundation::Timer&) { RDLDoesAll::dismissBanner(controller); });
}

void QuickReplyViewController::messageComposerDidFinish(const Id& composer, int64_t)
{
    logDevelopment("messageComposeViewController delegate");
    if (auto screen = runtime::cast<UIViewController>(composer))
        if (auto view = screen->viewIfLoaded())
            view->removeFromSuperview();
    closeAfter(MessageComposerCloseDelay);
}

void QuickReplyViewController::mailComposerDidFinish(const Id& composer, int64_t, const Id&)
{
    logDevelopment("mailComposeController delegate");
    if (auto screen = runtime::cast<UIViewController>(composer))
        if (auto view = screen->viewIfLoaded())
            view->removeFromSuperview();
    m_mfvcemail = nullptr;
    closeAfter(MailComposerCloseDelay);
}

void QuickReplyViewController::mailComposerBodyFinishedLoading(const Id& composer, bool, const Id&)
{
    try {
        logDevelopment("bodyFinishedLoading");
        if (!composer)
            return;
        KelvaneLogger::log(composer->runtimeClassName(), KelvaneLogger::Development);
        Id root = runtime::send<Id>(composer, "_rootViewController");
        if (!root)
            return;
        KelvaneLogger::log(root->runtimeClassName(), KelvaneLogger::Development);
        const runtime::Ivar* variable = root->isa()->ivarNamed("_sendButtonItem");
        if (!variable)
            return;
        Id item = variable->objectValue ? variable->objectValue(root.get()) : runtime::nil;
        if (!item)
            return;
        KelvaneLogger::log(item->runtimeClassName(), KelvaneLogger::Development);
        runtime::send(root, "send:", item);
    } catch (const runtime::ObjCException& exception) {
        KelvaneLogger::log(exception.description(), KelvaneLogger::Critical);
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Critical);
    }
}

void QuickReplyViewController::removeAnyAttachment()
{
    m_hasAttachment = false;
    UIMenuController::sharedMenuController()->setMenuItems({ UIMenuItem::withTitle("Attach picture", "presentImageChoice") });
    if (m_attachmentButton)
        m_attachmentButton->removeFromSuperview();
}

void QuickReplyViewController::presentImageChoice()
{
    auto picker = runtime::make<UIImagePickerController>();
    picker->setSourceType(UIImagePickerControllerSourceTypePhotoLibrary);
    picker->setDelegate(self());
    presentModalViewController(picker, true);
}

void QuickReplyViewController::layOutForFrontMostOrientation() { runtime::send(self(), "deviceRotated:", frontMostOrientation()); }

void QuickReplyViewController::imagePickerDidFinish(const Id& picker, const Id& image)
{
    if (auto screen = runtime::cast<UIViewController>(picker))
        screen->dismissModalViewControllerAnimated(true);
    else
        dismissModalViewControllerAnimated(true);
    auto picture = runtime::cast<UIImage>(image);
    if (!picture || !picture->bitmap()) {
        // Sending it would fail later, far from the choice; say so now and
        // keep the reply as it was.
        KelvaneLogger::log("Picked picture cannot be read", KelvaneLogger::Critical);
        layOutForFrontMostOrientation();
        showSendFailure(PictureUnreadableText);
        return;
    }
    m_hasAttachment = true;
    if (m_bgView && m_attachmentButton)
        m_bgView->addSubview(m_attachmentButton);
    layOutForFrontMostOrientation();
    m_attachment = picture;
    UIMenuController::sharedMenuController()->setMenuItems({ UIMenuItem::withTitle("Remove attachment", "removeAnyAttachment") });
}

void QuickReplyViewController::imagePickerDidCancel(const Id& picker)
{
    if (auto screen = runtime::cast<UIViewController>(picker))
        screen->dismissModalViewControllerAnimated(true);
    else
        dismissModalViewControllerAnimated(true);
    layOutForFrontMostOrientation();
}

void QuickReplyViewController::attachmentPressed()
{
    if (RDLDoesAll::multimediaObjects(delegate()).size() != 1)
        return;
    Id preview = makeByName("QLPreviewController");
    if (!preview)
        return;
    runtime::send(preview, "setDelegate:", self());
    runtime::send(preview, "setDataSource:", self());
    presentModally(preview);
}

int64_t QuickReplyViewController::numberOfPreviewItems(const Id&) { return 1; }

Id QuickReplyViewController::previewItemAtIndex(const Id&, int64_t index)
{
    logDevelopment("CKMediaObject previewController");
    auto media = RDLDoesAll::multimediaObjects(delegate());
    if (index < 0 || static_cast<size_t>(index) >= media.size())
        return runtime::nil;
    return runtime::send<Id>(media[static_cast<size_t>(index)], "mediaObject");
}

void QuickReplyViewController::previewControllerDidDismiss(const Id&) { layOutForFrontMostOrientation(); }

void QuickReplyViewController::showSendFailure(const std::string& reason)
{
    auto root = viewIfLoaded();
    if (!root)
        return;
    if (!m_sendFailureLabel) {
        m_sendFailureLabel = makeView<UILabel>(CGRectZero);
        m_sendFailureLabel->setName("sendFailureLabel");
        m_sendFailureLabel->setBackgroundColor(UIColor::clearColor());
        m_sendFailureLabel->setTextColor(UIColor::redColor());
        m_sendFailureLabel->setFont(UIFont::systemFontOfSize(12));
    }
    // Beside the counter, in either orientation.
    CGRect counter = m_contatore ? m_contatore->frame() : *quickreply::portraitLayout(quickreply::PanelMode::Enlarged, m_bannerHeight).contatore;
    m_sendFailureLabel->setFrame(CGRectMake(counter.origin.x + counter.size.width + 5, counter.origin.y, 150, counter.size.height));
    m_sendFailureLabel->setText(reason);
    root->addSubview(m_sendFailureLabel);
}

void QuickReplyViewController::hideSendFailure()
{
    if (m_sendFailureLabel)
        m_sendFailureLabel->removeFromSuperview();
}

} // namespace parlivo
