// One person of the Address Book: a runtime object, so it can travel in
// messages (the people picker hands it to its delegate). It is a snapshot
// taken when the record was copied out of the book. Property ids are typed
// by what they hold, so `ABRecordCopyValue` answers a string for a name
// property and a multi-value for a phone or e-mail property.
#pragma once

#include "ABMultiValue.h"

namespace addressbook {

using ABRecordID = int32_t;
using ABPropertyID = int32_t;
inline constexpr ABRecordID kABRecordInvalidID = -1;

struct ABStringPropertyID {
    ABPropertyID value;
    constexpr operator ABPropertyID() const { return value; }
};
struct ABMultiValuePropertyID {
    ABPropertyID value;
    constexpr operator ABPropertyID() const { return value; }
};

inline constexpr ABStringPropertyID kABPersonFirstNameProperty { 0 };
inline constexpr ABStringPropertyID kABPersonLastNameProperty { 1 };
inline constexpr ABMultiValuePropertyID kABPersonPhoneProperty { 3 };
inline constexpr ABMultiValuePropertyID kABPersonEmailProperty { 4 };
inline constexpr ABStringPropertyID kABPersonMiddleNameProperty { 6 };
inline constexpr ABStringPropertyID kABPersonOrganizationProperty { 10 };

class ABPerson : public runtime::Object {
    PLV_CLASS(ABPerson, runtime::Object)
public:
    ABPerson() = default;
    explicit ABPerson(StoredPerson&&);

    ABRecordID recordID() const { return m_recordID; }
    // Nothing for a name part that is absent or stored empty.
    const std::optional<std::string>& firstName() const { return m_first; }
    const std::optional<std::string>& lastName() const { return m_last; }
    const std::optional<std::string>& middleName() const { return m_middle; }
    const std::optional<std::string>& organization() const { return m_organization; }
    // Nil when the person has no values of that kind.
    const ABMultiValueRef& phones() const { return m_phones; }
    const ABMultiValueRef& emails() const { return m_emails; }

    // First, middle and last name joined by blanks; the organisation when
    // the person has no name; nothing when there is neither.
    std::optional<std::string> compositeName() const;
    std::string description() const override;

private:
    ABRecordID m_recordID { kABRecordInvalidID };
    std::optional<std::string> m_first;
    std::optional<std::string> m_last;
    std::optional<std::string> m_middle;
    std::optional<std::string> m_organization;
    ABMultiValueRef m_phones;
    ABMultiValueRef m_emails;
};

using ABRecordRef = runtime::Ref<ABPerson>;

std::optional<std::string> ABRecordCopyValue(const ABRecordRef&, ABStringPropertyID);
ABMultiValueRef ABRecordCopyValue(const ABRecordRef&, ABMultiValuePropertyID);
ABRecordID ABRecordGetRecordID(const ABRecordRef&);
std::optional<std::string> ABRecordCopyCompositeName(const ABRecordRef&);

} // namespace addressbook
