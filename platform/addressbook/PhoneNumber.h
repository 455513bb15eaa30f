// When two addresses are the same: phone numbers written in different ways,
// and e-mail addresses in different cases. The Messages database keeps the
// sender's address as the network delivered it ("+393471234567"), while the
// Address Book keeps what the user typed ("347 123 4567").
//
// Two phone numbers are the same when their canonical forms are equal:
// - spaces, dashes, dots, slashes and brackets do not count;
// - a leading "+" or "00" marks the international form, and "+39 347…",
//   "0039 347…" and the national "347…" (in the default country, Italy,
//   where the leading 0 of a landline stays in the international form) are
//   one number; "+1 347…" is another;
// - anything after "," or ";" (pauses and extensions) does not count;
// - a text with letters ("TIM", "1-800-FLOWERS") or fewer than three digits
//   is no phone number, and matches no phone number, not even itself.
// E-mail addresses are the same when they are equal ignoring ASCII case and
// surrounding blanks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace addressbook {

inline constexpr std::string_view DefaultCountryCode = "39";

// The country code followed by the national digits ("393471234567"), or
// nothing when the text is no phone number.
std::optional<std::string> canonicalPhoneNumber(std::string_view text, std::string_view defaultCountryCode = DefaultCountryCode);
bool isSamePhoneNumber(std::string_view a, std::string_view b, std::string_view defaultCountryCode = DefaultCountryCode);

bool looksLikeEmailAddress(std::string_view);
// Lower-cased and trimmed; nothing for an empty text.
std::optional<std::string> canonicalEmailAddress(std::string_view);

} // namespace addressbook
