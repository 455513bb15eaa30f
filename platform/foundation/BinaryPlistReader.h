// Our own decoder of the binary property-list format ("bplist00"). libplist
// 2.2 copies every shared reference into a fresh tree, recurses without a
// bound and checks for cycles in quadratic time, so a few hundred hostile bytes
// can take gigabytes or overflow the stack. This reader checks every offset,
// count and reference against the buffer, decodes each object once and shares
// the result, detects cycles, and bounds nesting depth and the number of values
// the list expands to.
#pragma once

#include "PlistReader.h"

namespace foundation {

Result<PlistValue> readBinaryPlist(std::span<const uint8_t> bytes, const PlistReadLimits& = {});

}
