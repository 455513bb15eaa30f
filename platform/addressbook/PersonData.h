// The plain contents of one Address Book person as the database holds them:
// the name parts and the labelled phone numbers and e-mail addresses. The
// store reads people into it, the writer and the demo generator fill it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace addressbook {

// The numbers the database stores in ABMultiValue.property.
enum class MultiValueProperty : int64_t {
    Phone = 3,
    Email = 4,
};

struct LabeledValue {
    // The label as stored: a built-in one in its "_$!<Mobile>!$_" form, or plain text.
    std::optional<std::string> label;
    std::optional<std::string> value;
    // The value's identifier within its person; the writer numbers values itself.
    int64_t identifier { -1 };

    bool operator==(const LabeledValue&) const = default;
};

struct PersonData {
    std::optional<std::string> first;
    std::optional<std::string> last;
    std::optional<std::string> middle;
    std::optional<std::string> organization;
    std::vector<LabeledValue> phones;
    std::vector<LabeledValue> emails;

    bool operator==(const PersonData&) const = default;
};

struct StoredPerson {
    int64_t recordID { 0 };
    PersonData data;
};

} // namespace addressbook
