// The binary property-list reader on any bytes: a value or a refusal with a
// reason, never a crash, and a value that survives being written again. The
// reader's limits are lowered so that inputs near them stay small.
#include "PlistRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    foundation::PlistReadLimits limits;
    limits.maxDepth = 32;
    limits.maxNodes = 10'000;
    auto read = foundation::readBinaryPlist(std::span(data, size), limits);
    if (!read) {
        fuzzing::fuzzRequire(!read.reason().empty(), "a refusal without a reason");
        return 0;
    }
    fuzzing::requireRoundTrip(*read);
    return 0;
}
