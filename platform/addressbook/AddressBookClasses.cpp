#include "AddressBookClasses.h"

#include "ABAddressBook.h"

namespace addressbook {

void registerAddressBookClasses()
{
    ABAddressBook::classObject();
    ABPerson::classObject();
    ABMultiValue::classObject();
}

} // namespace addressbook
