// The Address Book handle and the C interface the system reads contacts
// through, with the platform's names. Ownership is C++'s: what the platform
// hands over with Copy or Create is a smart pointer here, so nothing is
// released by hand. A handle whose database is missing, empty or damaged is
// still a handle: it answers no people and a count of 0.
#pragma once

#include "ABPerson.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace addressbook {

class AddressBookStore;

inline constexpr std::string_view AddressBookDevicePath = "/var/mobile/Library/AddressBook/AddressBook.sqlitedb";

class ABAddressBook : public runtime::Object {
    PLV_CLASS(ABAddressBook, runtime::Object)
public:
    ABAddressBook();
    explicit ABAddressBook(const std::filesystem::path& hostPath);
    ~ABAddressBook() override;

    // Null when the database could not be opened.
    AddressBookStore* store() const { return m_store.get(); }

private:
    std::unique_ptr<AddressBookStore> m_store;
};

using ABAddressBookRef = runtime::Ref<ABAddressBook>;
using ABRecordArray = std::vector<ABRecordRef>;

// The phone's own book, at its device path under the device root. Nil when
// the Address Book framework is absent (its class removed from the runtime).
ABAddressBookRef ABAddressBookCreate();
// A book over any database file on the host (simulator, tests, benchmarks).
ABAddressBookRef addressBookAtHostPath(const std::filesystem::path&);

ABRecordArray ABAddressBookCopyArrayOfAllPeople(const ABAddressBookRef&);
CFIndex ABAddressBookGetPersonCount(const ABAddressBookRef&);
ABRecordRef ABAddressBookGetPersonWithRecordID(const ABAddressBookRef&, ABRecordID);

// The count and the record at an index; an index outside the array answers
// nil, because callers loop up to ABAddressBookGetPersonCount, which can
// differ from the array's size when the database changes in between.
CFIndex CFArrayGetCount(const ABRecordArray&);
ABRecordRef CFArrayGetValueAtIndex(const ABRecordArray&, CFIndex);

} // namespace addressbook
