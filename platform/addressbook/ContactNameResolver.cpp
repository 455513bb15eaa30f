#include "ContactNameResolver.h"

#include "ABAddressBook.h"

#include <foundation/DevicePath.h>

#include <sys/stat.h>

namespace addressbook {

ContactNameResolver::ContactNameResolver(std::filesystem::path databaseHostPath, std::string defaultCountryCode)
    : m_path(std::move(databaseHostPath))
    , m_defaultCountryCode(std::move(defaultCountryCode))
{
}

ContactNameResolver ContactNameResolver::forPhoneAddressBook()
{
    return ContactNameResolver(foundation::hostPath(AddressBookDevicePath));
}

std::optional<std::string> ContactNameResolver::displayNameForAddress(std::string_view address)
{
    reloadIfChanged();
    if (looksLikeEmailAddress(address)) {
        auto key = canonicalEmailAddress(address);
        if (!key)
            return std::nullopt;
        auto found = m_nameByEmail.find(*key);
        return found == m_nameByEmail.end() ? std::nullopt : std::optional(found->second);
    }
    auto key = canonicalPhoneNumber(address, m_defaultCountryCode);
    if (!key)
        return std::nullopt;
    auto found = m_nameByPhone.find(*key);
    return found == m_nameByPhone.end() ? std::nullopt : std::optional(found->second);
}

void ContactNameResolver::reloadIfChanged()
{
    // One stat per file: this runs before every lookup.
    auto stampOf = [](const std::filesystem::path& path) {
        FileStamp stamp;
        struct stat status { };
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            return stamp;
        stamp.exists = true;
        stamp.modifiedSeconds = status.st_mtim.tv_sec;
        stamp.modifiedNanoseconds = status.st_mtim.tv_nsec;
        stamp.size = status.st_size;
        stamp.inode = status.st_ino;
        return stamp;
    };
    auto wal = m_path;
    wal += "-wal";
    std::pair stamps { stampOf(m_path), stampOf(wal) };
    if (m_loadedStamp == stamps)
        return;
    m_loadedStamp = stamps;
    m_nameByPhone.clear();
    m_nameByEmail.clear();

    auto people = ABAddressBookCopyArrayOfAllPeople(addressBookAtHostPath(m_path));
    for (const auto& person : people) {
        auto name = ABRecordCopyCompositeName(person);
        if (!name)
            continue;
        // People come in record-id order, so the first owner keeps the address.
        auto phones = ABRecordCopyValue(person, kABPersonPhoneProperty);
        for (CFIndex i = 0; i < ABMultiValueGetCount(phones); ++i) {
            if (auto value = ABMultiValueCopyValueAtIndex(phones, i)) {
                if (auto key = canonicalPhoneNumber(*value, m_defaultCountryCode))
                    m_nameByPhone.try_emplace(std::move(*key), *name);
            }
        }
        auto emails = ABRecordCopyValue(person, kABPersonEmailProperty);
        for (CFIndex i = 0; i < ABMultiValueGetCount(emails); ++i) {
            if (auto value = ABMultiValueCopyValueAtIndex(emails, i)) {
                if (auto key = canonicalEmailAddress(*value))
                    m_nameByEmail.try_emplace(std::move(*key), *name);
            }
        }
    }
}

} // namespace addressbook
