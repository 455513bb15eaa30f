// QuickComposeViewController: creation, the view tree and its skin, the
// opening, the layout on rotation, the placeholder, the swipe that closes,
// the teardown, and the To field with its drop-down of recipients.
#include "QuickComposeViewController.h"

#include "QuickComposeLayout.h"
#include "QuickReplyViewController.h"
#include "RDLDoesAll.h"
#include "RecipientFiles.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <common/PackageImages.h>
#include <foundation/Colour.h>
#include <foundation/Strings.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UIScreen.h>
#include <uikit/ViewAnimation.h>

#include <fmt/format.h>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    // The extension's sources are also compiled as one unit (the sanitizer
    // builds), so the names here are this file's own.
    constexpr const char* CellIdentifier = "it.kelvane.quillara";

    constexpr foundation::RgbaColour ComposePanelGrey { 0.95, 0.95, 0.95, 1 };
    constexpr foundation::RgbaColour ComposeTextBlack { 0, 0, 0, 1 };
    constexpr foundation::RgbaColour ComposeFieldWhite { 1, 1, 1, 1 };

    double composeScreenWidth()
    {
        auto screen = UIScreen::mainScreen();
        return screen ? screen->applicationFrame().size.width : quickcompose::PanelWidth;
    }

    // A skin key's colour, or the key's fallback when the value is absent or
    // does not read as a colour.
    Ref<UIColor> composeSkinColour(const std::shared_ptr<foundation::PlistDictionary>& preferences, std::string_view key, const foundation::RgbaColour& fallback)
    {
        const foundation::PlistValue* value = preferences ? preferences->find(key) : nullptr;
        const std::string* text = value ? value->asString() : nullptr;
        auto colour = text ? foundation::colourFromString(*text) : std::nullopt;
        auto chosen = colour.value_or(fallback);
        return UIColor::colorWithRed(chosen.red, chosen.green, chosen.blue, 1.0);
    }

    std::shared_ptr<foundation::PlistDictionary> composePreferences(const Id& delegate)
    {
        auto* store = RDLDoesAll::preferencesManager(delegate);
        return store ? store->preferences() : nullptr;
    }

    void placeElement(const Ref<UIView>& view, const std::optional<quickcompose::Placement>& placement)
    {
        if (!view || !placement)
            return;
        CGRect frame = placement->frame;
        if (placement->keepOrigin)
            frame.origin = view->frame().origin;
        view->setFrame(frame);
    }

    template <class T>
    void removeAndClear(Ref<T>& view)
    {
        if (view) {
            view->removeFromSuperview();
            view = nullptr;
        }
    }

} // namespace

void QuickComposeViewController::registerMethods(runtime::ClassBuilder<QuickComposeViewController>& b)
{
    b.method<&QuickComposeViewController::init>("init");
    b.method("delegate", [](QuickComposeViewController& self) -> Id { return self.delegate(); });
    b.method("setDelegate:", [](QuickComposeViewController& self, const Id& delegate) { self.setDelegate(delegate); });
    b.method("destNumber", [](QuickComposeViewController& self) -> std::string { return self.destNumber().value_or(std::string {}); });
    b.method("lastMessageType", [](QuickComposeViewController& self) -> int64_t { return static_cast<int64_t>(self.lastMessageType()); });
    b.method("canSend", [](QuickComposeViewController& self) -> bool { return self.canSend(); });
    b.method("hasAttachment", [](QuickComposeViewController& self) -> bool { return self.hasAttachment(); });
    b.method("toField", [](QuickComposeViewController& self) -> Id { return self.toField(); });
    b.method("replyField", [](QuickComposeViewController& self) -> Id { return self.replyField(); });
    b.method("sendButton", [](QuickComposeViewController& self) -> Id { return self.sendButton(); });
    b.method("closeButton", [](QuickComposeViewController& self) -> Id { return self.closeButton(); });
    b.method("contatore", [](QuickComposeViewController& self) -> Id { return self.contatore(); });
    b.method("bgView", [](QuickComposeViewController& self) -> Id { return self.bgView(); });
    b.method("typeOfmessageButton", [](QuickComposeViewController& self) -> Id { return self.typeOfmessageButton(); });
    b.method("attachmentButton", [](QuickComposeViewController& self) -> Id { return self.attachmentButton(); });
    b.method("contactsTableView", [](QuickComposeViewController& self) -> Id { return self.contactsTableView(); });
    b.method<&QuickComposeViewController::prepareView>("prepareView:");
    b.method<&QuickComposeViewController::deviceRotated>("deviceRotated:");
    b.method<&QuickComposeViewController::enlargeView>("enlargeView");
    b.method<&QuickComposeViewController::dismiss>("dismiss");
    b.method<&QuickComposeViewController::dismissKeyboard>("dismissKeyboard");
    b.method<&QuickComposeViewController::swiped>("swiped:");
    b.method<&QuickComposeViewController::textViewDidBeginEditing>("textViewDidBeginEditing:");
    b.method<&QuickComposeViewController::textViewDidEndEditing>("textViewDidEndEditing:");
    b.method<&QuickComposeViewController::textViewShouldChangeText>("textView:shouldChangeTextInRange:replacementText:");
    b.method<&QuickComposeViewController::textFieldDidBeginEditing>("textFieldDidBeginEditing:");
    b.method<&QuickComposeViewController::textFieldShouldChange>("textField:shouldChangeCharactersInRange:replacementString:");
    b.method<&QuickComposeViewController::toFieldEdited>("toFieldEdited");
    b.method<&QuickComposeViewController::textFieldDidEndEditing>("textFieldDidEndEditing:");
    b.method<&QuickComposeViewController::textFieldShouldReturn>("textFieldShouldReturn:");
    b.method<&QuickComposeViewController::numberOfRows>("tableView:numberOfRowsInSection:");
    b.method<&QuickComposeViewController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&QuickComposeViewController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
    b.method<&QuickComposeViewController::changeTypeOfMessageSent>("changeTypeOfMessageSent");
    b.method<&QuickComposeViewController::removeAnyAttachment>("removeAnyAttachment");
    b.method<&QuickComposeViewController::presentImageChoice>("presentImageChoice");
    b.method("imagePickerController:didFinishPickingImage:editingInfo:",
        [](QuickComposeViewController& self, const Id& picker, const Id& image, const foundation::PlistValue&) { self.imagePickerDidFinish(picker, image); });
    b.method<&QuickComposeViewController::imagePickerDidCancel>("imagePickerControllerDidCancel:");
    b.method<&QuickComposeViewController::sendMessage>("sendMessage");
}

QuickComposeViewController::~QuickComposeViewController()
{
    dismiss();
}

Id QuickComposeViewController::init()
{
    return initWithRecipients(RecipientList::build(readRecipientSources()));
}

Id QuickComposeViewController::initWithRecipients(RecipientList recipients)
{
    Id self = initWithNibName(std::string {}, runtime::nil);
    if (!self)
        return self;
    m_destNumber = std::string(TypedInMarker);
    m_recipients = std::move(recipients);
    m_lastMessageType = MessageType::SMS;
    m_searchedPeople = m_recipients.everyone();
    m_hasAttachment = false;
    try {
        m_iMessageEnabled = runtime::send<bool>(runtime::classNamed("CKMadridService"), "isMadridEnabled");
    } catch (const std::exception& exception) {
        m_iMessageEnabled = false;
        KelvaneLogger::log(exception.what(), KelvaneLogger::Severe);
    }
    return self;
}

int64_t QuickComposeViewController::frontMostOrientation()
{
    return QuickReplyViewController::frontMostOrientation();
}

void QuickComposeViewController::applySkin()
{
    auto preferences = composePreferences(delegate());
    m_bgView->setBackgroundColor(composeSkinColour(preferences, kelvane::Key::QuickComposeColors, ComposePanelGrey));
    auto text = composeSkinColour(preferences, kelvane::Key::QuickComposeText, ComposeTextBlack);
    m_replyField->setTextColor(text);
    m_toField->setTextColor(text);
    auto field = composeSkinColour(preferences, kelvane::Key::QuickComposeTextField, ComposeFieldWhite);
    m_replyField->setBackgroundColor(field);
    m_toField->setBackgroundColor(field);
}

void QuickComposeViewController::applyTextColour()
{
    auto text = composeSkinColour(composePreferences(delegate()), kelvane::Key::QuickComposeText, ComposeTextBlack);
    if (m_replyField)
        m_replyField->setTextColor(text);
    if (m_toField)
        m_toField->setTextColor(text);
}

void QuickComposeViewController::setSendIcon(const std::string& path)
{
    auto icon = path.empty() ? Ref<UIImage>() : common::packageImage(path);
    m_sendButton->setBackgroundImage(icon, UIControlStateNormal);
    m_sendButton->setBackgroundImage(icon, UIControlStateDisabled);
}

void QuickComposeViewController::prepareView(bool)
{
    double width = composeScreenWidth();
    if (!m_pan) {
        m_pan = runtime::make<UIPanGestureRecognizer>();
        m_pan->initWithTarget(self(), "swiped:");
    }
    auto root = view();
    m_didEdited = false;
    root->setName("QuickComposeViewController");
    root->setTransform(CGAffineTransformIdentity);
    root->setFrame(CGRectMake((width - quickcompose::PanelWidth) * 0.5, quickcompose::BannerHeight, 0, 0));
    root->layer()->setCornerRadius(8);
    root->setBackgroundColor(UIColor::clearColor());

    if (!m_bgView) {
        m_bgView = makeView<UIView>(CGRectMake(0, -120, 320, 120));
        m_bgView->setName("bgView");
    }
    m_bgView->layer()->setCornerRadius(8);
    root->addSubview(m_bgView);

    if (!m_toField) {
        m_toField = makeView<UITextField>(CGRectMake(15, 6, 0, 0));
        m_toField->setName("toField");
        m_toField->setBorderStyle(UITextBorderStyleRoundedRect);
        m_toField->setBackgroundColor(UIColor::whiteColor());
        m_toField->setPlaceholder("To");
    }
    m_toField->setFont(UIFont::systemFontOfSize(16));
    m_toField->setContentMode(UIViewContentModeTopLeft);
    m_toField->removeTarget(self(), "toFieldEdited", UIControlEventEditingChanged);
    m_toField->addTarget(self(), "toFieldEdited", UIControlEventEditingChanged);
    m_bgView->addSubview(m_toField);

    if (!m_replyField) {
        m_replyField = makeView<UITextView>(CGRectMake(20, 33, 280, 147));
        m_replyField->setName("replyField");
    }
    m_replyField->setTextColor(UIColor::grayColor());
    m_replyField->setText(Placeholder);
    m_showsPlaceholder = true;
    m_replyField->setBackgroundColor(UIColor::whiteColor());
    m_replyField->layer()->setCornerRadius(8);
    m_replyField->setFont(UIFont::systemFontOfSize(14));
    m_replyField->setDelegate(self());
    m_toField->setDelegate(self());
    m_replyField->setReturnKeyType(UIReturnKeyDefault);
    m_replyField->setEditable(true);
    m_replyField->layer()->setBorderColor(UIColor::blackColor());
    m_replyField->layer()->setBorderWidth(1);
    m_replyField->setFrame(CGRectMake(320, 0, 0, 0));
    m_replyField->removeGestureRecognizer(m_pan);
    m_replyField->addGestureRecognizer(m_pan);
    m_bgView->addSubview(m_replyField);

    applySkin();

    runtime::Weak<QuickComposeViewController> weakSelf = selfAs<QuickComposeViewController>();
    animateWithDuration(
        OpeningDuration, [root, width] { root->setFrame(CGRectMake((width - quickcompose::PanelWidth) * 0.5, quickcompose::BannerHeight, 0, 0)); },
        [weakSelf](bool) {
            auto window = weakSelf.lock();
            // Closed before the opening finished: nothing to place.
            if (!window || !window->m_bgView)
                return;
            if (!window->m_closeButton) {
                window->m_closeButton = UIButton::buttonWithType(UIButtonTypeCustom);
                window->m_closeButton->setName("closeButton");
                window->m_closeButton->setImage(common::packageImage(kelvane::PLVImage::Close), UIControlStateNormal);
                window->m_closeButton->setShowsTouchWhenHighlighted(true);
            }
            window->m_closeButton->setFrame(CGRectMake(297, 5, 20, 20));
            if (Id controller = window->delegate())
                window->m_closeButton->addTarget(controller, "dismissBanner", UIControlEventTouchUpInside);
            window->m_bgView->addSubview(window->m_closeButton);
            runtime::send(window->self(), "deviceRotated:", frontMostOrientation());
            runtime::send(window->self(), "enlargeView");
        });

    if (!m_sendButton) {
        m_sendButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_sendButton->setName("sendButton");
    }
    m_sendButton->setFrame(CGRectMake(320, 10, 0, 0));
    bool sms = foundation::equalsIgnoringCase(RDLDoesAll::lastMessageType(delegate()), "sms");
    m_sendButton->setBackgroundImage(common::packageImage(sms ? kelvane::PLVImage::SendSMS : kelvane::PLVImage::SendIMessage), UIControlStateNormal);
    m_sendButton->setTitle("Send", UIControlStateNormal);
    m_sendButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    m_sendButton->setFont(UIFont::fontWithName("Helvetica-Bold", 16));
    m_sendButton->removeTarget(self(), "sendMessage", UIControlEventTouchUpInside);
    m_sendButton->addTarget(self(), "sendMessage", UIControlEventTouchUpInside);
    m_sendButton->setShowsTouchWhenHighlighted(true);
    root->addSubview(m_sendButton);

    if (!m_attachmentButton) {
        m_attachmentButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_attachmentButton->setName("attachmentButton");
        m_attachmentButton->setImage(common::packageImage(kelvane::PLVImage::Attachment), UIControlStateNormal);
    }

    if (!m_typeOfmessageButton) {
        m_typeOfmessageButton = UIButton::buttonWithType(UIButtonTypeCustom);
        m_typeOfmessageButton->setName("typeOfmessageButton");
    }
    m_typeOfmessageButton->setFrame(CGRectMake(280, 10, 0, 0));
    m_typeOfmessageButton->setTitle(m_lastMessageType == MessageType::IMessage ? "iM" : "SMS", UIControlStateNormal);
    m_typeOfmessageButton->setBackgroundColor(UIColor::clearColor());
    m_typeOfmessageButton->setTitleColor(UIColor::blackColor(), UIControlStateNormal);
    m_typeOfmessageButton->layer()->setCornerRadius(10);
    m_typeOfmessageButton->layer()->setBorderColor(UIColor::blackColor());
    m_typeOfmessageButton->layer()->setBorderWidth(1);
    m_typeOfmessageButton->setFont(UIFont::fontWithName("Helvetica", 14));
    m_typeOfmessageButton->removeTarget(self(), "changeTypeOfMessageSent", UIControlEventTouchUpInside);
    m_typeOfmessageButton->addTarget(self(), "changeTypeOfMessageSent", UIControlEventTouchUpInside);
    m_typeOfmessageButton->setShowsTouchWhenHighlighted(true);
    root->addSubview(m_typeOfmessageButton);

    m_toField->becomeFirstResponder();
    runtime::send(self(), "removeAnyAttachment");
}

void QuickComposeViewController::applyLayout(int64_t orientation, bool finalSizes)
{
    auto layout = quickcompose::layout(orientation, finalSizes ? quickcompose::LayoutMoment::FinalSizes : quickcompose::LayoutMoment::Rotation, composeScreenWidth());
    auto root = view();
    if (layout.presize) {
        for (const Ref<UIView>& element : { root, m_bgView }) {
            if (element) {
                CGRect frame = element->frame();
                element->setFrame(CGRect { frame.origin, *layout.presize });
            }
        }
    }
    placeElement(m_bgView, layout.bgView);
    placeElement(m_closeButton, layout.closeButton);
    placeElement(m_toField, layout.toField);
    placeElement(m_replyField, layout.replyField);
    placeElement(m_contatore, layout.contatore);
    placeElement(m_sendButton, layout.sendButton);
    placeElement(m_attachmentButton, layout.attachmentButton);
    placeElement(m_typeOfmessageButton, layout.typeOfmessageButton);
    if (layout.rootTransform)
        root->setTransform(*layout.rootTransform);
    placeElement(root, layout.root);
    if (m_noticeLabel && m_contatore) {
        CGRect counter = m_contatore->frame();
        m_noticeLabel->setFrame(CGRectMake(counter.origin.x, counter.origin.y + counter.size.height, 280, 12));
    }
}

void QuickComposeViewController::deviceRotated(int64_t orientation)
{
    runtime::send(self(), "dismissKeyboard");
    runtime::Weak<QuickComposeViewController> weakSelf = selfAs<QuickComposeViewController>();
    animateWithDuration(RotationDuration, [weakSelf, orientation] {
        if (auto window = weakSelf.lock())
            window->applyLayout(orientation, false);
    });
}

void QuickComposeViewController::enlargeView()
{
    int64_t orientation = frontMostOrientation();
    auto root = view();
    if (!m_replyField) {
        m_replyField = makeView<UITextView>(CGRectMake(20, 33, 280, 147));
        m_replyField->setName("replyField");
    }
    if (!m_didEdited || m_showsPlaceholder) {
        m_replyField->setTextColor(UIColor::grayColor());
        m_replyField->setText(Placeholder);
        m_showsPlaceholder = true;
    }
    if (!m_contatore) {
        m_contatore = makeView<UILabel>(CGRectMake(20, 183, 60, 15));
        m_contatore->setName("contatore");
    }
    applyLayout(orientation, true);
    m_contatore->setText(std::string {});
    m_contatore->setBackgroundColor(UIColor::clearColor());
    m_contatore->setTextColor(UIColor::grayColor());
    m_contatore->setTextAlignment(UITextAlignmentCenter);
    m_contatore->setFont(UIFont::systemFontOfSize(12));
    root->addSubview(m_contatore);

    if (m_sendButton) {
        m_sendButton->setTitle("Send", UIControlStateNormal);
        m_canSend = false;
        m_sendButton->setEnabled(false);
        m_sendButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
        m_sendButton->setTitleColor(UIColor::colorWithRed(0.8, 0.8, 0.8, 1.0), UIControlStateDisabled);
        bool sms = foundation::equalsIgnoringCase(RDLDoesAll::lastMessageType(delegate()), "sms");
        m_sendButton->setBackgroundImage(common::packageImage(sms ? kelvane::PLVImage::SendSMS : kelvane::PLVImage::SendIMessage), UIControlStateDisabled);
    }
}

void QuickComposeViewController::textViewDidBeginEditing(const Id& textView)
{
    if (!m_replyField || textView.get() != m_replyField.get())
        return;
    // The placeholder is cleared on every entry that finds it, not only the
    // first, so "Message" can never become part of what is sent.
    if (!m_didEdited || m_showsPlaceholder)
        m_replyField->setText(std::string {});
    m_showsPlaceholder = false;
    m_didEdited = true;
    applyTextColour();
}

void QuickComposeViewController::textViewDidEndEditing(const Id& textView)
{
    if (!m_replyField || textView.get() != m_replyField.get())
        return;
    if (m_replyField->text().empty()) {
        m_replyField->setTextColor(UIColor::grayColor());
        m_replyField->setText(Placeholder);
        m_showsPlaceholder = true;
    }
}

std::string QuickComposeViewController::messageText() const
{
    if (!m_replyField || m_showsPlaceholder)
        return {};
    return m_replyField->text();
}

void QuickComposeViewController::swiped(const Id& recognizer)
{
    try {
        auto pan = runtime::cast<UIPanGestureRecognizer>(recognizer);
        if (!m_replyField || !pan)
            return;
        if (pan->velocityInView(m_replyField.get()).y < SwipeCloseVelocity) {
            m_replyField->removeGestureRecognizer(pan);
            RDLDoesAll::dismissBanner(delegate());
        }
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Critical);
    }
}

void QuickComposeViewController::dismiss()
{
    KelvaneLogger::log("QuickCompose dismissBanner", KelvaneLogger::Development);
    if (m_replyField && m_replyField->isFirstResponder())
        m_replyField->resignFirstResponder();
    if (m_toField && m_toField->isFirstResponder())
        m_toField->resignFirstResponder();
    removeAndClear(m_contactsTableView);
    removeAndClear(m_attachmentButton);
    removeAndClear(m_bgView);
    removeAndClear(m_toField);
    removeAndClear(m_sendButton);
    removeAndClear(m_typeOfmessageButton);
    removeAndClear(m_replyField);
    removeAndClear(m_noticeLabel);
    m_attachment = nullptr;
    if (auto root = viewIfLoaded())
        root->removeFromSuperview();
}

void QuickComposeViewController::dismissKeyboard()
{
    if (m_replyField && m_replyField->isFirstResponder())
        m_replyField->resignFirstResponder();
    if (m_toField && m_toField->isFirstResponder())
        m_toField->resignFirstResponder();
}

void QuickComposeViewController::showNotice(const std::string& text)
{
    auto root = viewIfLoaded();
    if (!root)
        return;
    if (!m_noticeLabel) {
        m_noticeLabel = makeView<UILabel>(CGRectMake(20, 198, 280, 12));
        m_noticeLabel->setName("noticeLabel");
        m_noticeLabel->setBackgroundColor(UIColor::clearColor());
        m_noticeLabel->setTextColor(UIColor::redColor());
        m_noticeLabel->setFont(UIFont::systemFontOfSize(11));
    }
    // Under the counter, in either orientation.
    CGRect counter = m_contatore ? m_contatore->frame() : CGRectMake(20, 183, 60, 15);
    m_noticeLabel->setFrame(CGRectMake(counter.origin.x, counter.origin.y + counter.size.height, 280, 12));
    m_noticeLabel->setText(text);
    root->addSubview(m_noticeLabel);
}

void QuickComposeViewController::hideNotice()
{
    if (m_noticeLabel)
        m_noticeLabel->removeFromSuperview();
}

// The To field and its drop-down.

void QuickComposeViewController::textFieldDidBeginEditing(const Id& textField)
{
    if (!m_toField || textField.get() != m_toField.get() || !m_bgView)
        return;
    m_toField->setText(std::string {});
    // The field no longer shows the chosen recipient, so nothing stays chosen.
    m_destNumber = std::string(TypedInMarker);
    m_membri.reset();
    if (!m_contactsTableView) {
        CGRect to = m_toField->frame();
        double height = m_replyField ? m_replyField->frame().size.height : 147;
        m_contactsTableView = UITableView::withFrame(CGRectMake(to.origin.x, to.origin.y + to.size.height, to.size.width, height), UITableViewStylePlain);
        m_contactsTableView->setName("contactsTableView");
        m_contactsTableView->setBackgroundColor(UIColor::grayColor());
        m_contactsTableView->layer()->setCornerRadius(8);
        m_contactsTableView->setDataSource(self());
        m_contactsTableView->setDelegate(self());
    }
    m_bgView->addSubview(m_contactsTableView);
    m_contactsTableView->reloadData();
}

bool QuickComposeViewController::textFieldShouldChange(const Id& textField, const NSRange&, const std::string&)
{
    if (!m_toField || textField.get() != m_toField.get())
        return true;
    // Whatever was chosen, the field now shows something else.
    m_destNumber = std::string(TypedInMarker);
    m_membri.reset();
    return true;
}

void QuickComposeViewController::toFieldEdited()
{
    if (!m_toField)
        return;
    // Filtered by the text as it is after the edit, so deleting a letter
    // widens the matches again.
    const std::string& text = m_toField->text();
    if (text.empty() && !m_contactsTableView)
        return;
    m_recipients.filter(text, m_searchedPeople);
    if (m_contactsTableView)
        m_contactsTableView->reloadData();
}

void QuickComposeViewController::closeDropDown()
{
    removeAndClear(m_contactsTableView);
}

void QuickComposeViewController::textFieldDidEndEditing(const Id& textField)
{
    if (m_toField && textField.get() == m_toField.get())
        closeDropDown();
}

bool QuickComposeViewController::textFieldShouldReturn(const Id&)
{
    dismissKeyboard();
    return true;
}

int64_t QuickComposeViewController::numberOfRows(const Id&, int64_t)
{
    return static_cast<int64_t>(m_searchedPeople.size());
}

Id QuickComposeViewController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    if (indexPath.row < 0 || static_cast<size_t>(indexPath.row) >= m_searchedPeople.size())
        return runtime::nil;
    const RecipientRecord& record = *m_searchedPeople[static_cast<size_t>(indexPath.row)];
    auto table = runtime::cast<UITableView>(tableView);
    Ref<UITableViewCell> cell = table ? table->dequeueReusableCell(CellIdentifier) : nullptr;
    if (!cell)
        cell = UITableViewCell::withStyle(UITableViewCellStyleSubtitle, CellIdentifier);
    cell->contentView()->setBackgroundColor(UIColor::colorWithWhite(1, 0.6));
    auto title = cell->textLabel();
    title->setText(std::string(record.name));
    title->setFont(UIFont::boldSystemFontOfSize(14));
    title->setTextColor(UIColor::blackColor());
    title->setBackgroundColor(UIColor::clearColor());
    if (auto detail = cell->detailTextLabel()) {
        detail->setText(record.number);
        detail->setFont(UIFont::systemFontOfSize(12));
        detail->setTextColor(UIColor::blackColor());
        detail->setBackgroundColor(UIColor::clearColor());
    }
    // The star belongs to the favourite records, wherever a filter puts them.
    if (record.isFavorite) {
        auto star = UIButton::buttonWithType(UIButtonTypeCustom);
        star->setName("star");
        star->setFrame(CGRectMake(0, 0, 44, 44));
        star->setBackgroundColor(UIColor::colorWithWhite(1, 0.6));
        star->setImage(common::packageImage(kelvane::PLVImage::Star), UIControlStateNormal);
        cell->setAccessoryView(star);
    } else {
        cell->setAccessoryView(nullptr);
    }
    return cell;
}

void QuickComposeViewController::didSelectRow(const Id&, const NSIndexPath& indexPath)
{
    if (indexPath.row < 0 || static_cast<size_t>(indexPath.row) >= m_searchedPeople.size())
        return;
    const RecipientRecord* record = m_searchedPeople[static_cast<size_t>(indexPath.row)];
    if (m_toField)
        m_toField->setText(std::string(record->name));
    m_destNumber = record->number;
    if (record->group)
        m_membri = record->group->members;
    else
        m_membri.reset();
    closeDropDown();

    try {
        Id service = runtime::send<Id>(runtime::classNamed("CKMadridService"), "sharedMadridService");
        Id entity = service ? runtime::send<Id>(service, "copyEntityForAddressString:", *m_destNumber) : runtime::nil;
        if (entity) {
            int64_t availability = runtime::send<int64_t>(service, "availabilityForAddress:checkWithServer:", *m_destNumber, false);
            KelvaneLogger::log(fmt::format("Availability of {} (iMessageEnabled: {}):{}", *m_destNumber, m_iMessageEnabled ? 1 : 0, availability),
                KelvaneLogger::Development);
        }
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Severe);
    }

    if (m_toField && m_toField->isFirstResponder())
        m_toField->resignFirstResponder();
    if (m_replyField)
        m_replyField->becomeFirstResponder();
}

void registerQuickComposeClasses()
{
    QuickComposeViewController::classObject();
}

} // namespace parlivo
