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

    // A name as the sort and the search see it, computed once per name and
    // shared by all the records under it (a person's numbers and addresses).
    // Both keys are kept in one text buffer while the list is built, so a
    // name costs no allocation of its own; for ASCII names the two keys are
    // the same text. The first eight bytes of the sort key, as a big-endian
    // number, settle most comparisons of the sort without reaching the text.
    struct Pending {
        uint64_t prefix { 0 };
        std::pair<size_t, size_t> sortKey;
        std::pair<size_t, size_t> folded;
        std::pair<size_t, size_t> name;
        size_t firstRecord { 0 };
        size_t recordCount { 0 };
    };

    class Keys {
    public:
        void reserve(size_t names) { m_text.reserve(names * 24); }

        // Lower-casing and full case folding agree with plain ASCII
        // lower-casing on ASCII text, which most names are; ICU is only
        // asked about the rest.
        Pending pendingFor(std::string_view name, std::pair<size_t, size_t> place, size_t firstRecord, size_t recordCount)
        {
            Pending pending;
            pending.name = place;
            pending.firstRecord = firstRecord;
            pending.recordCount = recordCount;
            if (isAscii(name)) {
                size_t offset = m_text.size();
                for (char c : name)
                    m_text.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
                pending.sortKey = pending.folded = { offset, name.size() };
            } else {
                pending.sortKey = add(foundation::lowercase(name));
                pending.folded = add(foundation::foldCase(name));
            }
            std::string_view key = at(pending.sortKey);
            for (size_t i = 0; i < sizeof(pending.prefix); ++i)
                pending.prefix = (pending.prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0);
            return pending;
        }

        std::string_view at(std::pair<size_t, size_t> place) const { return std::string_view(m_text).substr(place.first, place.second); }

    private:
        std::pair<size_t, size_t> add(std::string_view text)
        {
            size_t offset = m_text.size();
            m_text.append(text);
            return { offset, text.size() };
        }

        std::string m_text;
    };

    std::string asciiLowercase(std::string_view text)
    {
        std::string result(text);
        for (char& c : result) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return result;
    }

    // One record per value, with no name yet: the caller names them all at once.
    void addValues(const ABMultiValueRef& values, std::vector<RecipientRecord>& records)
    {
        CFIndex count = ABMultiValueGetCount(values);
        for (CFIndex j = 0; j < count; ++j) {
            auto value = ABMultiValueCopyValueAtIndex(values, j);
            if (!value || value->empty())
                continue;
            records.emplace_back().number = std::move(*value);
        }
    }

} // namespace

std::pair<size_t, size_t> RecipientList::addName(std::string_view name)
{
    size_t offset = m_names.size();
    m_names.insert(m_names.end(), name.begin(), name.end());
    return { offset, name.size() };
}

std::pair<size_t, size_t> RecipientList::addName(const std::optional<std::string>& first, const std::optional<std::string>& last)
{
    if (!first || !last)
        return addName(first ? *first : last ? *last
                                             : UnknownName);
    size_t offset = m_names.size();
    m_names.insert(m_names.end(), first->begin(), first->end());
    m_names.push_back(' ');
    m_names.insert(m_names.end(), last->begin(), last->end());
    return { offset, m_names.size() - offset };
}

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
    RecipientList list;
    std::vector<RecipientRecord>& records = list.m_records;
    std::vector<Pending> named;
    Keys keys;

    size_t favoriteCount = 0;
    for (const foundation::PlistValue& favorite : sources.favorites) {
        const foundation::PlistDictionary* entry = favorite.asDictionary();
        if (entry && entry->size() == 1 && entry->entryAt(0).second.isString())
            ++favoriteCount;
    }

    if (sources.addressBook) {
        auto everyone = ABAddressBookCopyArrayOfAllPeople(sources.addressBook);
        CFIndex count = ABAddressBookGetPersonCount(sources.addressBook);
        records.reserve(static_cast<size_t>(count) * (sources.includeEmails ? 3 : 2) + sources.groups.size() + favoriteCount);
        named.reserve(static_cast<size_t>(count) + sources.groups.size());
        keys.reserve(static_cast<size_t>(count) + sources.groups.size());
        for (CFIndex i = 0; i < count; ++i) {
            auto person = CFArrayGetValueAtIndex(everyone, i);
            if (!person)
                continue;
            size_t first = records.size();
            addValues(ABRecordCopyValue(person, kABPersonPhoneProperty), records);
            if (sources.includeEmails)
                addValues(ABRecordCopyValue(person, kABPersonEmailProperty), records);
            if (records.size() == first)
                continue;
            auto place = list.addName(ABRecordCopyValue(person, kABPersonFirstNameProperty), ABRecordCopyValue(person, kABPersonLastNameProperty));
            named.push_back(keys.pendingFor(list.nameAt(place), place, first, records.size() - first));
        }
    }

    for (const foundation::PlistValue& group : sources.groups) {
        const foundation::PlistDictionary* fields = group.asDictionary();
        const foundation::PlistValue* name = fields ? fields->find("name") : nullptr;
        const foundation::PlistValue* members = fields ? fields->find("members") : nullptr;
        if (!name || !name->isString() || !members || !members->isArray())
            continue;
        auto details = std::make_unique<RecipientGroup>(RecipientGroup { *members->asArray(), *fields });
        details->fields.set("number", foundation::PlistValue(GroupNumber));
        RecipientRecord& record = records.emplace_back();
        record.number = std::string(GroupNumber);
        record.group = std::move(details);
        auto place = list.addName(*name->asString());
        named.push_back(keys.pendingFor(list.nameAt(place), place, records.size() - 1, 1));
    }

    // Sorting the names rather than the records keeps a person's entries
    // together and sorts each name once; sorting positions moves no strings.
    std::vector<uint32_t> order(named.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&named, &keys](uint32_t a, uint32_t b) {
        const Pending& left = named[a];
        const Pending& right = named[b];
        if (left.prefix != right.prefix)
            return left.prefix < right.prefix;
        int compared = keys.at(left.sortKey).compare(keys.at(right.sortKey));
        return compared < 0 || (compared == 0 && a < b);
    });

    // Each favourite goes to the head as it is read, so the last read leads.
    // The records are all made before the first pointer to one is taken.
    size_t firstFavorite = records.size();
    std::vector<std::pair<size_t, size_t>> favoriteNames;
    favoriteNames.reserve(favoriteCount);
    for (const foundation::PlistValue& favorite : sources.favorites) {
        const foundation::PlistDictionary* entry = favorite.asDictionary();
        if (!entry || entry->size() != 1 || !entry->entryAt(0).second.isString())
            continue;
        RecipientRecord& record = records.emplace_back();
        record.number = entry->entryAt(0).first;
        record.isFavorite = true;
        favoriteNames.push_back(list.addName(*entry->entryAt(0).second.asString()));
    }
    list.m_numberOfFavorites = records.size() - firstFavorite;

    // The names are all in place, so the records can point at them now.
    for (const Pending& entry : named) {
        for (size_t i = 0; i < entry.recordCount; ++i)
            records[entry.firstRecord + i].name = list.nameAt(entry.name);
    }
    for (size_t i = 0; i < favoriteNames.size(); ++i)
        records[firstFavorite + i].name = list.nameAt(favoriteNames[i]);

    list.m_everyone.reserve(records.size());
    list.m_nameStarts.reserve(named.size() + list.m_numberOfFavorites);
    list.m_nameRecords.reserve(named.size() + list.m_numberOfFavorites);
    size_t foldedBytes = 0;
    for (const Pending& entry : named)
        foldedBytes += entry.folded.second + 1;
    list.m_foldedNames.reserve(foldedBytes + list.m_numberOfFavorites * 32);

    for (size_t r = records.size(); r > firstFavorite; --r) {
        const RecipientRecord& favorite = records[r - 1];
        list.appendName(searchKey(favorite.name), &favorite, 1);
    }
    for (uint32_t position : order) {
        const Pending& entry = named[position];
        list.appendName(keys.at(entry.folded), &records[entry.firstRecord], entry.recordCount);
    }
    return list;
}

void RecipientList::appendName(std::string_view folded, const RecipientRecord* first, size_t count)
{
    m_nameStarts.push_back(static_cast<uint32_t>(m_foldedNames.size()));
    m_nameRecords.push_back(static_cast<uint32_t>(m_everyone.size()));
    m_foldedNames.append(folded);
    // A separator no typed text contains, so no match spans two names.
    m_foldedNames.push_back('\0');
    for (size_t i = 0; i < count; ++i)
        m_everyone.push_back(first + i);
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
        // Matches come in order, so the name is found by walking on.
        while (index + 1 < count && m_nameStarts[index + 1] <= at)
            ++index;
        // Every record under the name, once, however often the name holds the text.
        size_t end = index + 1 < count ? m_nameRecords[index + 1] : m_everyone.size();
        into.insert(into.end(), m_everyone.begin() + m_nameRecords[index], m_everyone.begin() + static_cast<std::ptrdiff_t>(end));
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
