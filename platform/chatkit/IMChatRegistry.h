// The instant-messaging service's chats: one per handle the user talks to.
// Runtime: `IMChatRegistry` `sharedInstance` (class) → the registry,
// `chatForIMHandle:` (handle) → the chat with that handle, made on first
// request; nil for a nil handle. `IMChat`: `chatIdentifier`, `guid`,
// `recipient` (the handle).
#pragma once

#include "CKEntity.h"

#include <runtime/Runtime.h>

#include <map>
#include <mutex>

namespace chatkit {

class IMChat : public runtime::Object {
    PLV_CLASS(IMChat, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<IMChat>&);

    const std::string& chatIdentifier() const { return m_identifier; }
    std::string guid() const;
    runtime::Ref<IMHandle> recipient() const { return m_recipient; }

private:
    friend class IMChatRegistry;
    std::string m_identifier;
    runtime::Ref<IMHandle> m_recipient;
};

class IMChatRegistry : public runtime::Object {
    PLV_CLASS(IMChatRegistry, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<IMChatRegistry>&);
    static runtime::Ref<IMChatRegistry> sharedInstance();
    // Forgets the shared registry and its chats.
    static void reset();

    runtime::Id chatForIMHandle(const runtime::Id& handle);

private:
    std::mutex m_lock;
    std::map<std::string, runtime::Ref<IMChat>> m_chats;
};

} // namespace chatkit
