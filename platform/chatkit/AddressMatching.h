// Telling whether two addresses name the same person. People and carriers
// write the same number in many ways ("(555) 555-1212", "15555551212",
// "+15555551212"), so numbers compare by their trailing digits; e-mail
// addresses compare without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace chatkit {

bool isEmailAddress(std::string_view);
// At least three digits and nothing but digits, blanks and "+-().".
bool isPhoneNumber(std::string_view);
std::string digitsOf(std::string_view);
bool addressesMatch(std::string_view a, std::string_view b);
} // namespace chatkit
