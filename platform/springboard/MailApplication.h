// The Mail application as this phone shows it: the Inbox (mail received) and
// the Outbox (mail sent from the phone, waiting to go out), newest first,
// each row with its sender or recipients and subject, so a person sees where
// a reply went. A "message:" URL opens the received mail it names; a
// "mailto:" URL shows the address a new mail would go to.
#pragma once

#include "SBApplication.h"

namespace springboard {

std::unique_ptr<ApplicationContent> makeMailApplication();

} // namespace springboard
