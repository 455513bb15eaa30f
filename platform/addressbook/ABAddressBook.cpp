#include "ABAddressBook.h"

#include "AddressBookStore.h"

#include <foundation/DevicePath.h>

namespace addressbook {

ABAddressBook::ABAddressBook() = default;

ABAddressBook::ABAddressBook(const std::filesystem::path& hostPath)
    : m_store(AddressBookStore::open(hostPath))
{
}

ABAddressBook::~ABAddressBook() = default;

ABAddressBookRef ABAddressBookCreate()
{
    if (!runtime::classNamed(ABAddressBook::className))
        return nullptr;
    return addressBookAtHostPath(foundation::hostPath(AddressBookDevicePath));
}

ABAddressBookRef addressBookAtHostPath(const std::filesystem::path& hostPath)
{
    return runtime::make<ABAddressBook>(hostPath);
}

ABRecordArray ABAddressBookCopyArrayOfAllPeople(const ABAddressBookRef& book)
{
    ABRecordArray people;
    if (!book || !book->store())
        return people;
    auto stored = book->store()->allPeople();
    people.reserve(stored.size());
    for (auto& person : stored)
        people.push_back(runtime::make<ABPerson>(std::move(person)));
    return people;
}

CFIndex ABAddressBookGetPersonCount(const ABAddressBookRef& book)
{
    if (!book || !book->store())
        return 0;
    return book->store()->personCount();
}

ABRecordRef ABAddressBookGetPersonWithRecordID(const ABAddressBookRef& book, ABRecordID recordID)
{
    if (!book || !book->store())
        return nullptr;
    auto stored = book->store()->person(recordID);
    return stored ? runtime::make<ABPerson>(std::move(*stored)) : nullptr;
}

CFIndex CFArrayGetCount(const ABRecordArray& array) { return static_cast<CFIndex>(array.size()); }

ABRecordRef CFArrayGetValueAtIndex(const ABRecordArray& array, CFIndex index)
{
    if (index < 0 || static_cast<size_t>(index) >= array.size())
        return nullptr;
    return array[static_cast<size_t>(index)];
}

} // namespace addressbook
