#include "MFMailComposeController.h"

#include "MFMailComposeViewController.h"

#include <uikit/UIButton.h>
#include <uikit/UINavigationItem.h>
#include <uikit/UIScreen.h>

#include <algorithm>

namespace messageui {

using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    constexpr const char* DeleteDraftTitle = "Delete Draft";
    constexpr const char* SaveDraftTitle = "Save Draft";

    // A bar item drawn by a named button, so that a person (or a scenario)
    // can tap it, and whose action goes out with the item as sender.
    Ref<UIBarButtonItem> barItem(const char* title, const char* name, const Id& target, const char* action)
    {
        auto button = UIButton::buttonWithType(UIButtonTypeRoundedRect);
        button->setName(std::string(name));
        button->setTitle(std::string(title), UIControlStateNormal);
        button->setFrame(CGRectMake(0, 0, 60, 30));
        auto item = UIBarButtonItem::withCustomView(button);
        item->setTarget(target);
        item->setAction(action);
        std::weak_ptr<UIBarButtonItem> weakItem = item;
        button->setPrimaryAction([weakItem] {
            if (auto item = weakItem.lock())
                item->performAction();
        });
        return item;
    }

    bool hasRecipients(const mail::MailMessage& message)
    {
        auto notBlank = [](const std::string& entry) { return entry.find_first_not_of(" \t") != std::string::npos; };
        return std::any_of(message.to.begin(), message.to.end(), notBlank) || std::any_of(message.cc.begin(), message.cc.end(), notBlank)
            || std::any_of(message.bcc.begin(), message.bcc.end(), notBlank);
    }

} // namespace

void MFMailComposeController::registerMethods(runtime::ClassBuilder<MFMailComposeController>& b)
{
    b.method("mailComposeView", [](MFMailComposeController& self) -> Id { return self.mailComposeView(); });
    b.method("send:", [](MFMailComposeController& self, const Id&) {
        if (auto composer = self.m_composer.lock())
            composer->sendMail();
    });
    b.method("cancel:", [](MFMailComposeController& self, const Id&) { self.cancelTapped(); });
    b.method("fieldChanged:", [](MFMailComposeController& self, const Id&) {
        self.takeEdits();
        self.updateButtons();
    });
    b.method("textViewDidChange:", [](MFMailComposeController& self, const Id&) { self.takeEdits(); });
    b.method("actionSheet:clickedButtonAtIndex:", [](MFMailComposeController& self, const Id&, int64_t index) { self.draftSheetChoice(index); });
    b.ivar<&MFMailComposeController::m_sendButtonItem>("_sendButtonItem");
    b.ivar<&MFMailComposeController::m_cancelButtonItem>("_cancelButtonItem");
}

void MFMailComposeController::setComposer(const Ref<MFMailComposeViewController>& composer)
{
    m_composer = composer;
    setTitle("New Message");
    m_sendButtonItem = barItem("Send", "composeSendButton", self(), "send:");
    m_cancelButtonItem = barItem("Cancel", "composeCancelButton", self(), "cancel:");
    navigationItem()->setLeftBarButtonItem(m_cancelButtonItem);
    navigationItem()->setRightBarButtonItem(m_sendButtonItem);
    updateButtons();
}

Ref<MFMailComposeView> MFMailComposeController::mailComposeView() { return runtime::cast<MFMailComposeView>(view()); }

void MFMailComposeController::loadView()
{
    CGRect frame = UIScreen::mainScreen()->applicationFrame();
    auto view = makeView<MFMailComposeView>(CGRectMake(0, 0, frame.size.width, frame.size.height - 44));
    view->build(frame.size.width, self());
    setView(view);
    refresh();
    if (auto composer = m_composer.lock())
        composer->scheduleBodyLoading();
}

void MFMailComposeController::refresh()
{
    auto composer = m_composer.lock();
    auto view = runtime::cast<MFMailComposeView>(viewIfLoaded());
    if (composer && view) {
        view->showHeaders(composer->draft());
        if (composer->isBodyLoaded())
            view->showBody(composer->draft());
    }
    if (composer && !composer->draft().subject.empty())
        setTitle(mail::headerSafe(composer->draft().subject));
    updateButtons();
}

void MFMailComposeController::takeEdits()
{
    auto composer = m_composer.lock();
    auto view = runtime::cast<MFMailComposeView>(viewIfLoaded());
    if (!composer || !view)
        return;
    auto& draft = composer->editableDraft();
    // A line the user left alone keeps its entries exactly as the application gave them.
    auto takeLine = [](const Ref<UITextField>& field, std::vector<std::string>& recipients) {
        if (field->text() != recipientLine(recipients))
            recipients = recipientsOfLine(field->text());
    };
    takeLine(view->toField(), draft.to);
    takeLine(view->ccField(), draft.cc);
    takeLine(view->bccField(), draft.bcc);
    draft.subject = view->subjectField()->text();
    if (composer->isBodyLoaded())
        draft.body = view->bodyView()->text();
}

void MFMailComposeController::updateButtons()
{
    auto composer = m_composer.lock();
    bool finished = !composer || composer->isFinished();
    bool canSend = !finished && hasRecipients(composer->draft());
    for (auto& [item, enabled] : { std::pair { m_sendButtonItem, canSend }, std::pair { m_cancelButtonItem, !finished } }) {
        if (!item)
            continue;
        item->setEnabled(enabled);
        if (auto button = runtime::cast<UIButton>(item->customView()))
            button->setEnabled(enabled);
    }
}

void MFMailComposeController::cancelTapped()
{
    auto composer = m_composer.lock();
    if (!composer || composer->isFinished() || m_draftSheet)
        return;
    takeEdits();
    const auto& draft = composer->draft();
    if (!hasRecipients(draft) && draft.subject.empty() && draft.body.empty() && draft.attachments.empty()) {
        composer->discardDraft();
        return;
    }
    m_draftSheet = runtime::make<UIActionSheet>();
    m_draftSheet->initWithTitle("", self(), "Cancel", DeleteDraftTitle, { SaveDraftTitle });
    m_draftSheet->showInView(view());
}

void MFMailComposeController::draftSheetChoice(int64_t index)
{
    auto sheet = std::move(m_draftSheet);
    auto composer = m_composer.lock();
    if (!sheet || !composer)
        return;
    std::string choice = sheet->buttonTitleAtIndex(index);
    if (choice == DeleteDraftTitle)
        composer->discardDraft();
    else if (choice == SaveDraftTitle)
        composer->saveDraft();
}

} // namespace messageui
