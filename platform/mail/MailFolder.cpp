#include "MailFolder.h"

#include <foundation/DevicePath.h>
#include <foundation/FileIo.h>
#include <foundation/Uuid.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>

namespace mail {

namespace fs = std::filesystem;

namespace {

    // "<digits>.eml" with a number that fits; anything else is not ours.
    std::optional<uint64_t> numberOfFile(const std::string& name)
    {
        constexpr std::string_view MailSuffix = ".eml";
        if (name.size() <= MailSuffix.size() || !name.ends_with(MailSuffix))
            return std::nullopt;
        std::string_view digits(name.data(), name.size() - MailSuffix.size());
        if (digits.size() > 18 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        uint64_t number = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (number == 0)
            return std::nullopt;
        return number;
    }

} // namespace

MailFolder::MailFolder(std::string_view devicePath)
    : m_devicePath(devicePath)
{
}

std::vector<MailFolder::Entry> MailFolder::entries() const
{
    std::vector<Entry> result;
    fs::path folder = foundation::hostPath(m_devicePath);
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error))
        return result;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::string name = it->path().filename().string();
        if (auto number = numberOfFile(name))
            result.push_back({ *number, m_devicePath + "/" + name });
    }
    std::sort(result.begin(), result.end(), [](const Entry& a, const Entry& b) { return a.number < b.number; });
    return result;
}

std::optional<MailFolder::Entry> MailFolder::add(std::string_view bytes) const
{
    if (!foundation::createDeviceDirectory(m_devicePath, foundation::Intermediates::Yes))
        return std::nullopt;
    fs::path folder = foundation::hostPath(m_devicePath);
    fs::path temporary = folder / (".incoming-" + foundation::uuidString());
    if (!foundation::writeFileAtomically(temporary, bytes))
        return std::nullopt;

    std::optional<Entry> stored;
    uint64_t next = 1;
    if (auto existing = entries(); !existing.empty())
        next = existing.back().number + 1;
    // A link never replaces an existing name, so a number another writer took
    // in the meantime is simply skipped.
    for (int attempt = 0; attempt < 1000 && !stored; ++attempt, ++next) {
        std::string name = std::to_string(next) + ".eml";
        if (foundation::fileio::linkFile(temporary, folder / name))
            stored = Entry { next, m_devicePath + "/" + name };
        else if (errno != EEXIST)
            break;
    }
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return stored;
}

std::optional<std::string> MailFolder::read(const Entry& entry, uint64_t maxBytes) const
{
    auto result = foundation::readDeviceFile(entry.devicePath, maxBytes);
    if (!result)
        return std::nullopt;
    return std::string(result->begin(), result->end());
}

std::vector<StoredMail> MailFolder::messages() const
{
    std::vector<StoredMail> result;
    for (const auto& entry : entries()) {
        auto bytes = read(entry);
        if (!bytes)
            continue;
        if (auto message = readMime(*bytes))
            result.push_back({ entry.number, entry.devicePath, std::move(*message) });
    }
    return result;
}

} // namespace mail
