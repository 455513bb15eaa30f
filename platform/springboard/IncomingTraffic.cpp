#include "IncomingTraffic.h"

#include "BBBulletin.h"
#include "BulletinBoard.h"
#include "SBApplication.h"
#include "SBApplicationController.h"
#include "SpringBoardContext.h"

#include <chatkit/AddressMatching.h>
#include <chatkit/ChatKit.h>
#include <chatkit/Database.h>
#include <foundation/Strings.h>
#include <mail/MailInbox.h>
#include <mail/NewMailNotification.h>

namespace springboard {

namespace {

    std::string senderTitle(const std::string& address)
    {
        std::string name = chatkit::contactName(address);
        return name.empty() ? address : name;
    }

    void refreshApplication(std::string_view identifier)
    {
        auto application = SBApplicationController::sharedInstance()->applicationWithDisplayIdentifier(std::string(identifier));
        if (application && application->content())
            application->content()->refresh();
    }

    Delivered postMessageBulletin(const std::string& from, std::string message, int64_t rowID)
    {
        auto bulletin = runtime::make<BBBulletin>();
        bulletin->setTitle(senderTitle(from));
        bulletin->setMessage(std::move(message));
        bulletin->setSectionID(std::string(MessagesIdentifier));
        bulletin->setRecordID(std::to_string(rowID));
        bulletin->setDefaultAction(BBAction::withLaunchURL("sms:" + from, std::string(MessagesIdentifier)));
        refreshApplication(MessagesIdentifier);
        publishBulletin(bulletin);
        return Delivered { rowID, {} };
    }

    foundation::Result<void> checkSender(const std::string& from)
    {
        if (foundation::trimmed(from).empty())
            return foundation::Error("a message needs a sender");
        if (!chatkit::isPhoneNumber(from) && !chatkit::isEmailAddress(from))
            return foundation::Error("\"" + from + "\" is neither a phone number nor an e-mail address");
        return foundation::success();
    }

    foundation::Result<int64_t> stored(foundation::Result<int64_t> row)
    {
        if (!row)
            return row.error().prefixed("the Messages database could not store the message: ");
        return row;
    }

} // namespace

foundation::Result<Delivered> deliverSMS(const std::string& from, const std::string& text)
{
    TRY(checkSender(from));
    auto row = TRY(stored(chatkit::receiveSMS(from, text)));
    return postMessageBulletin(from, text, row);
}

foundation::Result<Delivered> deliverIMessage(const std::string& from, const std::string& text, std::optional<std::vector<uint8_t>> picture)
{
    TRY(checkSender(from));
    bool hasPicture = picture.has_value();
    auto row = TRY(stored(chatkit::receiveIMessage(from, text, std::move(picture))));
    // What the phone shows for a picture sent without words.
    std::string message = text.empty() && hasPicture ? "Attachment: 1 Image" : text;
    return postMessageBulletin(from, message, row);
}

foundation::Result<Delivered> deliverMail(const std::string& from, const std::string& subject, const std::string& body)
{
    auto reference = mail::receiveMail(from, subject, body);
    if (!reference)
        return foundation::Error("the mail could not be delivered (the sender must be one mail address and the body at most 16 MB)");
    auto bulletin = runtime::make<BBBulletin>();
    bulletin->setTitle(from);
    bulletin->setSubtitle(subject);
    bulletin->setMessage(subject.empty() ? mail::bodySummary(body) : subject);
    bulletin->setSectionID(std::string(MailIdentifier));
    bulletin->setDefaultAction(BBAction::withLaunchURL(*reference, std::string(MailIdentifier)));
    refreshApplication(MailIdentifier);
    publishBulletin(bulletin);
    mail::postNewMailNotification({ *reference });
    return Delivered { std::nullopt, *reference };
}

} // namespace springboard
