#include "Substrate.h"

#include <foundation/SystemLog.h>

namespace substrate {

void reportRefusedHook(runtime::Class* cls, runtime::Sel selector, runtime::HookResult result)
{
    foundation::NSLog("Substrate: cannot hook -[{} {}]: {}", cls ? cls->name() : std::string("(nil class)"), selector.name(), runtime::toString(result));
}

} // namespace substrate

void MSHookMessageEx(runtime::Class* cls, runtime::Sel selector, runtime::Imp replacement, runtime::Imp* old)
{
    if (!cls || selector.isNull() || !replacement) {
        substrate::reportRefusedHook(cls, selector, cls ? runtime::HookResult::NoSuchSelector : runtime::HookResult::NoSuchClass);
        return;
    }
    // The untyped spelling carries no signature: the method's own one is
    // taken, which is what the framework on the phone trusts the caller for.
    const runtime::Method* method = cls->lookup(selector);
    if (!method) {
        substrate::reportRefusedHook(cls, selector, runtime::HookResult::NoSuchSelector);
        return;
    }
    auto result = runtime::hookMessageRaw(cls, selector, method->signature, replacement, old);
    if (result != runtime::HookResult::Ok)
        substrate::reportRefusedHook(cls, selector, result);
}
