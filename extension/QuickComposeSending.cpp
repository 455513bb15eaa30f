// QuickComposeViewController's message: the SMS / iMessage toggle, the
// counter that also decides whether Send is possible, the picture offered
// through the edit menu, and the send to a typed-in address, a chosen
// recipient or every member of a chosen group.
#include "QuickComposeViewController.h"

#include "RDLDoesAll.h"
#include "SenderCall.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/Strings.h>
#include <uikit/UIImagePickerController.h>
#include <uikit/UIMenuController.h>

#include <fmt/format.h>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using namespace uikit;

namespace {

    void logCompose(const std::string& line) { KelvaneLogger::log(line, KelvaneLogger::Development); }

} // namespace

void QuickComposeViewController::changeTypeOfMessageSent()
{
    logCompose("premuto il bottone del tipo messaggio");
    std::string icon;
    if (m_lastMessageType == MessageType::IMessage) {
        m_lastMessageType = MessageType::SMS;
        if (m_typeOfmessageButton)
            m_typeOfmessageButton->setTitle("SMS", UIControlStateNormal);
        icon = kelvane::PLVImage::SendSMS;
    } else if (m_lastMessageType == MessageType::SMS) {
        m_lastMessageType = MessageType::IMessage;
        if (m_typeOfmessageButton)
            m_typeOfmessageButton->setTitle("iM", UIControlStateNormal);
        icon = kelvane::PLVImage::SendIMessage;
    }
    if (m_sendButton)
        setSendIcon(icon);
    // A picture only travels by iMessage: say so while the type cannot carry it.
    if (m_hasAttachment && m_lastMessageType == MessageType::SMS)
        showNotice(PictureNeedsIMessageText);
    else
        hideNotice();
}

bool QuickComposeViewController::textViewShouldChangeText(const Id& textView, const NSRange& range, const std::string& replacement)
{
    auto field = runtime::cast<UITextView>(textView);
    std::string current = field && !(field.get() == m_replyField.get() && m_showsPlaceholder) ? field->text() : messageText();
    int64_t length = static_cast<int64_t>(foundation::utf16Length(current)) - range.length + static_cast<int64_t>(foundation::utf16Length(replacement));
    if (length < 0)
        length = 0;
    if (m_contatore)
        m_contatore->setText(fmt::format("{}/160", length));
    m_canSend = length >= 1;
    if (m_sendButton)
        m_sendButton->setEnabled(m_canSend);
    if (!(m_hasAttachment && m_lastMessageType == MessageType::SMS))
        hideNotice();
    return true;
}

void QuickComposeViewController::removeAnyAttachment()
{
    m_hasAttachment = false;
    UIMenuController::sharedMenuController()->setMenuItems({ UIMenuItem::withTitle("Attach picture", "presentImageChoice") });
    if (m_attachmentButton)
        m_attachmentButton->removeFromSuperview();
    hideNotice();
}

void QuickComposeViewController::presentImageChoice()
{
    auto picker = runtime::make<UIImagePickerController>();
    picker->setSourceType(UIImagePickerControllerSourceTypePhotoLibrary);
    picker->setDelegate(self());
    presentModalViewController(picker, true);
}

void QuickComposeViewController::imagePickerDidFinish(const Id& picker, const Id& image)
{
    if (auto screen = runtime::cast<UIViewController>(picker))
        screen->dismissModalViewControllerAnimated(true);
    else
        dismissModalViewControllerAnimated(true);
    auto picture = runtime::cast<UIImage>(image);
    if (!picture) {
        KelvaneLogger::log("Picked picture cannot be read", KelvaneLogger::Critical);
        runtime::send(self(), "deviceRotated:", frontMostOrientation());
        return;
    }
    m_hasAttachment = true;
    if (m_bgView && m_attachmentButton)
        m_bgView->addSubview(m_attachmentButton);
    runtime::send(self(), "deviceRotated:", frontMostOrientation());
    m_attachment = picture;
    UIMenuController::sharedMenuController()->setMenuItems({ UIMenuItem::withTitle("Remove attachment", "removeAnyAttachment") });
    if (m_lastMessageType == MessageType::SMS)
        showNotice(PictureNeedsIMessageText);
}

void QuickComposeViewController::imagePickerDidCancel(const Id& picker)
{
    if (auto screen = runtime::cast<UIViewController>(picker))
        screen->dismissModalViewControllerAnimated(true);
    else
        dismissModalViewControllerAnimated(true);
    runtime::send(self(), "deviceRotated:", frontMostOrientation());
}

std::string QuickComposeViewController::send(MessageType type, const std::string& text, const std::string& address, bool withPicture)
{
    if (type == MessageType::SMS)
        return callMessageSender("sendMessage:toNumber:", text, address);
    if (withPicture && m_hasAttachment && m_attachment)
        return callMessageSender("sendiMessage:toNumber:withImage:", text, address, Id(m_attachment));
    return callMessageSender("sendiMessage:toNumber:", text, address);
}

void QuickComposeViewController::sendMessage()
{
    if (!m_canSend)
        return;
    Id controller = delegate();
    auto* store = RDLDoesAll::preferencesManager(controller);
    auto preferences = store ? store->preferences() : nullptr;
    logCompose(fmt::format("Prefs: {}", preferences ? preferences->size() : 0));

    std::string text = messageText();
    if (m_hasAttachment && m_lastMessageType == MessageType::SMS) {
        // Sending the text alone would lose the picture without a word.
        logCompose("Picture attached to an SMS: not sent");
        showNotice(PictureNeedsIMessageText);
        return;
    }

    bool typedIn = !m_destNumber || *m_destNumber == TypedInMarker;
    bool group = m_destNumber && *m_destNumber == GroupNumber;
    std::string typedAddress = m_toField ? m_toField->text() : std::string {};
    bool sent = true;

    if (m_lastMessageType == MessageType::SMS)
        logCompose(fmt::format("Going to send SMS to {}", m_destNumber.value_or("(null)")));

    if (typedIn) {
        logCompose(m_lastMessageType == MessageType::SMS ? "Number typed in directly" : "iMsg Number typed in directly");
        sent = send(m_lastMessageType, text, typedAddress, true) == SenderSentStatus;
    } else if (group) {
        if (m_lastMessageType == MessageType::IMessage)
            logCompose("Going to send iMessage to the group's members");
        // Only the members that failed stay, so trying again does not send twice.
        foundation::PlistArray failed;
        size_t attempted = 0;
        for (const foundation::PlistValue& member : m_membri.value_or(foundation::PlistArray {})) {
            const foundation::PlistValue* contact = member.find("contact");
            const foundation::PlistValue* isNumber = member.find("isNumber");
            std::string address = contact ? contact->stringValue() : std::string {};
            // SMS reaches phone numbers only; iMessage reaches numbers and addresses.
            bool reachable = m_lastMessageType == MessageType::IMessage || (isNumber && isNumber->asBoolean().value_or(false));
            if (reachable && !address.empty()) {
                ++attempted;
                if (send(m_lastMessageType, text, address, true) != SenderSentStatus)
                    failed.push_back(member);
            }
            logCompose(address);
        }
        if (attempted == 0) {
            // Closing now would look like a send to a group nobody in which got it.
            showNotice(NoMembersText);
            return;
        }
        if (!failed.empty()) {
            sent = false;
            m_membri = std::move(failed);
        }
    } else {
        sent = send(m_lastMessageType, text, *m_destNumber, true) == SenderSentStatus;
    }

    if (!sent) {
        KelvaneLogger::log("Compose not sent", KelvaneLogger::Critical);
        showNotice(NotSentText);
        return;
    }
    if (m_lastMessageType == MessageType::SMS) {
        m_destNumber.reset();
        m_membri.reset();
    }
    if (controller && RDLDoesAll::lastMessageType(controller) != "email")
        RDLDoesAll::dismissBanner(controller);
}

} // namespace parlivo
