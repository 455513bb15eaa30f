#include "RecipientList.h"

#include <foundation/Strings.h>

#include <algorithm>
#include <cstring>

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
    // For ASCII names the two keys are the same text, so `folded` is left
    // empty and the sort key serves for both.
    struct Pending {
        std::string sortKey;
        std::string folded;
        size_t firstRecord { 0 };
        size_t recordCount { 0 };

        std::string_view searchKey() const { return folded.empty() ? std::string_view(sortKey) : std::string_view(folded); }
    };

    Pending pendingFor(std::string_view name, size_t firstRecord, size_t recordCount)
    {
        if (isAscii(name))
            return { asciiLowercase(name), std::string {}, firstRecord, recordCount };
        return { foundation::lowercase(name), foundation::foldCase(name), firstRecord, recordCount };
    }

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
            named.push_back(pendingFor(name, first, records.size() - first));
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
        named.push_back(pendingFor(record->name, records.size(), 1));
        records.push_back(std::move(record));
    }

    // Sorting the names rather than the records keeps a person's numbers
    // together and sorts each name once; sorting positions moves no strings.
    std::vector<uint32_t> order(named.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&named](uint32_t a, uint32_t b) {
        int compared = named[a].sortKey.compare(named[b].sortKey);
        return compared < 0 || (compared == 0 && a < b);
    });

    RecipientList list;
    size_t favoriteCount = 0;
    for (const foundation::PlistValue& favorite : sources.favorites) {
        const foundation::PlistDictionary* entry = favorite.asDictionary();
        if (entry && entry->size() == 1 && entry->entryAt(0).second.isString())
            ++favoriteCount;
    }
    list.m_people.reserve(records.size() + favoriteCount);
    list.m_everyone.reserve(records.size() + favoriteCount);
    list.m_nameStarts.reserve(records.size() + favoriteCount);
    size_t foldedBytes = 0;
    for (const Pending& entry : named)
        foldedBytes += (entry.searchKey().size() + 1) * entry.recordCount;
    list.m_foldedNames.reserve(foldedBytes + favoriteCount * 32);

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

    for (uint32_t position : order) {
        const Pending& entry = named[position];
        for (size_t i = 0; i < entry.recordCount; ++i)
            list.append(std::move(records[entry.firstRecord + i]), entry.searchKey());
    }
    return list;
}

void RecipientList::append(RecipientRef record, std::string_view folded)
{
    m_nameStarts.push_back(static_cast<uint32_t>(m_foldedNames.size()));
    m_foldedNames.append(folded);
    // A separator no typed text contains, so no match spans two names.
    m_foldedNames.push_back('\0');
    m_everyone.push_back(record.get());
    m_people.push_back(std::move(record));
}

void RecipientList::filter(std::string_view text, RecipientMatches& into) const
{
    into.clear();
    if (text.empty()) {
        into = m_everyone;
        return;
    }
    std::string term = searchKey(text);
    if (term.empty() || term.find('\0') != std::string::npos)
        return;
    const char* base = m_foldedNames.data();
    const size_t size = m_foldedNames.size();
    const size_t count = m_nameStarts.size();
    const char first = term[0];
    const char* rest = term.data() + 1;
    const size_t restLength = term.size() - 1;
    size_t position = 0;
    size_t index = 0;
    while (position + term.size() <= size) {
        const void* found = std::memchr(base + position, first, size - position - restLength);
        if (!found)
            break;
        auto at = static_cast<size_t>(static_cast<const char*>(found) - base);
        if (restLength && std::memcmp(base + at + 1, rest, restLength) != 0) {
            position = at + 1;
            continue;
        }
        // Matches come in order, so the record is found by walking on.
        while (index + 1 < count && m_nameStarts[index + 1] <= at)
            ++index;
        into.push_back(m_everyone[index]);
        // One entry per record, however often its name holds the text.
        if (index + 1 >= count)
            break;
        position = m_nameStarts[index + 1];
    }
}

RecipientMatches RecipientList::filtered(std::string_view text) const
{
    RecipientMatches result;
    filter(text, result);
    return result;
}

} // namespace parlivo
