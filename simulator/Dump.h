// The phone's state in one JSON value, as `dump` prints it: the screen's view
// trees, SpringBoard's state, every row of the Messages database, every mail
// in the outbox and the text of the system's own files (preferences,
// favourites, logs). Scenario tests compare it; the web UI draws it.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace phone {
class Phone;
}

namespace simulator {

// The files shown under "files", by device path; a file that is not there
// is shown as null.
inline constexpr std::string_view DumpedFiles[] = {
    "/var/mobile/Library/PLV/preferences.plist",
    "/var/mobile/Library/PLV/favorites.plist",
    "/var/mobile/Library/PLV/PLV.log",
    "/var/mobile/Library/RDL/preferences.plist",
    "/var/mobile/Library/RDL/RDL.log",
};

// Runs on the phone's main run loop.
nlohmann::json dumpPhone(phone::Phone&);

// The pieces, for callers that already are on the main run loop.
nlohmann::json dumpMessages();
// The `limit` newest rows, as dumpMessages() writes them.
nlohmann::json dumpNewestMessages(size_t limit);
nlohmann::json dumpOutbox();
nlohmann::json dumpFiles();

// A short line for a person watching a scenario run: the banner, the front
// application, the lock, the counts of windows, messages and mails.
std::string summariseDump(const nlohmann::json&);

// One line of JSON. Text that is not valid UTF-8 (a database copied from a
// phone may hold such) is written with replacement characters instead of
// failing.
std::string dumpLine(const nlohmann::json&);

} // namespace simulator
