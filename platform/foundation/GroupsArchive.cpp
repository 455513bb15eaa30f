#include "GroupsArchive.h"

#include "SystemLog.h"

#include <optional>

namespace foundation {

namespace {

    std::optional<PlistValue> usableMember(const PlistValue& member, bool& normalised)
    {
        const PlistDictionary* fields = member.asDictionary();
        if (!fields)
            return std::nullopt;
        const PlistValue* contact = fields->find("contact");
        const PlistValue* isNumber = fields->find("isNumber");
        if (!contact || !contact->isString() || !isNumber)
            return std::nullopt;
        if (isNumber->isBoolean())
            return member;
        // An archiver may keep the flag as a plain number; the sender tests
        // it as a boolean, so it is handed on as one.
        auto number = isNumber->asInteger();
        if (!number)
            return std::nullopt;
        PlistDictionary withFlag = *fields;
        withFlag.set("isNumber", PlistValue(*number != 0));
        normalised = true;
        return PlistValue(std::move(withFlag));
    }

    std::optional<PlistValue> usableGroup(const PlistValue& record)
    {
        const PlistDictionary* fields = record.asDictionary();
        if (!fields)
            return std::nullopt;
        const PlistValue* name = fields->find("name");
        const PlistValue* members = fields->find("members");
        if (!name || !name->isString() || !members || !members->isArray())
            return std::nullopt;
        PlistArray kept;
        kept.reserve(members->asArray()->size());
        bool changed = false;
        for (const PlistValue& member : *members->asArray()) {
            auto usable = usableMember(member, changed);
            if (!usable)
                return std::nullopt;
            kept.push_back(std::move(*usable));
        }
        if (!changed)
            return record;
        PlistDictionary rebuilt = *fields;
        rebuilt.set("members", PlistValue(std::move(kept)));
        return PlistValue(std::move(rebuilt));
    }

} // namespace

PlistArray groupRecords(const PlistValue& archiveRoot)
{
    const PlistArray* records = archiveRoot.asArray();
    if (!records) {
        NSLog("groups file: the archive's root is not an array, so there are no groups");
        return {};
    }
    PlistArray groups;
    groups.reserve(records->size());
    for (const PlistValue& record : *records) {
        if (auto group = usableGroup(record))
            groups.push_back(std::move(*group));
    }
    if (size_t skipped = records->size() - groups.size())
        NSLog("groups file: skipped {} of {} group records that lack a name or well-formed members", skipped, records->size());
    return groups;
}

} // namespace foundation
