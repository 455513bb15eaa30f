// The one instant the tests call "now" when they fix the frameworks' clocks
// (chatkit::setClock, mail::setMailClock): 2012-02-23 00:26:40 UTC, a date
// an iOS 5 phone could have seen. Rows and mails dated by it can be checked
// against literals; the phone's own virtual run-loop clock is separate and
// starts at zero.
#pragma once

namespace testsupport {

inline constexpr double testNow = 1330000000;

} // namespace testsupport
