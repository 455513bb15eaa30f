// Typed message sending. A message to nil answers zero, nil or false; a
// message the receiver does not understand, or whose arguments do not match
// the method's signature, is reported and answers the same zero value.
#pragma once

#include "Class.h"

#include <string>

namespace runtime {

template <class R, class... A>
using ImpOf = N<R> (*)(Object*, Sel, Param<N<A>>...);

[[gnu::cold]] void reportUnrecognised(Object* receiver, Sel);
[[gnu::cold]] void reportSignatureMismatch(Object* receiver, Sel, SignatureId expected, SignatureId given);

template <class R>
R zeroValue()
{
    if constexpr (!std::is_void_v<R>)
        return R {};
}

// Every send but a cached one: nil, a first look-up, a selector the receiver
// does not understand and a signature that does not match. Kept out of line so
// that the cached send keeps no registers of its own and ends in a jump.
template <class R, class... A>
[[gnu::noinline]] R sendUncached(Object* receiver, Sel selector, A&&... args)
{
    if (!receiver)
        return zeroValue<R>();
    const Method* method = receiver->isa()->lookup(selector);
    if (!method) {
        reportUnrecognised(receiver, selector);
        return zeroValue<R>();
    }
    SignatureId expected = signatureOf<R, A...>();
    if (method->signature != expected) {
        reportSignatureMismatch(receiver, selector, method->signature, expected);
        return zeroValue<R>();
    }
    auto imp = reinterpret_cast<ImpOf<R, A...>>(method->imp.load(std::memory_order_acquire));
    if constexpr (std::is_void_v<R>)
        imp(receiver, selector, normaliseValue(std::forward<A>(args))...);
    else
        return convertValue<R>(imp(receiver, selector, normaliseValue(std::forward<A>(args))...));
}

template <class R = void, class... A>
R send(Object* receiver, Sel selector, A&&... args)
{
    if (receiver) [[likely]] {
        const Method* method = receiver->isa()->cachedLookup(selector);
        if (method && method->signature == signatureOf<R, A...>()) [[likely]] {
            auto imp = reinterpret_cast<ImpOf<R, A...>>(method->imp.load(std::memory_order_acquire));
            if constexpr (std::is_void_v<R>)
                return imp(receiver, selector, normaliseValue(std::forward<A>(args))...);
            else
                return convertValue<R>(imp(receiver, selector, normaliseValue(std::forward<A>(args))...));
        }
    }
    return sendUncached<R, A...>(receiver, selector, std::forward<A>(args)...);
}

template <class R = void, class T, class... A>
R send(const std::shared_ptr<T>& receiver, Sel selector, A&&... args)
{
    return send<R>(static_cast<Object*>(receiver.get()), selector, std::forward<A>(args)...);
}

// Calls the implementation a class defines or inherits for a selector, as
// `[super ...]` does: for the superclass's version, pass the superclass.
template <class R = void, class... A>
R sendAs(Class* cls, Object* receiver, Sel selector, A&&... args)
{
    if (!receiver || !cls)
        return zeroValue<R>();
    const Method* method = cls->lookup(selector);
    if (!method || method->signature != signatureOf<R, A...>()) {
        reportUnrecognised(receiver, selector);
        return zeroValue<R>();
    }
    auto imp = reinterpret_cast<ImpOf<R, A...>>(method->imp.load(std::memory_order_acquire));
    if constexpr (std::is_void_v<R>)
        imp(receiver, selector, normaliseValue(std::forward<A>(args))...);
    else
        return convertValue<R>(imp(receiver, selector, normaliseValue(std::forward<A>(args))...));
}

inline bool respondsTo(Object* receiver, Sel selector)
{
    return receiver && receiver->isa()->lookup(selector);
}
inline bool respondsTo(const Id& receiver, Sel selector) { return respondsTo(receiver.get(), selector); }

// Instance variables by name. `ivar<T>` answers the address of a variable of
// exactly type T, or null when the object has no such variable.
template <class T>
T* ivar(Object* object, std::string_view name)
{
    if (!object)
        return nullptr;
    const Ivar* v = object->isa()->ivarNamed(name);
    if (!v || *v->type != typeid(T))
        return nullptr;
    return static_cast<T*>(v->address(object));
}

// The value of an object-typed instance variable, whatever its declared class.
Id objectIvar(Object* object, std::string_view name);
inline Id objectIvar(const Id& object, std::string_view name) { return objectIvar(object.get(), name); }

} // namespace runtime
