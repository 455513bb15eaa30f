// Telling a delegate something it may not care about. Delegate methods are
// optional, so a delegate that does not answer the selector is simply not
// told; and since these calls run from the run loop, a platform exception
// the delegate lets escape is reported here instead of reaching the loop.
#pragma once

#include <runtime/Runtime.h>

#include <exception>
#include <string>

namespace messageui {

// Answers whether the delegate answered the selector.
template <class... A>
bool tellDelegate(const runtime::Id& delegate, const runtime::Sel& selector, A&&... args)
{
    if (!runtime::respondsTo(delegate, selector))
        return false;
    try {
        runtime::send(delegate, selector, std::forward<A>(args)...);
    } catch (const runtime::ObjCException& exception) {
        runtime::reportDiagnostic(selector.name() + " raised " + exception.name() + ": " + exception.reason());
    } catch (const std::exception& exception) {
        runtime::reportDiagnostic(selector.name() + " failed: " + exception.what());
    }
    return true;
}

} // namespace messageui
