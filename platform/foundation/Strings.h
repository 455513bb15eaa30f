// Text helpers that make the system's strings behave as the platform's do:
// lengths in UTF-16 code units (what a text view counts against 160),
// Unicode lower-casing and case-insensitive comparison with full case
// folding ("Straße" matches "STRASSE"), and the platform's `floatValue`.
// Invalid UTF-8 is read as U+FFFD, one replacement per bad sequence.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace foundation {

// `-[NSString length]`: UTF-16 code units; a character outside the BMP
// (most emoji) counts 2.
size_t utf16Length(std::string_view utf8);

// The text without the blanks, tabs and line ends around it (ASCII white
// space only: what every file and field format here calls blank).
std::string_view trimmed(std::string_view);

// `-[NSString lowercaseString]`: full Unicode lower-casing, not localised.
std::string lowercase(std::string_view);

// Full case folding followed by composition (NFC), the key two strings
// are compared by when case does not matter.
std::string foldCase(std::string_view);

// `-[NSString caseInsensitiveCompare:] == NSOrderedSame`.
bool equalsIgnoringCase(std::string_view, std::string_view);

// `-[NSString rangeOfString:options:NSCaseInsensitiveSearch]` found
// something. As on the platform, an empty needle is never found.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

// `-[NSString floatValue]`: the decimal number at the start of the text
// after leading white space, or 0 when there is none ("0.5abc" is 0.5,
// "abc" is 0). Too large a number reads as infinity, as on the platform.
float floatValue(std::string_view);

} // namespace foundation
