// Making and filling an AddressBook.sqlitedb: the schema the phone uses
// (tables, columns and indexes of the device's file, without the device's
// triggers) and a writer that adds people with their labelled phone numbers
// and e-mail addresses. The demo seeder and the tests build their books
// with it.
#pragma once

#include "PersonData.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <unordered_set>

namespace addressbook {

namespace sqlite {
    class Connection;
}

// Creates the file (and its folders) with the Address Book's tables, or
// adds the missing tables to an existing Address Book. False, with the file
// untouched, when a file is there that is not a sound SQLite database.
bool createAddressBookDatabase(const std::filesystem::path& hostPath);

class AddressBookWriter {
public:
    // Nothing unless the file exists, passes SQLite's consistency check and
    // has the person and value tables; nothing is ever written otherwise.
    static std::unique_ptr<AddressBookWriter> open(const std::filesystem::path& hostPath);
    ~AddressBookWriter();

    // The new person's record id, or nothing when the write failed (and
    // then nothing of that person is stored).
    std::optional<int64_t> addPerson(const PersonData&);
    // All in one transaction: every person is stored, or none.
    bool addPeople(std::span<const PersonData>);
    // The person and their values; false when there was no such person.
    bool removePerson(int64_t recordID);

private:
    explicit AddressBookWriter(std::unique_ptr<sqlite::Connection>);
    std::optional<int64_t> insertPerson(const PersonData&);
    bool insertValues(int64_t recordID, MultiValueProperty, const std::vector<LabeledValue>&);
    std::optional<int64_t> labelRow(const std::string& label);

    std::unique_ptr<sqlite::Connection> m_connection;
    std::unordered_set<std::string> m_personColumns;
    bool m_hasLabels { false };
    bool m_hasIdentifiers { false };
    bool m_hasLastFour { false };
};

} // namespace addressbook
