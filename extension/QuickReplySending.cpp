// How Parlivo's quick reply leaves (SMS and iMessage through
// KelvaneMessageSender; the main button itself and the composers are shared,
// common/QuickReplyWindow.cpp), the picture attached to an iMessage reply and
// the preview of the picture a message brought.
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
    constexpr const char* PictureUnreadableText = "Picture not readable";

    Id makeByName(const char* className)
    {
        runtime::Class* cls = runtime::classNamed(className);
        if (!cls)
            return runtime::nil;
        return runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init");
    }

} // namespace

common::ReplyOutcome QuickReplyViewController::sendReply(const std::string& kind, const std::string& text, const std::string& address)
{
    runtime::Class* sender = runtime::classNamed(SenderClassName);
    if (foundation::equalsIgnoringCase(kind, "sms")) {
        KelvaneLogger::log("Going to send SMS", KelvaneLogger::Development);
        return replyResult(callSender(sender, "sendMessage:toNumber:", text, address));
    }
    if (foundation::equalsIgnoringCase(kind, "imessage")) {
        if (m_hasAttachment)
            return replyResult(callSender(sender, "sendiMessage:toNumber:withImage:", text, address, Id(m_attachment)));
        return replyResult(callSender(sender, "sendiMessage:toNumber:", text, address));
    }
    return common::ReplyOutcome::Done;
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
    KelvaneLogger::log("CKMediaObject previewController", KelvaneLogger::Development);
    auto media = RDLDoesAll::multimediaObjects(delegate());
    if (index < 0 || static_cast<size_t>(index) >= media.size())
        return runtime::nil;
    return runtime::send<Id>(media[static_cast<size_t>(index)], "mediaObject");
}

void QuickReplyViewController::previewControllerDidDismiss(const Id&) { layOutForFrontMostOrientation(); }

} // namespace parlivo
