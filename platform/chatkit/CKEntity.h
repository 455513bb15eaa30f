// A recipient as the messaging services know it: an address and, when the
// Address Book knows it, a person's name. Runtime: `name` (empty when the
// address belongs to nobody in the Address Book), `rawAddress`,
// `defaultIMHandle` (the handle an iMessage to this address goes to).
// `IMHandle`: `ID`, the address as the instant-messaging service writes it.
#pragma once

#include <runtime/Runtime.h>

namespace chatkit {

class IMHandle : public runtime::Object {
    PLV_CLASS(IMHandle, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<IMHandle>&);
    static runtime::Ref<IMHandle> forID(std::string);

    const std::string& handleID() const { return m_id; }

private:
    std::string m_id;
};

class CKEntity : public runtime::Object {
    PLV_CLASS(CKEntity, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKEntity>&);
    // The entity for an address, or nil for an empty one.
    static runtime::Ref<CKEntity> forAddress(const std::string&);

    const std::string& rawAddress() const { return m_address; }
    std::string name() const;
    runtime::Id defaultIMHandle() const;

private:
    std::string m_address;
};

} // namespace chatkit
