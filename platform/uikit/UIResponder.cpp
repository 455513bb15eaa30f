#include "UIResponder.h"

#include "UIKitContext.h"

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UIResponder::registerMethods(runtime::ClassBuilder<UIResponder>& b)
{
    b.method<&UIResponder::nextResponder>("nextResponder");
    b.method<&UIResponder::canBecomeFirstResponder>("canBecomeFirstResponder");
    b.method<&UIResponder::canResignFirstResponder>("canResignFirstResponder");
    b.method<&UIResponder::becomeFirstResponder>("becomeFirstResponder");
    b.method<&UIResponder::resignFirstResponder>("resignFirstResponder");
    b.method<&UIResponder::isFirstResponder>("isFirstResponder");
}

Ref<UIResponder> UIResponder::currentFirstResponder() { return uikitContext().firstResponder.lock(); }

bool UIResponder::isFirstResponder() const { return uikitContext().firstResponder.lock().get() == this; }

bool UIResponder::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    // Both questions go through the runtime, so a system subclass can answer them.
    if (!runtime::send<bool>(this, "canBecomeFirstResponder"))
        return false;
    auto keepAlive = selfAs<UIResponder>();
    if (!shouldBeginEditing())
        return false;
    if (auto current = currentFirstResponder()) {
        if (!runtime::send<bool>(current, "resignFirstResponder"))
            return false;
        // The resigning responder's delegate may already have chosen another one.
        if (currentFirstResponder())
            return false;
    }
    uikitContext().firstResponder = keepAlive;
    didBecomeFirstResponder();
    return true;
}

bool UIResponder::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    auto keepAlive = selfAs<UIResponder>();
    if (!runtime::send<bool>(this, "canResignFirstResponder") || !shouldEndEditing())
        return false;
    // A delegate that made another responder first in the meantime has already moved us out.
    if (!isFirstResponder())
        return true;
    uikitContext().firstResponder.reset();
    didResignFirstResponder();
    return true;
}

} // namespace uikit
