#include "ABPeoplePickerNavigationController.h"

#include "ABMembersViewController.h"
#include "ABPersonViewController.h"

#include <uikit/UIBarButtonItem.h>
#include <uikit/UINavigationItem.h>

namespace addressbook {

using runtime::Id;

namespace {

    constexpr const char* shouldContinueAfterPerson = "peoplePickerNavigationController:shouldContinueAfterSelectingPerson:";
    constexpr const char* shouldContinueAfterValue = "peoplePickerNavigationController:shouldContinueAfterSelectingPerson:property:identifier:";
    constexpr const char* didCancel = "peoplePickerNavigationControllerDidCancel:";

} // namespace

void ABPeoplePickerNavigationController::registerMethods(runtime::ClassBuilder<ABPeoplePickerNavigationController>& b)
{
    b.method<&ABPeoplePickerNavigationController::init>("init");
    b.method<&ABPeoplePickerNavigationController::peoplePickerDelegate>("peoplePickerDelegate");
    b.method<&ABPeoplePickerNavigationController::setPeoplePickerDelegate>("setPeoplePickerDelegate:");
    b.method("addressBook", [](ABPeoplePickerNavigationController& self) -> Id { return self.addressBook(); });
    b.method("setAddressBook:", [](ABPeoplePickerNavigationController& self, const Id& book) { self.setAddressBook(runtime::cast<ABAddressBook>(book)); });
    b.method("displayedProperties", [](ABPeoplePickerNavigationController& self) -> std::vector<int64_t> { return self.displayedProperties(); });
    b.method("setDisplayedProperties:", [](ABPeoplePickerNavigationController& self, const std::vector<int64_t>& properties) { self.setDisplayedProperties(properties); });
    b.method("_cancel:", [](ABPeoplePickerNavigationController& self, const Id&) { self.cancel(); });
}

Id ABPeoplePickerNavigationController::init()
{
    auto list = runtime::make<ABMembersViewController>();
    list->setPicker(selfAs<ABPeoplePickerNavigationController>());
    list->setTitle("All Contacts");
    auto item = list->navigationItem();
    item->setTitle("All Contacts");
    item->setRightBarButtonItem(uikit::UIBarButtonItem::withSystemItem(uikit::UIBarButtonSystemItemCancel, self(), "_cancel:"));
    return initWithRootViewController(list);
}

ABAddressBookRef ABPeoplePickerNavigationController::addressBook()
{
    if (!m_addressBook)
        m_addressBook = ABAddressBookCreate();
    return m_addressBook;
}

void ABPeoplePickerNavigationController::setDisplayedProperties(std::vector<int64_t> properties)
{
    m_displayedProperties = std::move(properties);
}

void ABPeoplePickerNavigationController::didSelectPerson(const ABRecordRef& person)
{
    if (!person)
        return;
    // The delegate usually dismisses (and lets go of) the picker while it answers.
    auto keepAlive = selfAs<ABPeoplePickerNavigationController>();
    Id delegate = peoplePickerDelegate();
    bool showCard = !runtime::respondsTo(delegate, shouldContinueAfterPerson) || runtime::send<bool>(delegate, shouldContinueAfterPerson, Id(keepAlive), Id(person));
    if (!showCard)
        return;
    auto card = runtime::make<ABPersonViewController>();
    card->setPicker(keepAlive);
    card->setDisplayedProperties(m_displayedProperties);
    card->setDisplayedPerson(person);
    pushViewController(card, true);
}

void ABPeoplePickerNavigationController::didSelectValue(const ABRecordRef& person, ABPropertyID property, ABMultiValueIdentifier identifier)
{
    auto keepAlive = selfAs<ABPeoplePickerNavigationController>();
    Id delegate = peoplePickerDelegate();
    if (!runtime::respondsTo(delegate, shouldContinueAfterValue))
        return;
    if (runtime::send<bool>(delegate, shouldContinueAfterValue, Id(keepAlive), Id(person), int64_t(property), int64_t(identifier)))
        performPersonDefaultAction(person, property, identifier);
}

void ABPeoplePickerNavigationController::cancel()
{
    auto keepAlive = selfAs<ABPeoplePickerNavigationController>();
    Id delegate = peoplePickerDelegate();
    if (runtime::respondsTo(delegate, didCancel)) {
        runtime::send(delegate, didCancel, Id(keepAlive));
        return;
    }
    dismissModalViewControllerAnimated(true);
}

} // namespace addressbook
