// Our own reader of the XML property-list form. It is strict on purpose: a
// value the format does not allow (an integer with letters after it, a real
// with junk, the 13th month, a <key> without a value, bytes that are not the
// declared encoding) makes the whole document unreadable, so a caller takes its
// fallback instead of acting on a wrong value. What it does allow beyond the
// letter of the document type is what writers of these files are known to
// write: hexadecimal integers, "nan" and "infinity" reals, fractions of a
// second, and control characters in strings.
//
// The XML itself (well-formedness, references, UTF-8 validity) is expat's, a
// streaming parser; ours are the property-list structure, the value syntax,
// and the choice of encodings: UTF-8 (with or without a byte-order mark),
// UTF-16 with a byte-order mark in either byte order, or an encoding named in
// the XML declaration, all turned into UTF-8 before parsing. No entity can
// expand beyond the five predefined ones, and the input's size, depth and
// value count are bounded by PlistReadLimits: the parser stops at the first
// value past them.
#pragma once

#include "PlistReader.h"
#include "Result.h"

#include <cstdint>
#include <span>

namespace foundation {

Result<PlistValue> parseXmlPlist(std::span<const uint8_t> bytes, const PlistReadLimits&);

}
