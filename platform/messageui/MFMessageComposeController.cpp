#include "MFMessageComposeController.h"

#include "MFMessageComposeViewController.h"

#include <uikit/UIBarButtonItem.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UILabel.h>
#include <uikit/UINavigationItem.h>
#include <uikit/UIScreen.h>

namespace messageui {

using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    std::string joinedRecipients(const std::vector<std::string>& recipients)
    {
        std::string line;
        for (const auto& recipient : recipients) {
            if (!line.empty())
                line += ", ";
            line += recipient;
        }
        return line;
    }

} // namespace

void MFMessageComposeController::registerMethods(runtime::ClassBuilder<MFMessageComposeController>& b)
{
    b.method("send:", [](MFMessageComposeController& self, const Id&) {
        if (auto composer = self.m_composer.lock())
            composer->send();
    });
    b.method("cancel:", [](MFMessageComposeController& self, const Id&) {
        if (auto composer = self.m_composer.lock())
            composer->cancel();
    });
    b.method("recipientsChanged:", [](MFMessageComposeController& self, const Id&) {
        auto composer = self.m_composer.lock();
        if (composer && self.m_recipientsField)
            composer->recipientsEdited(self.m_recipientsField->text());
        self.updateButtons();
    });
    b.method("textViewDidChange:", [](MFMessageComposeController& self, const Id&) {
        auto composer = self.m_composer.lock();
        if (composer && self.m_bodyView)
            composer->bodyEdited(self.m_bodyView->text());
        self.updateButtons();
    });
}

void MFMessageComposeController::setComposer(const Ref<MFMessageComposeViewController>& composer)
{
    m_composer = composer;
    setTitle("New Message");
    m_cancelButton = UIButton::buttonWithType(UIButtonTypeRoundedRect);
    m_cancelButton->setName("composeCancelButton");
    m_cancelButton->setTitle("Cancel", UIControlStateNormal);
    m_cancelButton->setFrame(CGRectMake(0, 0, 60, 30));
    m_cancelButton->addTarget(self(), "cancel:", UIControlEventTouchUpInside);
    navigationItem()->setRightBarButtonItem(UIBarButtonItem::withCustomView(m_cancelButton));
}

void MFMessageComposeController::loadView()
{
    CGRect frame = UIScreen::mainScreen()->applicationFrame();
    auto view = makeView<UIView>(CGRectMake(0, 0, frame.size.width, frame.size.height));
    view->setName("composeView");
    view->setBackgroundColor(UIColor::colorWithRed(0.86, 0.88, 0.91, 1));
    double width = frame.size.width;

    auto toLabel = makeView<UILabel>(CGRectMake(8, 0, 30, 44));
    toLabel->setText("To:");
    toLabel->setTextColor(UIColor::grayColor());
    toLabel->setBackgroundColor(UIColor::clearColor());
    view->addSubview(toLabel);

    m_recipientsField = makeView<UITextField>(CGRectMake(40, 0, width - 48, 44));
    m_recipientsField->setName("composeRecipientsField");
    m_recipientsField->setFont(UIFont::systemFontOfSize(15));
    m_recipientsField->addTarget(self(), "recipientsChanged:", UIControlEventEditingChanged);
    view->addSubview(m_recipientsField);

    m_bodyView = makeView<UITextView>(CGRectMake(6, 52, width - 78, 120));
    m_bodyView->setName("composeBodyView");
    m_bodyView->setFont(UIFont::systemFontOfSize(15));
    m_bodyView->setBackgroundColor(UIColor::whiteColor());
    m_bodyView->layer()->setCornerRadius(12);
    m_bodyView->setDelegate(self());
    view->addSubview(m_bodyView);

    m_sendButton = UIButton::buttonWithType(UIButtonTypeRoundedRect);
    m_sendButton->setName("composeSendButton");
    m_sendButton->setTitle("Send", UIControlStateNormal);
    m_sendButton->setFrame(CGRectMake(width - 66, 142, 60, 30));
    m_sendButton->addTarget(self(), "send:", UIControlEventTouchUpInside);
    view->addSubview(m_sendButton);

    setView(view);
    refresh();
}

void MFMessageComposeController::refresh()
{
    auto composer = m_composer.lock();
    if (composer && m_recipientsField) {
        m_recipientsField->setText(joinedRecipients(composer->recipients()));
        m_bodyView->setText(composer->body());
    }
    updateButtons();
}

void MFMessageComposeController::updateButtons()
{
    auto composer = m_composer.lock();
    bool finished = !composer || composer->isFinished();
    if (m_sendButton)
        m_sendButton->setEnabled(!finished && composer->canSend());
    if (m_cancelButton)
        m_cancelButton->setEnabled(!finished);
}

} // namespace messageui
