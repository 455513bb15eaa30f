// QuickComposeViewController: the window in which the user writes a new
// message from anywhere, opened by the Activator event. A rounded panel near
// the top of the screen holds a To field that doubles as a search over the
// recipient list, the message view, a counter, an SMS / iMessage toggle, a
// Send button, a close cross and, while a picture is attached, a paper clip.
//
// RDL makes a new controller at every opening (init, setDelegate:,
// prepareView:, view), forwards rotations (deviceRotated:) and closes it
// (dismiss). The controller reaches RDL only through RDLDoesAll.h. Its views
// carry their property names in the snapshot ("toField", "replyField",
// "sendButton", "closeButton", "contatore", "bgView", "typeOfmessageButton",
// "attachmentButton", "contactsTableView").
//
// Where it departs from the window it stands in for, on purpose:
// - Any edit of the To field returns the destination to the typed-in marker
//   ("-1") and forgets a chosen group's members, so a message never goes to
//   a recipient the field no longer shows; the drop-down is filtered by the
//   field's text after the edit.
// - A send that the sender did not take ("OK") keeps the window and the text
//   and says "Not sent, try again"; a group send keeps only the members that
//   failed, so trying again does not send twice to the others.
// - A group with the iMessage type is sent to each member by iMessage.
// - A picture is never dropped silently: with the SMS type the panel says it
//   needs iMessage, and the send waits until the type or the picture changes.
// - The placeholder "Message" is cleared whenever the message view is
//   entered while it shows it, and is never sent.
#pragma once

#include "RecipientList.h"

#include <runtime/Runtime.h>
#include <uikit/Geometry.h>
#include <uikit/UIButton.h>
#include <uikit/UIGestureRecognizer.h>
#include <uikit/UIImage.h>
#include <uikit/UILabel.h>
#include <uikit/UITableView.h>
#include <uikit/UITextField.h>
#include <uikit/UITextView.h>
#include <uikit/UIViewController.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlivo {

enum class MessageType : int64_t {
    SMS = 0,
    IMessage = 1,
};

class QuickComposeViewController : public uikit::UIViewController {
    PLV_CLASS(QuickComposeViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<QuickComposeViewController>&);
    ~QuickComposeViewController() override;

    static constexpr double OpeningDuration = 0.3;
    static constexpr double RotationDuration = 0.3;
    // A pan on the message view faster than this upwards closes the window.
    static constexpr double SwipeCloseVelocity = -250;
    static constexpr const char* TypedInMarker = "-1";
    static constexpr const char* Placeholder = "Message";
    static constexpr const char* NotSentText = "Not sent, try again";
    static constexpr const char* PictureNeedsIMessageText = "Pictures go by iMessage only";
    static constexpr const char* NoMembersText = "Nobody in this group can get it";

    // init: builds the recipient list from the phone's files.
    runtime::Id init();
    // The same with a list already built (tests, benchmarks).
    runtime::Id initWithRecipients(RecipientList);

    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    const RecipientList& recipients() const { return m_recipients; }
    const RecipientMatches& searchedPeople() const { return m_searchedPeople; }
    const std::optional<std::string>& destNumber() const { return m_destNumber; }
    const std::optional<foundation::PlistArray>& membri() const { return m_membri; }
    MessageType lastMessageType() const { return m_lastMessageType; }
    bool canSend() const { return m_canSend; }
    bool hasAttachment() const { return m_hasAttachment; }
    const runtime::Ref<uikit::UIImage>& attachment() const { return m_attachment; }
    bool iMessageEnabled() const { return m_iMessageEnabled; }
    bool showsPlaceholder() const { return m_showsPlaceholder; }

    const runtime::Ref<uikit::UITextField>& toField() const { return m_toField; }
    const runtime::Ref<uikit::UITextView>& replyField() const { return m_replyField; }
    const runtime::Ref<uikit::UIButton>& sendButton() const { return m_sendButton; }
    const runtime::Ref<uikit::UIButton>& closeButton() const { return m_closeButton; }
    const runtime::Ref<uikit::UILabel>& contatore() const { return m_contatore; }
    const runtime::Ref<uikit::UIView>& bgView() const { return m_bgView; }
    const runtime::Ref<uikit::UIButton>& typeOfmessageButton() const { return m_typeOfmessageButton; }
    const runtime::Ref<uikit::UIButton>& attachmentButton() const { return m_attachmentButton; }
    const runtime::Ref<uikit::UITableView>& contactsTableView() const { return m_contactsTableView; }
    const runtime::Ref<uikit::UILabel>& noticeLabel() const { return m_noticeLabel; }

    // The window, its layout and its close.
    void prepareView(bool applicationInFront);
    void deviceRotated(int64_t orientation);
    void enlargeView();
    void dismiss();
    void dismissKeyboard();
    void swiped(const runtime::Id& recognizer);
    void textViewDidBeginEditing(const runtime::Id& textView);
    void textViewDidEndEditing(const runtime::Id& textView);

    // The To field and its drop-down.
    void textFieldDidBeginEditing(const runtime::Id& textField);
    bool textFieldShouldChange(const runtime::Id& textField, const uikit::NSRange& range, const std::string& replacement);
    void toFieldEdited();
    void textFieldDidEndEditing(const runtime::Id& textField);
    bool textFieldShouldReturn(const runtime::Id& textField);
    int64_t numberOfRows(const runtime::Id& tableView, int64_t section);
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);

    // Type, counter, picture and sending (QuickComposeSending.cpp).
    void changeTypeOfMessageSent();
    bool textViewShouldChangeText(const runtime::Id& textView, const uikit::NSRange& range, const std::string& replacement);
    void removeAnyAttachment();
    void presentImageChoice();
    void imagePickerDidFinish(const runtime::Id& picker, const runtime::Id& image);
    void imagePickerDidCancel(const runtime::Id& picker);
    void sendMessage();

    // `_frontMostAppOrientation` of SpringBoard.
    static int64_t frontMostOrientation();
    // The window turns itself (deviceRotated:), so every orientation is fine.
    bool shouldAutorotateToInterfaceOrientation(int64_t) override { return true; }

private:
    void applyLayout(int64_t orientation, bool finalSizes);
    void applySkin();
    void applyTextColour();
    void closeDropDown();
    void showNotice(const std::string&);
    void hideNotice();
    void setSendIcon(const std::string& path);
    std::string messageText() const;
    // The sender's answer for one address; anything but "OK" is a failure.
    std::string send(MessageType, const std::string& text, const std::string& address, bool withPicture);

    RecipientList m_recipients;
    RecipientMatches m_searchedPeople;
    std::optional<std::string> m_destNumber { TypedInMarker };
    std::optional<foundation::PlistArray> m_membri;
    MessageType m_lastMessageType { MessageType::SMS };
    bool m_canSend { false };
    bool m_hasAttachment { false };
    bool m_iMessageEnabled { false };
    bool m_didEdited { false };
    bool m_showsPlaceholder { false };
    runtime::WeakId m_delegate;
    runtime::Ref<uikit::UIImage> m_attachment;
    runtime::Ref<uikit::UITextField> m_toField;
    runtime::Ref<uikit::UITextView> m_replyField;
    runtime::Ref<uikit::UIButton> m_sendButton;
    runtime::Ref<uikit::UIButton> m_closeButton;
    runtime::Ref<uikit::UILabel> m_contatore;
    runtime::Ref<uikit::UIView> m_bgView;
    runtime::Ref<uikit::UIButton> m_typeOfmessageButton;
    runtime::Ref<uikit::UIButton> m_attachmentButton;
    runtime::Ref<uikit::UITableView> m_contactsTableView;
    runtime::Ref<uikit::UIPanGestureRecognizer> m_pan;
    runtime::Ref<uikit::UILabel> m_noticeLabel;
};

// Touches the class so that runtime::classNamed finds it.
void registerQuickComposeClasses();

} // namespace parlivo
