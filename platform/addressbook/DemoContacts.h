// Demo people for a fresh simulated phone: a fixed head of contacts whose
// names and numbers exercise the awkward cases (accents, only a first or
// only a last name, no name at all, an organisation, several labelled
// numbers and e-mail addresses, one number shared by two people, every way
// of writing an Italian number), followed by generated Italian contacts.
// The same count and seed always give the same people.
#pragma once

#include "PersonData.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace addressbook {

// The first min(count, the fixed head's size) people are the fixed head.
std::vector<PersonData> demoContacts(size_t count, uint32_t seed);
size_t demoContactsFixedCount();

// Creates the database when needed and adds the demo people to it.
bool writeDemoAddressBook(const std::filesystem::path& hostPath, size_t count, uint32_t seed);

} // namespace addressbook
