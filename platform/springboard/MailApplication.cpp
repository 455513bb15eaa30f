#include "MailApplication.h"

#include "InterfaceOrientation.h"
#include "SBActionView.h"
#include "SBStatusBarController.h"
#include "StockApplication.h"
#include "URLRouting.h"

#include <mail/MailInbox.h>
#include <mail/MailOutbox.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UILabel.h>

#include <algorithm>
#include <optional>

namespace springboard {

using namespace uikit;

namespace {

    constexpr double HeaderHeight = 24;
    constexpr double MailRowHeight = 50;

    std::string joined(const std::vector<std::string>& items)
    {
        std::string text;
        for (auto& item : items)
            text += (text.empty() ? "" : ", ") + item;
        return text;
    }

    class MailApplication final : public StockApplication {
    public:
        MailApplication()
            : StockApplication("MobileMail")
        {
            setOrientation(UIInterfaceOrientationPortrait);
        }

        void openURL(const std::string& url) override
        {
            auto route = routeURL(url);
            if (!route)
                return;
            m_openReference.reset();
            m_composeTo.reset();
            if (route->scheme == "message")
                m_openReference = route->argument;
            else if (route->scheme == "mailto")
                m_composeTo = route->argument.substr(0, route->argument.find('?'));
            refresh();
        }

        void refresh() override
        {
            double width = m_size.width;
            std::optional<mail::ReceivedMail> open;
            if (m_openReference)
                open = mail::findInboxMail(*m_openReference);
            beginScreen("mail", open ? open->subject : m_composeTo ? "New Message"
                                                                   : "Mailboxes");

            if (open || m_composeTo) {
                addBackButton("mail", "Inbox", [this] {
                    m_openReference.reset();
                    m_composeTo.reset();
                    refresh();
                });
                if (open)
                    showMail(*open);
                else
                    m_window->addSubview(makeStockLabel(CGRectMake(12, TitleHeight + 12, width - 24, 22), "mailComposeTo", "To: " + *m_composeTo,
                        UIFont::systemFontOfSize(16), UIColor::blackColor()));
                return;
            }
            showMailboxes();
        }

    private:
        void showMail(const mail::ReceivedMail& received)
        {
            double width = m_size.width;
            m_window->addSubview(makeStockLabel(CGRectMake(12, TitleHeight + 8, width - 24, 20), "mailFrom", "From: " + received.sender, UIFont::systemFontOfSize(14), UIColor::darkGrayColor()));
            m_window->addSubview(makeStockLabel(CGRectMake(12, TitleHeight + 30, width - 24, 20), "mailSubject", received.subject, UIFont::boldSystemFontOfSize(15), UIColor::blackColor()));
            auto body = makeStockLabel(CGRectMake(12, TitleHeight + 56, width - 24, m_size.height - TitleHeight - 100), "mailBody", received.body, UIFont::systemFontOfSize(14), UIColor::blackColor());
            body->setNumberOfLines(0);
            m_window->addSubview(body);
        }

        void showMailboxes()
        {
            double width = m_size.width;
            double bottom = m_size.height - SBStatusBarController::Height;
            double y = TitleHeight;

            auto header = [&](std::string name, std::string text) {
                auto view = makeStockLabel(CGRectMake(0, y, width, HeaderHeight), std::move(name), "  " + text, UIFont::boldSystemFontOfSize(13), UIColor::whiteColor());
                view->setBackgroundColor(UIColor::grayColor());
                m_window->addSubview(view);
                y += HeaderHeight;
            };
            auto row = [&](std::string name, std::string top, std::string bottomText, std::function<void()> action) {
                auto view = action ? runtime::Ref<UIView>(SBActionView::make(CGRectMake(0, y, width, MailRowHeight), name, std::move(action))) : makeView<UIView>(CGRectMake(0, y, width, MailRowHeight));
                view->setName(std::move(name));
                view->setBackgroundColor(UIColor::whiteColor());
                view->addSubview(makeStockLabel(CGRectMake(12, 4, width - 24, 20), "mailRowTitle", std::move(top), UIFont::boldSystemFontOfSize(15), UIColor::blackColor()));
                view->addSubview(makeStockLabel(CGRectMake(12, 25, width - 24, 20), "mailRowSubject", std::move(bottomText), UIFont::systemFontOfSize(14), UIColor::grayColor()));
                m_window->addSubview(view);
                y += MailRowHeight;
            };

            auto inbox = mail::listInbox();
            std::reverse(inbox.begin(), inbox.end());
            auto outbox = mail::listOutbox();
            std::reverse(outbox.begin(), outbox.end());

            header("mailInboxHeader", "Inbox (" + std::to_string(inbox.size()) + ")");
            for (size_t i = 0; i < inbox.size() && y + MailRowHeight <= bottom - HeaderHeight; ++i) {
                std::string reference = inbox[i].reference;
                row("inbox-" + std::to_string(i), inbox[i].sender, inbox[i].subject, [this, reference] {
                    m_openReference = reference;
                    refresh();
                });
            }
            header("mailOutboxHeader", "Outbox (" + std::to_string(outbox.size()) + ")");
            for (size_t i = 0; i < outbox.size() && y + MailRowHeight <= bottom; ++i)
                row("outbox-" + std::to_string(i), "To: " + joined(outbox[i].message.to), outbox[i].message.subject, {});
        }

        std::optional<std::string> m_openReference;
        std::optional<std::string> m_composeTo;
    };

} // namespace

std::unique_ptr<ApplicationContent> makeMailApplication()
{
    return std::make_unique<MailApplication>();
}

} // namespace springboard
