#include "PeopleIndex.h"

#include <unicode/alphaindex.h>
#include <unicode/coll.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>

namespace addressbook {

namespace {

    constexpr std::string_view OtherSection = "#";

    // Last name first: the key the list sorts and indexes by.
    std::string sortName(const ABRecordRef& person)
    {
        std::string key;
        for (const auto* part : { &person->lastName(), &person->firstName(), &person->middleName() }) {
            if (!*part)
                continue;
            if (!key.empty())
                key += ' ';
            key += **part;
        }
        if (key.empty())
            key = person->organization().value_or("");
        return key;
    }

    std::unique_ptr<icu::Collator> makeCollator()
    {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getItalian(), status));
        if (U_FAILURE(status))
            return nullptr;
        return collator;
    }

} // namespace

std::string pickerDisplayName(const ABRecordRef& person) { return ABRecordCopyCompositeName(person).value_or("No Name"); }

std::vector<PeopleSection> indexPeople(const std::vector<ABRecordRef>& people)
{
    struct Entry {
        ABRecordRef person;
        icu::UnicodeString key;
        std::string sortKey;
    };
    std::vector<Entry> entries;
    entries.reserve(people.size());
    auto collator = makeCollator();
    for (const auto& person : people) {
        if (!person)
            continue;
        Entry entry { person, icu::UnicodeString::fromUTF8(sortName(person)), {} };
        if (collator) {
            int32_t length = collator->getSortKey(entry.key, nullptr, 0);
            entry.sortKey.resize(static_cast<size_t>(length));
            collator->getSortKey(entry.key, reinterpret_cast<uint8_t*>(entry.sortKey.data()), length);
        } else {
            entry.key.toUTF8String(entry.sortKey);
        }
        entries.push_back(std::move(entry));
    }
    // Record order settles people whose names collate the same.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.sortKey < b.sortKey; });

    UErrorCode status = U_ZERO_ERROR;
    icu::AlphabeticIndex index(icu::Locale::getItalian(), status);
    std::unique_ptr<icu::AlphabeticIndex::ImmutableIndex> buckets;
    if (U_SUCCESS(status))
        buckets.reset(index.buildImmutableIndex(status));
    if (U_FAILURE(status))
        buckets.reset();

    std::vector<PeopleSection> sections;
    PeopleSection other { std::string(OtherSection), {} };
    for (auto& entry : entries) {
        std::string title;
        if (buckets && !entry.key.isEmpty()) {
            UErrorCode bucketStatus = U_ZERO_ERROR;
            int32_t bucketIndex = buckets->getBucketIndex(entry.key, bucketStatus);
            const auto* bucket = U_SUCCESS(bucketStatus) ? buckets->getBucket(bucketIndex) : nullptr;
            if (bucket && bucket->getLabelType() == U_ALPHAINDEX_NORMAL)
                bucket->getLabel().toUTF8String(title);
        }
        if (title.empty()) {
            other.people.push_back(std::move(entry.person));
            continue;
        }
        if (sections.empty() || sections.back().title != title)
            sections.push_back({ title, {} });
        sections.back().people.push_back(std::move(entry.person));
    }
    if (!other.people.empty())
        sections.push_back(std::move(other));
    return sections;
}

} // namespace addressbook
