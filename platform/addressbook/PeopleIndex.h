// The people picker's list order: everyone sorted by last name, then first
// name, as the phone's contact list sorts (accents and case only break ties:
// "Niccolò" sits with "Nicola"), cut into sections under their index letter.
// Names that begin with no letter of the alphabet, and people without any
// name, go to a last section "#".
#pragma once

#include "ABPerson.h"

#include <string>
#include <vector>

namespace addressbook {

struct PeopleSection {
    std::string title;
    std::vector<ABRecordRef> people;
};

// The name a list row shows: the composite name, or "No Name".
std::string pickerDisplayName(const ABRecordRef&);

std::vector<PeopleSection> indexPeople(const std::vector<ABRecordRef>&);

} // namespace addressbook
