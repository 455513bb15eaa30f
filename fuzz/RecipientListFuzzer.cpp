// Quick Compose's recipient list built from a hostile groups file and a
// hostile favourites file beside a small real Address Book. The input is the
// groups file, then the marker line, then the favourites file (no marker: no
// favourites file). The list is built without a crash, holds one record per
// usable favourite at its head, offers only whole groups, and its search
// finds every record by its own name.
#include "FuzzSupport.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <addressbook/AddressBookClasses.h>
#include <addressbook/AddressBookWriter.h>
#include <extension/RecipientFiles.h>
#include <extension/RecipientList.h>
#include <foundation/FoundationClasses.h>
#include <foundation/RunLoop.h>
#include <foundation/SystemLog.h>

#include <algorithm>
#include <fstream>

using namespace parlivo;
using fuzzing::fuzzRequire;

namespace {

constexpr std::string_view Marker = "\n%%favourites%%\n";

void writeFile(std::string_view devicePath, std::string_view bytes)
{
    auto file = foundation::hostPath(devicePath);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    fuzzRequire(bool(out), "cannot write a file of the device");
}

void setUpPhone()
{
    foundation::setDeviceRoot(fuzzing::fuzzDeviceRoot());
    foundation::registerRunLoopClasses();
    foundation::registerFoundationClasses();
    addressbook::registerAddressBookClasses();
    auto book = foundation::hostPath(addressbook::AddressBookDevicePath);
    std::filesystem::create_directories(book.parent_path());
    fuzzRequire(addressbook::createAddressBookDatabase(book), "cannot create the Address Book");
    std::vector<addressbook::PersonData> people(2);
    people[0].first = "Anna";
    people[0].last = "Rossi";
    people[0].phones.push_back({ std::string("_$!<Mobile>!$_"), std::string("+39 347 123 4567") });
    people[0].emails.push_back({ std::string("_$!<Work>!$_"), std::string("anna@example.it") });
    people[1].last = "Straße";
    people[1].phones.push_back({ std::string("_$!<Home>!$_"), std::string("06 1234567") });
    fuzzRequire(addressbook::AddressBookWriter::open(book)->addPeople(people), "cannot fill the Address Book");
    writeFile(kelvane::PLVPreferencesPath, R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>EIC</key><string>1</string></dict></plist>)");
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = (setUpPhone(), true);
    (void)ready;
    // The console keeps its last lines; nobody reads them here.
    foundation::SystemLog::shared().clear();

    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto marker = input.find(Marker);
    writeFile(kelvane::GroupsPath, input.substr(0, marker));
    if (marker == std::string_view::npos)
        foundation::removeDeviceFile(kelvane::FavoritesPath);
    else
        writeFile(kelvane::FavoritesPath, input.substr(marker + Marker.size()));

    auto sources = readRecipientSources();
    auto list = RecipientList::build(sources);
    fuzzRequire(list.numberOfFavorites() == sources.favorites.size(), "a favourite lost or added on the way into the list");
    fuzzRequire(list.size() >= sources.favorites.size() + sources.groups.size(), "fewer records than favourites and groups");
    for (size_t i = 0; i < list.size(); ++i) {
        const auto& record = *list.people()[i];
        fuzzRequire(record.isFavorite == (i < list.numberOfFavorites()), "a favourite outside the head of the list");
        if (record.group) {
            fuzzRequire(record.number == GroupNumber, "a group whose number is not \"Group\"");
            for (const auto& member : record.group->members) {
                auto* fields = member.asDictionary();
                fuzzRequire(fields && fields->find("contact") && fields->find("contact")->isString(), "a group member without a contact");
            }
        }
    }
    fuzzRequire(list.filtered("").size() == list.size(), "the empty search does not give everyone");
    // Searching for a record's own name finds it (the list is bounded by
    // the input's size, but the search is linear; a few names suffice).
    for (size_t i = 0; i < std::min<size_t>(list.size(), 8); ++i) {
        const RecipientRecord* record = list.people()[i];
        // Nobody can type a NUL; the search takes none.
        if (record->name.find('\0') != std::string::npos)
            continue;
        auto found = list.filtered(record->name);
        fuzzRequire(std::find(found.begin(), found.end(), record) != found.end(), "a record its own name does not find");
    }
    return 0;
}
