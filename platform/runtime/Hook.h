// Replacing methods, as the injection framework does on the phone.
// `hookMessage` swaps an instance method's implementation for a replacement
// and hands back the one it replaced, which the replacement calls through to
// run the original. Hooking a method that a class only inherits gives that
// class its own method, leaving the superclass untouched. Two hooks on one
// method chain in install order: the last installed runs first.
#pragma once

#include "Message.h"

#include <string_view>

namespace runtime {

enum class HookResult {
    Ok,
    NoSuchClass,
    NoSuchSelector,
    SignatureMismatch,
    NotInstalled, // revert: the replacement is not the method's current implementation
};

std::string_view toString(HookResult);

HookResult hookMessageRaw(Class*, Sel, SignatureId, Imp replacement, Imp* saved);
HookResult revertHookRaw(Class*, Sel, Imp replacement, Imp saved);

template<class R, class... A>
HookResult hookMessage(Class* cls, Sel selector, R (*replacement)(Object*, Sel, A...), R (**saved)(Object*, Sel, A...))
{
    Imp previous = nullptr;
    auto result = hookMessageRaw(cls, selector, signatureOf<R, A...>(), reinterpret_cast<Imp>(replacement), &previous);
    if (result == HookResult::Ok && saved)
        *saved = reinterpret_cast<R (*)(Object*, Sel, A...)>(previous);
    return result;
}

template<class R, class... A>
HookResult revertHook(Class* cls, Sel selector, R (*replacement)(Object*, Sel, A...), R (*saved)(Object*, Sel, A...))
{
    return revertHookRaw(cls, selector, reinterpret_cast<Imp>(replacement), reinterpret_cast<Imp>(saved));
}

} // namespace runtime
