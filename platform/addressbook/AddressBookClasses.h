// Defines the Address Book's runtime classes, so that looking them up by
// name finds them once the phone has booted.
#pragma once

namespace addressbook {

void registerAddressBookClasses();

} // namespace addressbook
