#include "ABPerson.h"

namespace addressbook {

namespace {

    // The platform stores no empty name parts; a file edited by other tools
    // may, and an empty part must not count as a name.
    std::optional<std::string> namePart(std::optional<std::string>&& stored)
    {
        if (!stored || stored->empty())
            return std::nullopt;
        return std::move(stored);
    }

    ABMultiValueRef multiValue(MultiValueProperty property, std::vector<LabeledValue>&& values)
    {
        if (values.empty())
            return nullptr;
        return runtime::make<ABMultiValue>(property, std::move(values));
    }

} // namespace

ABPerson::ABPerson(StoredPerson&& stored)
    : m_recordID(static_cast<ABRecordID>(stored.recordID))
    , m_first(namePart(std::move(stored.data.first)))
    , m_last(namePart(std::move(stored.data.last)))
    , m_middle(namePart(std::move(stored.data.middle)))
    , m_organization(namePart(std::move(stored.data.organization)))
    , m_phones(multiValue(MultiValueProperty::Phone, std::move(stored.data.phones)))
    , m_emails(multiValue(MultiValueProperty::Email, std::move(stored.data.emails)))
{
}

std::optional<std::string> ABPerson::compositeName() const
{
    std::string name;
    for (const auto* part : { &m_first, &m_middle, &m_last }) {
        if (!*part)
            continue;
        if (!name.empty())
            name += ' ';
        name += **part;
    }
    if (!name.empty())
        return name;
    return m_organization;
}

std::string ABPerson::description() const
{
    return "<ABPerson " + std::to_string(m_recordID) + " " + compositeName().value_or("(no name)") + ">";
}

std::optional<std::string> ABRecordCopyValue(const ABRecordRef& record, ABStringPropertyID property)
{
    if (!record)
        return std::nullopt;
    switch (property.value) {
    case kABPersonFirstNameProperty.value:
        return record->firstName();
    case kABPersonLastNameProperty.value:
        return record->lastName();
    case kABPersonMiddleNameProperty.value:
        return record->middleName();
    case kABPersonOrganizationProperty.value:
        return record->organization();
    default:
        return std::nullopt;
    }
}

ABMultiValueRef ABRecordCopyValue(const ABRecordRef& record, ABMultiValuePropertyID property)
{
    if (!record)
        return nullptr;
    switch (property.value) {
    case kABPersonPhoneProperty.value:
        return record->phones();
    case kABPersonEmailProperty.value:
        return record->emails();
    default:
        return nullptr;
    }
}

ABRecordID ABRecordGetRecordID(const ABRecordRef& record) { return record ? record->recordID() : kABRecordInvalidID; }

std::optional<std::string> ABRecordCopyCompositeName(const ABRecordRef& record)
{
    return record ? record->compositeName() : std::nullopt;
}

} // namespace addressbook
