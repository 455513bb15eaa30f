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

// Where a hook keeps the implementation it replaced. The runtime fills it
// before the replacement becomes reachable, so a replacement that another
// thread enters at once always finds its original.
struct SavedImpSlot {
    void* slot;
    void (*store)(void* slot, Imp);
};

HookResult hookMessageRaw(Class*, Sel, SignatureId, Imp replacement, SavedImpSlot saved);
HookResult hookMessageRaw(Class*, Sel, SignatureId, Imp replacement, Imp* saved);
HookResult revertHookRaw(Class*, Sel, Imp replacement, Imp saved);

template <class R, class... A>
HookResult hookMessage(Class* cls, Sel selector, R (*replacement)(Object*, Sel, A...), R (**saved)(Object*, Sel, A...))
{
    using Fn = R (*)(Object*, Sel, A...);
    auto store = [](void* slot, Imp previous) {
        if (slot)
            *static_cast<Fn*>(slot) = reinterpret_cast<Fn>(previous);
    };
    return hookMessageRaw(cls, selector, signatureOf<R, A...>(), reinterpret_cast<Imp>(replacement), SavedImpSlot { saved, store });
}

template <class R, class... A>
HookResult revertHook(Class* cls, Sel selector, R (*replacement)(Object*, Sel, A...), R (*saved)(Object*, Sel, A...))
{
    return revertHookRaw(cls, selector, reinterpret_cast<Imp>(replacement), reinterpret_cast<Imp>(saved));
}

} // namespace runtime
