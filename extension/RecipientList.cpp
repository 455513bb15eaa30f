#include "RecipientList.h"

#include <foundation/Strings.h>

#include <algorithm>
#include <cstring>
#include <string.h>

namespace parlivo {

using namespace addressbook;

namespace {

    bool isAscii(std::string_view text)
    {
        return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }

    // Lower-casing and full case folding agree with plain ASCII lower-casing
    // on ASCII text, which most names are; ICU is only asked about the rest.
    std::string asciiLowercase(std::string_view text)
    {
        std::string result(text);
        for (char& c : result) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return result;
    }

    // A name as the sort and the search see it, computed once per person and
    // shared by all of that person's records.
    struct Pending {
        std::string sortKey;
        std::string folded;
        size_t firstRecord { 0 };
        size_t recordCount { 0 };
    };

    void addValues(const ABMultiValueRef& values, const std::string& name, std::vector<RecipientRef>& records)
    {
        CFIndex count = ABMultiValueGetCount(values);
        for (CFIndex j = 0; j < count; ++j) {
            auto value = ABMultiValueCopyValueAtIndex(values, j);
            if (!value || value->empty())
                continue;
            auto record = std::make_shared<RecipientRecord>();
            record->name = name;
            record->number = std::move(*value);
            records.push_back(std::move(record));
        }
    }

} // namespace

std::string RecipientList::displayName(const std::optional<std::string>& first, const std::optional<std::string>& last)
{
    if (first && last)
        return *first + " " + *last;
    if (last)
        return *last;
    if (first)
        return *first;
    return std::string(UnknownName);
}

std::string RecipientList::sortKey(std::string_view name)
{
    return isAscii(name) ? asciiLowercase(name) : foundation::lowercase(name);
}

std::string RecipientList::searchKey(std::string_view name)
{
    return isAscii(name) ? asciiLowercase(name) : foundation::foldCase(name);
}

RecipientList RecipientList::build(const RecipientSources& sources)
{
    std::vector<RecipientRef> records;
    std::vector<Pending> named;

    if (sources.addressBook) {
        auto everyone = ABAddressBookCopyArrayOfAllPeople(sources.addressBook);
        CFIndex count = ABAddressBookGetPersonCount(sources.addressBook);
        records.reserve(static_cast<size_t>(count) * (sources.includeEmails ? 3 : 2));
        named.reserve(static_cast<size_t>(count) + sources.groups.size());
        for (CFIndex i = 0; i < count; ++i) {
            auto person = CFArrayGetValueAtIndex(everyone, i);
            if (!person)
                continue;
            std::string name = displayName(ABRecordCopyValue(person, kABPersonFirstNameProperty), ABRecordCopyValue(person, kABPersonLastNameProperty));
            size_t first = records.size();
            addValues(ABRecordCopyValue(person, kABPersonPhoneProperty), name, records);
            if (sources.includeEmails)
                addValues(ABRecordCopyValue(person, kABPersonEmailProperty), name, records);
            if (records.size() == first)
                continue;
            named.push_back({ sortKey(name), searchKey(name), first, records.size() - first });
        }
    }

    for (const foundation::PlistValue& group : sources.groups) {
        const foundation::PlistDictionary* fields = group.asDictionary();
        const foundation::PlistValue* name = fields ? fields->find("name") : nullptr;
        const foundation::PlistValue* members = fields ? fields->find("members") : nullptr;
        if (!name || !name->isString() || !members || !members->isArray())
            continue;
        auto record = std::make_shared<RecipientRecord>();
        record->name = *name->asString();
        record->number = std::string(GroupNumber);
        record->members = *members->asArray();
        record->groupFields = *fields;
        record->groupFields.set("number", foundation::PlistValue(GroupNumber));
        record->isGroup = true;
        named.push_back({ sortKey(record->name), searchKey(record->name), records.size(), 1 });
        records.push_back(std::move(record));
    }

    // Sorting the names rather than the records keeps a person's numbers
    // together and sorts each name once.
    std::stable_sort(named.begin(), named.end(), [](const Pending& a, const Pending& b) { return a.sortKey < b.sortKey; });

    RecipientList list;
    size_t favoriteCount = 0;
    for (const foundation::PlistValue& favorite : sources.favorites) {
        const foundation::PlistDictionary* entry = favorite.asDictionary();
        if (entry && entry->size() == 1 && entry->entryAt(0).second.isString())
            ++favoriteCount;
    }
    list.m_people.reserve(records.size() + favoriteCount);
    list.m_nameStarts.reserve(records.size() + favoriteCount);

    // Each favourite goes to the head as it is read, so the last read leads.
    std::vector<std::pair<RecipientRef, std::string>> favorites;
    favorites.reserve(favoriteCount);
    for (const foundation::PlistValue& favorite : sources.favorites) {
        const foundation::PlistDictionary* entry = favorite.asDictionary();
        if (!entry || entry->size() != 1 || !entry->entryAt(0).second.isString())
            continue;
        auto record = std::make_shared<RecipientRecord>();
        record->number = entry->entryAt(0).first;
        record->name = *entry->entryAt(0).second.asString();
        record->isFavorite = true;
        std::string folded = searchKey(record->name);
        favorites.emplace_back(std::move(record), std::move(folded));
    }
    for (auto it = favorites.rbegin(); it != favorites.rend(); ++it)
        list.append(std::move(it->first), it->second);
    list.m_numberOfFavorites = favorites.size();

    for (const Pending& entry : named) {
        for (size_t i = 0; i < entry.recordCount; ++i)
            list.append(std::move(records[entry.firstRecord + i]), entry.folded);
    }
    return list;
}

void RecipientList::append(RecipientRef record, std::string_view folded)
{
    m_nameStarts.push_back(static_cast<uint32_t>(m_foldedNames.size()));
    m_foldedNames.append(folded);
    // A separator no typed text contains, so no match spans two names.
    m_foldedNames.push_back('\0');
    m_people.push_back(std::move(record));
}

void RecipientList::filter(std::string_view text, std::vector<RecipientRef>& into) const
{
    into.clear();
    if (text.empty()) {
        into.assign(m_people.begin(), m_people.end());
        return;
    }
    std::string term = searchKey(text);
    if (term.empty() || term.find('\0') != std::string::npos)
        return;
    const char* base = m_foldedNames.data();
    size_t size = m_foldedNames.size();
    size_t position = 0;
    while (position < size) {
        const void* hit = ::memmem(base + position, size - position, term.data(), term.size());
        if (!hit)
            break;
        auto at = static_cast<uint32_t>(static_cast<const char*>(hit) - base);
        size_t index = static_cast<size_t>(std::upper_bound(m_nameStarts.begin(), m_nameStarts.end(), at) - m_nameStarts.begin()) - 1;
        into.push_back(m_people[index]);
        // One entry per record, however often its name holds the text.
        position = index + 1 < m_nameStarts.size() ? m_nameStarts[index + 1] : size;
    }
}

std::vector<RecipientRef> RecipientList::filtered(std::string_view text) const
{
    std::vector<RecipientRef> result;
    filter(text, result);
    return result;
}

} // namespace parlivo
