#include "MFMessageComposeViewController.h"

#include "DelegateMessage.h"

#include <foundation/RunLoop.h>
#include <foundation/Strings.h>

namespace messageui {

using runtime::Id;
using runtime::Ref;

namespace {

    Id smsService()
    {
        runtime::Class* service = runtime::classNamed("CKSMSService");
        return service ? runtime::send<Id>(service, "sharedSMSService") : runtime::nil;
    }

} // namespace

std::vector<std::string> splitRecipientLine(std::string_view line)
{
    std::vector<std::string> recipients;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find_first_of(",;", start);
        if (end == std::string_view::npos)
            end = line.size();
        if (auto recipient = foundation::trimmed(line.substr(start, end - start)); !recipient.empty())
            recipients.emplace_back(recipient);
        start = end + 1;
    }
    return recipients;
}

void MFMessageComposeViewController::registerMethods(runtime::ClassBuilder<MFMessageComposeViewController>& b)
{
    b.classMethod("canSendText", [](runtime::Class&) -> bool { return canSendText(); });
    b.method("initWithNibName:bundle:", [](MFMessageComposeViewController& self, const std::string&, const Id&) -> Id {
        self.ensureContent();
        return self.self();
    });
    b.method("recipients", [](MFMessageComposeViewController& self) -> std::vector<std::string> { return self.recipients(); });
    b.method<&MFMessageComposeViewController::setRecipients>("setRecipients:");
    b.method("body", [](MFMessageComposeViewController& self) -> std::string { return self.body(); });
    b.method<&MFMessageComposeViewController::setBody>("setBody:");
    b.method<&MFMessageComposeViewController::messageComposeDelegate>("messageComposeDelegate");
    b.method<&MFMessageComposeViewController::setMessageComposeDelegate>("setMessageComposeDelegate:");
}

Ref<MFMessageComposeViewController> MFMessageComposeViewController::create()
{
    auto composer = runtime::make<MFMessageComposeViewController>();
    composer->ensureContent();
    return composer;
}

bool MFMessageComposeViewController::canSendText() { return smsService() != nullptr; }

void MFMessageComposeViewController::ensureContent()
{
    if (m_content)
        return;
    m_content = runtime::make<MFMessageComposeController>();
    m_content->setComposer(selfAs<MFMessageComposeViewController>());
    setViewControllers({ m_content });
}

void MFMessageComposeViewController::loadView()
{
    ensureContent();
    UINavigationController::loadView();
}

void MFMessageComposeViewController::setRecipients(std::vector<std::string> recipients)
{
    m_recipients = std::move(recipients);
    if (m_content)
        m_content->refresh();
}

void MFMessageComposeViewController::setBody(std::string body)
{
    m_body = std::move(body);
    if (m_content)
        m_content->refresh();
}

void MFMessageComposeViewController::recipientsEdited(const std::string& line) { m_recipients = splitRecipientLine(line); }

void MFMessageComposeViewController::bodyEdited(std::string body) { m_body = std::move(body); }

bool MFMessageComposeViewController::canSend() const
{
    if (m_body.empty())
        return false;
    for (const auto& recipient : m_recipients) {
        if (!foundation::trimmed(recipient).empty())
            return true;
    }
    return false;
}

void MFMessageComposeViewController::send()
{
    if (m_finished || !canSend())
        return;
    finish(sendThroughSMSService());
}

void MFMessageComposeViewController::cancel()
{
    if (m_finished)
        return;
    finish(MessageComposeResultCancelled);
}

MessageComposeResult MFMessageComposeViewController::sendThroughSMSService()
{
    Id service = smsService();
    if (!service)
        return MessageComposeResultFailed;
    std::vector<Id> entities;
    for (const auto& recipient : m_recipients) {
        auto address = std::string(foundation::trimmed(recipient));
        if (address.empty())
            continue;
        if (Id entity = runtime::send<Id>(service, "copyEntityForAddressString:", address))
            entities.push_back(entity);
    }
    if (entities.empty())
        return MessageComposeResultFailed;
    Id list = runtime::send<Id>(service, "conversationList");
    Id conversation = runtime::send<Id>(list, "conversationForRecipients:create:service:", entities, true, service);
    Id message = runtime::send<Id>(service, "_newSMSMessageWithText:forConversation:", m_body, conversation);
    if (!message)
        return MessageComposeResultFailed;
    runtime::send(service, "sendMessage:", message);
    // The service keeps a message it could not store without a row.
    return runtime::send<int64_t>(message, "rowID") > 0 ? MessageComposeResultSent : MessageComposeResultFailed;
}

void MFMessageComposeViewController::finish(MessageComposeResult result)
{
    m_finished = true;
    if (m_content)
        m_content->refresh();
    std::weak_ptr<MFMessageComposeViewController> weakSelf = selfAs<MFMessageComposeViewController>();
    foundation::RunLoop::main().performOnMain([weakSelf, result] {
        auto composer = weakSelf.lock();
        if (!composer)
            return;
        if (!tellDelegate(composer->messageComposeDelegate(), "messageComposeViewController:didFinishWithResult:", Id(composer), int64_t(result)))
            composer->dismissModalViewControllerAnimated(true);
    });
}

} // namespace messageui
