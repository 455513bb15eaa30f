// A person's list of labelled values of one kind (phone numbers or e-mail
// addresses), as the Address Book's multi-value records hand them out. It is
// immutable once read, so a copy handed to a caller is simply shared.
#pragma once

#include "PersonData.h"

#include <runtime/Runtime.h>

namespace addressbook {

using CFIndex = int64_t;
using ABMultiValueIdentifier = int32_t;
inline constexpr ABMultiValueIdentifier kABMultiValueInvalidIdentifier = -1;

class ABMultiValue : public runtime::Object {
    PLV_CLASS(ABMultiValue, runtime::Object)
public:
    ABMultiValue() = default;
    ABMultiValue(MultiValueProperty property, std::vector<LabeledValue> values)
        : m_property(property)
        , m_values(std::move(values))
    {
    }

    MultiValueProperty property() const { return m_property; }
    const std::vector<LabeledValue>& values() const { return m_values; }

private:
    MultiValueProperty m_property { MultiValueProperty::Phone };
    std::vector<LabeledValue> m_values;
};

using ABMultiValueRef = runtime::Ref<ABMultiValue>;

// A nil multi-value has no values; an index out of range answers nothing
// (the platform would crash), as does a value or label stored as NULL.
CFIndex ABMultiValueGetCount(const ABMultiValueRef&);
std::optional<std::string> ABMultiValueCopyValueAtIndex(const ABMultiValueRef&, CFIndex);
std::optional<std::string> ABMultiValueCopyLabelAtIndex(const ABMultiValueRef&, CFIndex);
ABMultiValueIdentifier ABMultiValueGetIdentifierAtIndex(const ABMultiValueRef&, CFIndex);
// -1 when no value has that identifier.
CFIndex ABMultiValueGetIndexForIdentifier(const ABMultiValueRef&, ABMultiValueIdentifier);

} // namespace addressbook
