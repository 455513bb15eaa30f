#include "ABMultiValue.h"

namespace addressbook {

namespace {

    const LabeledValue* valueAt(const ABMultiValueRef& multiValue, CFIndex index)
    {
        if (!multiValue || index < 0 || static_cast<size_t>(index) >= multiValue->values().size())
            return nullptr;
        return &multiValue->values()[static_cast<size_t>(index)];
    }

} // namespace

CFIndex ABMultiValueGetCount(const ABMultiValueRef& multiValue)
{
    return multiValue ? static_cast<CFIndex>(multiValue->values().size()) : 0;
}

std::optional<std::string> ABMultiValueCopyValueAtIndex(const ABMultiValueRef& multiValue, CFIndex index)
{
    auto* entry = valueAt(multiValue, index);
    return entry ? entry->value : std::nullopt;
}

std::optional<std::string> ABMultiValueCopyLabelAtIndex(const ABMultiValueRef& multiValue, CFIndex index)
{
    auto* entry = valueAt(multiValue, index);
    return entry ? entry->label : std::nullopt;
}

ABMultiValueIdentifier ABMultiValueGetIdentifierAtIndex(const ABMultiValueRef& multiValue, CFIndex index)
{
    auto* entry = valueAt(multiValue, index);
    return entry ? static_cast<ABMultiValueIdentifier>(entry->identifier) : kABMultiValueInvalidIdentifier;
}

CFIndex ABMultiValueGetIndexForIdentifier(const ABMultiValueRef& multiValue, ABMultiValueIdentifier identifier)
{
    if (!multiValue || identifier == kABMultiValueInvalidIdentifier)
        return -1;
    const auto& values = multiValue->values();
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].identifier == identifier)
            return static_cast<CFIndex>(i);
    }
    return -1;
}

} // namespace addressbook
