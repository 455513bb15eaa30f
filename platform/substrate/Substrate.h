// The injection framework's C entry point for replacing methods, as the
// extension libraries call it from their load-time constructors. It sits on
// the runtime's own hooking: the replaced implementation lands in `*old`,
// and the replacement calls through it to run the original.
//
// The plain spelling takes implementations as untyped pointers, as the
// framework does, so it cannot check that the replacement has the method's
// signature; the typed overload below does check and refuses a mismatch.
// Either way a refused hook is written to the system log and leaves `*old`
// untouched.
#pragma once

#include <runtime/Runtime.h>

void MSHookMessageEx(runtime::Class* cls, runtime::Sel selector, runtime::Imp replacement, runtime::Imp* old);

namespace substrate {
void reportRefusedHook(runtime::Class*, runtime::Sel, runtime::HookResult);
}

template <class R, class... A>
void MSHookMessageEx(runtime::Class* cls, runtime::Sel selector, R (*replacement)(runtime::Object*, runtime::Sel, A...), R (**old)(runtime::Object*, runtime::Sel, A...))
{
    auto result = runtime::hookMessage(cls, selector, replacement, old);
    if (result != runtime::HookResult::Ok)
        substrate::reportRefusedHook(cls, selector, result);
}
