// Finds the display name of the person who owns a phone number or an e-mail
// address, for naming the other side of a conversation. Numbers match across
// the ways of writing them (see PhoneNumber.h). It reads the whole Address
// Book once and reads it again when the database file has changed since, so
// contacts added while the phone runs are found. Main thread only.
#pragma once

#include "PhoneNumber.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace addressbook {

class ContactNameResolver {
public:
    explicit ContactNameResolver(std::filesystem::path databaseHostPath, std::string defaultCountryCode = std::string(DefaultCountryCode));
    // Over the phone's own Address Book, at its device path under the device root.
    static ContactNameResolver forPhoneAddressBook();

    // The owner's composite name (ABRecordCopyCompositeName). When several
    // people own the address, the one with the lowest record id that has a
    // name. Nothing for an unknown address, an owner without any name, or
    // an address that is neither a phone number nor an e-mail address.
    std::optional<std::string> displayNameForAddress(std::string_view address);

private:
    struct FileStamp {
        bool exists { false };
        int64_t modifiedSeconds { 0 };
        int64_t modifiedNanoseconds { 0 };
        int64_t size { 0 };
        uint64_t inode { 0 }; // a file replaced by another one

        bool operator==(const FileStamp&) const = default;
    };
    void reloadIfChanged();

    std::filesystem::path m_path;
    std::string m_defaultCountryCode;
    std::optional<std::pair<FileStamp, FileStamp>> m_loadedStamp; // the file and its write-ahead log
    std::unordered_map<std::string, std::string> m_nameByPhone;
    std::unordered_map<std::string, std::string> m_nameByEmail;
};

} // namespace addressbook
