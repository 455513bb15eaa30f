// Turns bytes the user picked into media objects that can travel in a
// message. Runtime: `sharedInstance` (class);
// `newMediaObjectForData:mimeType:exportedFilename:` (bytes, MIME type, file
// name) → a new media object, nil for no bytes or no MIME type.
#pragma once

#include <runtime/Runtime.h>

#include <vector>

namespace chatkit {

class CKMediaObjectManager : public runtime::Object {
    PLV_CLASS(CKMediaObjectManager, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKMediaObjectManager>&);
    static runtime::Ref<CKMediaObjectManager> sharedInstance();
    static void reset();

    runtime::Id newMediaObject(const std::vector<uint8_t>& data, const std::string& mimeType, const std::string& exportedFilename);
};

} // namespace chatkit
