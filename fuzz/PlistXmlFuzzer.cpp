// The XML property-list reader on any bytes: a value or a refusal with a
// reason, never a crash, and a value that survives being written again.
#include "PlistRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto read = foundation::readXmlPlist(std::span(data, size));
    if (!read) {
        fuzzing::fuzzRequire(!read.reason().empty(), "a refusal without a reason");
        return 0;
    }
    fuzzing::requireRoundTrip(*read);
    return 0;
}
