#include "CKEntity.h"

#include "AddressMatching.h"
#include "Configuration.h"
#include "Instantiate.h"

#include <foundation/Strings.h>

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

void IMHandle::registerMethods(ClassBuilder<IMHandle>& b)
{
    b.method("ID", [](IMHandle& self) -> std::string { return self.handleID(); });
}

Ref<IMHandle> IMHandle::forID(std::string id)
{
    auto handle = instantiate<IMHandle>();
    if (handle)
        handle->m_id = std::move(id);
    return handle;
}

void CKEntity::registerMethods(ClassBuilder<CKEntity>& b)
{
    b.method<&CKEntity::name>("name");
    b.method("rawAddress", [](CKEntity& self) -> std::string { return self.rawAddress(); });
    b.method<&CKEntity::defaultIMHandle>("defaultIMHandle");
}

Ref<CKEntity> CKEntity::forAddress(const std::string& address)
{
    if (foundation::trimmed(address).empty())
        return nullptr;
    auto entity = instantiate<CKEntity>();
    if (entity)
        entity->m_address = address;
    return entity;
}

std::string CKEntity::name() const { return contactName(m_address); }

Id CKEntity::defaultIMHandle() const { return IMHandle::forID(m_address); }

} // namespace chatkit
