// What the phone around the messaging frameworks supplies: the clock, the
// Address Book lookup behind an entity's name, whether iMessage is switched
// on and which addresses it reaches, the user's iMessage account, and where
// the frameworks' own complaints go. The host sets these at boot; the
// defaults make a phone with iMessage on, no contacts and the system clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace chatkit {

// Seconds since the Unix epoch.
using Clock = std::function<double()>;
void setClock(Clock);
double unixNow();

// Who owns an address: the name the phone shows for the other side of a
// message (CKEntity's name; SpringBoard's banner titles and Messages list ask
// the same). The messaging frameworks never read contacts themselves: the
// phone's boot (platform/phone/Boot.cpp) passes in the Address Book's
// addressbook::ContactNameResolver here. Answers the empty string for an
// unknown address or without a resolver; callers then show the address.
using ContactNameResolver = std::function<std::string(const std::string& address)>;
void setContactNameResolver(ContactNameResolver);
std::string contactName(const std::string& address);

void setMadridEnabled(bool);
bool madridEnabled();

// What `availabilityForAddress:checkWithServer:` answers for an address.
// The default answers 1 (reachable) for a phone number or an e-mail address
// and 0 for anything else.
using AvailabilityCheck = std::function<int64_t(const std::string& address)>;
void setMadridAvailability(AvailabilityCheck);
int64_t madridAvailability(const std::string& address);

struct MadridAccount {
    std::string login; // e.g. "P:+15555550100" or "E:user@example.com"
    std::string guid;
};
void setMadridAccount(MadridAccount);
MadridAccount madridAccount();

using LogSink = std::function<void(std::string_view)>;
void setLogSink(LogSink);
void log(std::string_view message);

// Back to the defaults above.
void resetConfiguration();

} // namespace chatkit
