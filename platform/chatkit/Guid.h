// Fresh identifiers for the messages and attachments the frameworks write:
// random (version 4) UUIDs in the canonical upper-case 8-4-4-4-12 form.
#pragma once

#include <string>

namespace chatkit {

std::string newGUID();

} // namespace chatkit
