#include "AddressBookTestSupport.h"

#include <addressbook/PeopleIndex.h>

using namespace addressbook;
using namespace addressbook_test;

namespace {

ABRecordRef person(int64_t id, std::optional<std::string> first, std::optional<std::string> last, std::optional<std::string> organization = std::nullopt)
{
    StoredPerson stored;
    stored.recordID = id;
    stored.data.first = std::move(first);
    stored.data.last = std::move(last);
    stored.data.organization = std::move(organization);
    return runtime::make<ABPerson>(std::move(stored));
}

std::vector<std::string> layout(const std::vector<PeopleSection>& sections)
{
    std::vector<std::string> lines;
    for (const auto& section : sections) {
        std::string line = section.title + ":";
        for (const auto& entry : section.people)
            line += " " + pickerDisplayName(entry) + ",";
        lines.push_back(line);
    }
    return lines;
}

TEST(PeopleIndex, SortsByLastNameIntoLetterSections)
{
    std::vector<ABRecordRef> people {
        person(1, "Anna", "Rossi"),
        person(2, "ROSSANA", std::nullopt),
        person(3, std::nullopt, "Prosper"),
        person(4, "Paolo", "Rossi"),
        person(5, "Zoë", "Cantù"),
        person(6, "Luca", "cantoni"),
        person(7, std::nullopt, std::nullopt, "Pizzeria Da Mario"),
        person(8, std::nullopt, std::nullopt),
        person(9, "Ștefan", "Popescu"),
        person(10, std::nullopt, "Élise"),
        person(11, "3Com", std::nullopt),
        nullptr,
    };
    EXPECT_EQ(layout(indexPeople(people)),
        (std::vector<std::string> {
            "C: Luca cantoni, Zoë Cantù,",
            "E: Élise,",
            "P: Pizzeria Da Mario, Ștefan Popescu, Prosper,",
            "R: ROSSANA, Anna Rossi, Paolo Rossi,",
            "#: No Name, 3Com,",
        }));
}

TEST(PeopleIndex, EqualNamesKeepRecordOrder)
{
    std::vector<ABRecordRef> people { person(1, "Anna", "Rossi"), person(2, "Anna", "Rossi"), person(3, "Anna", "Rossi") };
    auto sections = indexPeople(people);
    ASSERT_EQ(sections.size(), 1u);
    ASSERT_EQ(sections[0].people.size(), 3u);
    EXPECT_EQ(ABRecordGetRecordID(sections[0].people[0]), 1);
    EXPECT_EQ(ABRecordGetRecordID(sections[0].people[2]), 3);
    EXPECT_TRUE(indexPeople({}).empty());
}

} // namespace
