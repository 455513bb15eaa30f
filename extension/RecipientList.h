// The people Quick Compose can write to, and the search over them that its
// To field drives. A list is built once, when a compose window is made,
// from the Address Book (one entry per phone number, and one per e-mail
// address when the user asked for them), the groups of the maker's other
// product and the user's favourites; it knows nothing of views, so it is
// built, searched and measured on its own.
//
// Order: the favourites first, in the reverse of the order they were read
// (each one is put at the head as it is read), then every Address Book entry
// and group sorted by lower-cased name. A favourite that is also in the
// Address Book is listed twice, as the user expects to find a person both
// at the top and under their name.
//
// Records are shared, never copied: the list keeps them all in one block,
// and the full list and every filtered list hold pointers to the same
// records, so a record chosen from a filtered list is the record of the
// full list. A favourite record knows it is one, so the star goes with it
// through any filter, not with a row position.
//
// Searching folds the text the user typed with full Unicode case folding
// and looks for it anywhere in the names, which were folded once when the
// list was built ("STRASSE" finds "Straße", "ros" finds "ROSSANA"). The scan
// is linear over one contiguous buffer of folded names, so a keystroke costs
// one pass over memory: the first letter is found with memchr, the rest
// compared in place, and the scan skips to the next name after a match. A
// person's entries sit together under one name, which is folded and
// searched once for all of them.
#pragma once

#include <addressbook/ABAddressBook.h>
#include <foundation/PropertyList.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parlivo {

// What a group's record carries beyond a person's.
struct RecipientGroup {
    // Dictionaries with "contact" and "isNumber".
    foundation::PlistArray members;
    // The group's own dictionary from the groups file, with "number" set to
    // "Group"; the keys the other product keeps there ride along unread.
    foundation::PlistDictionary fields;
};

struct RecipientRecord {
    // What the drop-down shows as the title, and the only field searched.
    // The text belongs to the list, which keeps each name once for all of
    // a person's records.
    std::string_view name;
    // A phone number exactly as the source holds it, an e-mail address, or
    // "Group" for a group.
    std::string number;
    // Nil for a person or a favourite, so their records stay small.
    std::unique_ptr<const RecipientGroup> group;
    bool isFavorite { false };

    bool isGroup() const { return group != nullptr; }
};

// The list owns its records; the full and the filtered lists point at them,
// so a keystroke neither copies a record nor touches a reference count.
using RecipientMatches = std::vector<const RecipientRecord*>;

inline constexpr std::string_view GroupNumber = "Group";
inline constexpr std::string_view UnknownName = "Unknown";

// What a list is built from, already read and checked.
struct RecipientSources {
    // Nil: no Address Book on this phone; the list then holds favourites and groups only.
    addressbook::ABAddressBookRef addressBook;
    // "EIC" = "1": one entry per e-mail address as well.
    bool includeEmails { false };
    // Each a one-entry dictionary {number: name}, in the order read.
    foundation::PlistArray favorites;
    // Usable group records, in file order (foundation::groupRecords).
    foundation::PlistArray groups;
};

class RecipientList {
public:
    RecipientList() = default;
    // Moving keeps every record where it is; a copy would point into the
    // original, so there is none.
    RecipientList(RecipientList&&) = default;
    RecipientList& operator=(RecipientList&&) = default;
    RecipientList(const RecipientList&) = delete;
    RecipientList& operator=(const RecipientList&) = delete;

    static RecipientList build(const RecipientSources&);

    // The full list, in display order.
    const RecipientMatches& people() const { return m_everyone; }
    size_t numberOfFavorites() const { return m_numberOfFavorites; }
    size_t size() const { return m_everyone.size(); }

    // The records whose name contains `text` in any case, in list order; the
    // whole list for an empty text. `into` is cleared first and reused, so a
    // keystroke allocates nothing once the vector has grown.
    void filter(std::string_view text, RecipientMatches& into) const;
    RecipientMatches filtered(std::string_view text) const;
    // Every record, in list order, as a filter with no text gives them.
    const RecipientMatches& everyone() const { return m_everyone; }

    // The display name of a person: "first last", or the one that is there,
    // or "Unknown" when neither is.
    static std::string displayName(const std::optional<std::string>& first, const std::optional<std::string>& last);
    // The key names are sorted by: the name lower-cased, compared byte by byte.
    static std::string sortKey(std::string_view name);
    // The key names are searched by: full case folding, then composition.
    static std::string searchKey(std::string_view name);

private:
    // Appends a name to m_names; its place there is (offset, length).
    std::pair<size_t, size_t> addName(std::string_view);
    // Appends a person's display name, as displayName() makes it.
    std::pair<size_t, size_t> addName(const std::optional<std::string>& first, const std::optional<std::string>& last);
    std::string_view nameAt(std::pair<size_t, size_t> place) const { return { m_names.data() + place.first, place.second }; }
    // Appends the records of one name, which follow one another in the list.
    void appendName(std::string_view folded, const RecipientRecord* first, size_t count);

    // Every record, in the order read; never resized once built.
    std::vector<RecipientRecord> m_records;
    // The names' text, one after another; records point into it, and a
    // vector keeps its buffer when the list moves.
    std::vector<char> m_names;
    RecipientMatches m_everyone;
    size_t m_numberOfFavorites { 0 };
    // Every name's folded text, each followed by a NUL, in list order;
    // name i begins at m_nameStarts[i] and its records are m_everyone from
    // m_nameRecords[i] up to m_nameRecords[i + 1] (the last one's end is
    // the list's size).
    std::string m_foldedNames;
    std::vector<uint32_t> m_nameStarts;
    std::vector<uint32_t> m_nameRecords;
};

} // namespace parlivo
