#include "CKMediaObjectManager.h"

#include "Instantiate.h"
#include "MessageParts.h"

#include <mutex>

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

namespace {

    SharedInstance<CKMediaObjectManager> s_sharedMediaObjectManager;

} // namespace

void CKMediaObjectManager::registerMethods(ClassBuilder<CKMediaObjectManager>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> Id { return CKMediaObjectManager::sharedInstance(); });
    b.method<&CKMediaObjectManager::newMediaObject>("newMediaObjectForData:mimeType:exportedFilename:");
}

Ref<CKMediaObjectManager> CKMediaObjectManager::sharedInstance()
{
    return s_sharedMediaObjectManager.get();
}

void CKMediaObjectManager::reset()
{
    s_sharedMediaObjectManager.reset();
}

Id CKMediaObjectManager::newMediaObject(const std::vector<uint8_t>& data, const std::string& mimeType, const std::string& exportedFilename)
{
    if (data.empty() || mimeType.empty())
        return nullptr;
    return CKMediaObject::withData(data, mimeType, exportedFilename);
}

} // namespace chatkit
