// Fresh identifiers in the platform's textual UUID form: 36 characters,
// 32 upper-case hexadecimal digits grouped 8-4-4-4-12 (random, version 4).
// Every iMessage the system builds carries one.
#pragma once

#include <string>
#include <string_view>

namespace foundation {

std::string uuidString();

// Whether a text has the shape `uuidString` produces (any version).
bool isUuidString(std::string_view);

} // namespace foundation
