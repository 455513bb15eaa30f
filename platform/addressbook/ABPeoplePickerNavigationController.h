// The platform's people picker: a navigation controller whose list shows
// every person of the Address Book by index letter, and whose person card
// shows the chosen person's phone numbers and e-mail addresses. Each step
// asks the `peoplePickerDelegate` (held weakly, reached through the runtime):
//
//   peoplePickerNavigationController:shouldContinueAfterSelectingPerson:
//       bool(Id picker, Id person)          YES shows the person's card
//   peoplePickerNavigationController:shouldContinueAfterSelectingPerson:property:identifier:
//       bool(Id picker, Id person, int64 property, int64 identifier)
//                                           YES runs the default action (call or write)
//   peoplePickerNavigationControllerDidCancel:
//       void(Id picker)                     the Cancel button
//
// The person is an `ABPerson`. A delegate that is missing, or lacks the
// first question, lets the picker go on to the card; one that lacks the
// second stops there. A picker whose delegate cannot hear about Cancel
// dismisses itself, so the user is never stuck inside it.
#pragma once

#include "ABAddressBook.h"

#include <uikit/UINavigationController.h>

namespace addressbook {

class ABPeoplePickerNavigationController : public uikit::UINavigationController {
    PLV_CLASS(ABPeoplePickerNavigationController, uikit::UINavigationController)
public:
    static void registerMethods(runtime::ClassBuilder<ABPeoplePickerNavigationController>&);

    // `init`: the list of people as the root screen, with a Cancel button.
    runtime::Id init();

    runtime::Id peoplePickerDelegate() const { return m_delegate.lock(); }
    void setPeoplePickerDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    // The phone's own book unless one was given before the list first shows.
    ABAddressBookRef addressBook();
    void setAddressBook(ABAddressBookRef book) { m_addressBook = std::move(book); }
    // The properties the card lists (kABPersonPhoneProperty, kABPersonEmailProperty);
    // both when none were given.
    const std::vector<int64_t>& displayedProperties() const { return m_displayedProperties; }
    void setDisplayedProperties(std::vector<int64_t>);

    // From the screens inside the picker.
    void didSelectPerson(const ABRecordRef&);
    void didSelectValue(const ABRecordRef&, ABPropertyID, ABMultiValueIdentifier);
    void cancel();

private:
    runtime::WeakId m_delegate;
    ABAddressBookRef m_addressBook;
    std::vector<int64_t> m_displayedProperties { kABPersonPhoneProperty, kABPersonEmailProperty };
};

} // namespace addressbook
