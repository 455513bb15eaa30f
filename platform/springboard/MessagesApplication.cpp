#include "MessagesApplication.h"

#include "InterfaceOrientation.h"
#include "SBActionView.h"
#include "SBStatusBarController.h"
#include "StockApplication.h"
#include "URLRouting.h"

#include <chatkit/AddressMatching.h>
#include <chatkit/ChatKit.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UILabel.h>

#include <algorithm>
#include <optional>

namespace springboard {

using namespace uikit;

namespace {

    constexpr double ConversationRowHeight = 58;
    constexpr double BubbleHeight = 34;

    std::string displayNameFor(const std::string& address)
    {
        std::string name = chatkit::contactName(address);
        return name.empty() ? address : name;
    }

    class MessagesApplication final : public StockApplication {
    public:
        MessagesApplication()
            : StockApplication("MobileSMS")
        {
            setOrientation(UIInterfaceOrientationPortrait);
        }

        void openURL(const std::string& url) override
        {
            auto route = routeURL(url);
            if (!route)
                return;
            m_conversation = route->argument.empty() ? std::nullopt : std::optional(route->argument);
            refresh();
        }

        void refresh() override
        {
            beginScreen("messages", m_conversation ? displayNameFor(*m_conversation) : "Messages");

            auto messages = chatkit::listMessages();
            if (m_conversation)
                showConversation(messages);
            else
                showList(messages);
        }

    private:
        void showList(const std::vector<chatkit::MessageSummary>& messages)
        {
            struct Conversation {
                std::string address;
                chatkit::MessageSummary last;
                int unread { 0 };
            };
            std::vector<Conversation> conversations;
            for (auto& message : messages) {
                auto found = std::find_if(conversations.begin(), conversations.end(), [&](auto& c) { return chatkit::addressesMatch(c.address, message.address); });
                if (found == conversations.end()) {
                    conversations.push_back({ message.address, message, 0 });
                    found = conversations.end() - 1;
                }
                if (message.rowID >= found->last.rowID)
                    found->last = message;
                if (!message.outgoing && !message.read)
                    ++found->unread;
            }
            std::sort(conversations.begin(), conversations.end(), [](auto& a, auto& b) { return a.last.rowID > b.last.rowID; });

            double width = m_size.width;
            double y = TitleHeight;
            double bottom = m_size.height - SBStatusBarController::Height;
            for (size_t i = 0; i < conversations.size() && y + ConversationRowHeight <= bottom; ++i, y += ConversationRowHeight) {
                auto& conversation = conversations[i];
                std::string address = conversation.address;
                auto row = SBActionView::make(CGRectMake(0, y, width, ConversationRowHeight), "conversation-" + std::to_string(i), [this, address] {
                    m_conversation = address;
                    refresh();
                });
                row->setBackgroundColor(UIColor::whiteColor());
                std::string name = displayNameFor(address);
                if (conversation.unread > 0)
                    name += " (" + std::to_string(conversation.unread) + ")";
                row->addSubview(makeStockLabel(CGRectMake(12, 6, width - 24, 22), "conversationName", name,
                    conversation.unread > 0 ? UIFont::boldSystemFontOfSize(16) : UIFont::systemFontOfSize(16), UIColor::blackColor()));
                std::string last = conversation.last.outgoing ? "You: " + conversation.last.text : conversation.last.text;
                row->addSubview(makeStockLabel(CGRectMake(12, 30, width - 24, 20), "conversationLastMessage", last, UIFont::systemFontOfSize(14), UIColor::grayColor()));
                auto separator = makeView<UIView>(CGRectMake(0, ConversationRowHeight - 1, width, 1));
                separator->setBackgroundColor(UIColor::lightGrayColor());
                separator->setUserInteractionEnabled(false);
                row->addSubview(separator);
                m_window->addSubview(row);
            }
            if (conversations.empty())
                m_window->addSubview(makeStockLabel(CGRectMake(0, TitleHeight + 40, width, 24), "messagesEmpty", "No Messages", UIFont::systemFontOfSize(16), UIColor::grayColor()));
        }

        void showConversation(const std::vector<chatkit::MessageSummary>& messages)
        {
            double width = m_size.width;
            addBackButton("messages", "Messages", [this] {
                m_conversation.reset();
                refresh();
            });

            std::vector<chatkit::MessageSummary> thread;
            for (auto& message : messages) {
                if (chatkit::addressesMatch(message.address, *m_conversation))
                    thread.push_back(message);
            }
            // The newest messages that fit, oldest of them at the top.
            double bottom = m_size.height - SBStatusBarController::Height;
            size_t fits = static_cast<size_t>(std::max(0.0, (bottom - TitleHeight - 8) / (BubbleHeight + 6)));
            size_t first = thread.size() > fits ? thread.size() - fits : 0;
            double y = TitleHeight + 8;
            for (size_t i = first; i < thread.size(); ++i, y += BubbleHeight + 6) {
                auto& message = thread[i];
                double bubbleWidth = width * 0.7;
                double x = message.outgoing ? width - bubbleWidth - 8 : 8;
                auto bubble = makeView<UIView>(CGRectMake(x, y, bubbleWidth, BubbleHeight));
                bubble->setName("message-" + std::to_string(i - first));
                bubble->setUserInteractionEnabled(false);
                bubble->setBackgroundColor(message.outgoing ? UIColor::colorWithRed(0.3, 0.55, 0.95, 1) : UIColor::colorWithWhite(0.88, 1));
                bubble->layer()->setCornerRadius(12);
                std::string text = message.text;
                if (message.kind == chatkit::MessageKind::IMessage && text.empty())
                    text = "(picture)";
                auto label = makeStockLabel(CGRectMake(10, 6, bubbleWidth - 20, BubbleHeight - 12), "messageText", text, UIFont::systemFontOfSize(14),
                    message.outgoing ? UIColor::whiteColor() : UIColor::blackColor());
                label->setTextAlignment(message.outgoing ? UITextAlignmentRight : UITextAlignmentLeft);
                bubble->addSubview(label);
                m_window->addSubview(bubble);
            }
        }

        std::optional<std::string> m_conversation;
    };

} // namespace

std::unique_ptr<ApplicationContent> makeMessagesApplication()
{
    return std::make_unique<MessagesApplication>();
}

} // namespace springboard
