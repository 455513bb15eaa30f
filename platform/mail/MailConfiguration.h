// What the phone around the Mail service supplies: the user's mail account
// (the From of every mail the phone sends; without one the phone cannot send
// mail at all) and the clock that dates mails. The host sets these at boot;
// the defaults are an account "mobile@example.com" and the system clock.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace mail {

struct MailAccount {
    std::string displayName; // may be empty
    std::string address;
};

void setMailAccount(std::optional<MailAccount>);
std::optional<MailAccount> mailAccount();

// Seconds since the Unix epoch.
using MailClock = std::function<double()>;
void setMailClock(MailClock);
double mailNow();

// Back to the defaults above.
void resetMailConfiguration();

} // namespace mail
