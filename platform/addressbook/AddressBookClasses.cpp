#include "AddressBookClasses.h"

#include "ABAddressBook.h"
#include "ABMembersViewController.h"
#include "ABPeoplePickerNavigationController.h"
#include "ABPersonViewController.h"

namespace addressbook {

void registerAddressBookClasses()
{
    ABAddressBook::classObject();
    ABPerson::classObject();
    ABMultiValue::classObject();
    ABPeoplePickerNavigationController::classObject();
    ABMembersViewController::classObject();
    ABPersonViewController::classObject();
}

} // namespace addressbook
