// Read access to an AddressBook.sqlitedb: people with their names, phone
// numbers and e-mail addresses. Columns are chosen by name, so files copied
// from a device (extra columns, another column order, an older or newer
// schema) read the same as the ones the writer makes. The file is opened
// read-only and never created.
#pragma once

#include "PersonData.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace addressbook {

namespace sqlite {
    class Connection;
}

class AddressBookStore {
public:
    // Nothing when the file is missing or is not a readable database. An
    // empty file, or a database without the Address Book's tables, opens and
    // holds nobody.
    static std::unique_ptr<AddressBookStore> open(const std::filesystem::path& hostPath);
    ~AddressBookStore();

    int64_t personCount();
    // Everyone, in record-id order, each with their phone numbers and e-mail
    // addresses in stored order. A read error gives an empty list rather
    // than a partial one.
    std::vector<StoredPerson> allPeople();
    std::optional<StoredPerson> person(int64_t recordID);

private:
    explicit AddressBookStore(std::unique_ptr<sqlite::Connection>);
    std::vector<StoredPerson> readPeople(std::optional<int64_t> onlyRecord);
    // The label table by rowid; nothing on a read error.
    std::optional<std::unordered_map<int64_t, std::string>> readLabels();

    std::unique_ptr<sqlite::Connection> m_connection;
    std::string m_personQuery;
    std::string m_valueQuery;
    bool m_hasPeople { false };
    bool m_hasValues { false };
    bool m_hasLabels { false };
};

} // namespace addressbook
