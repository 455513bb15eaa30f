#include "IMChatRegistry.h"

#include "Instantiate.h"

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

namespace {

    SharedInstance<IMChatRegistry> s_sharedChatRegistry;

} // namespace

void IMChat::registerMethods(ClassBuilder<IMChat>& b)
{
    b.method("chatIdentifier", [](IMChat& self) -> std::string { return self.chatIdentifier(); });
    b.method<&IMChat::guid>("guid");
    b.method("recipient", [](IMChat& self) -> Id { return self.recipient(); });
}

std::string IMChat::guid() const { return "Madrid;-;" + m_identifier; }

void IMChatRegistry::registerMethods(ClassBuilder<IMChatRegistry>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> Id { return IMChatRegistry::sharedInstance(); });
    b.method<&IMChatRegistry::chatForIMHandle>("chatForIMHandle:");
}

Ref<IMChatRegistry> IMChatRegistry::sharedInstance()
{
    return s_sharedChatRegistry.get();
}

void IMChatRegistry::reset()
{
    s_sharedChatRegistry.reset();
}

Id IMChatRegistry::chatForIMHandle(const Id& handle)
{
    auto imHandle = runtime::cast<IMHandle>(handle);
    if (!imHandle || imHandle->handleID().empty())
        return nullptr;
    std::lock_guard guard(m_lock);
    auto& chat = m_chats[imHandle->handleID()];
    if (!chat) {
        chat = instantiate<IMChat>();
        if (!chat) {
            m_chats.erase(imHandle->handleID());
            return nullptr;
        }
        chat->m_identifier = imHandle->handleID();
        chat->m_recipient = imHandle;
    }
    return chat;
}

} // namespace chatkit
