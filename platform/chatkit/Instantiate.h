// Making platform objects the way the frameworks do: by asking the runtime
// for the class by name. A class that has been taken out of the runtime (a
// framework the phone lacks) yields nil, so every path that needs it fails
// the way it would on such a phone.
#pragma once

#include <runtime/Runtime.h>

namespace chatkit {

template <class T>
runtime::Ref<T> instantiate()
{
    T::classObject();
    runtime::Class* cls = runtime::classNamed(T::className);
    if (!cls)
        return nullptr;
    return runtime::cast<T>(cls->createInstance());
}

template <class T>
bool classPresent()
{
    T::classObject();
    return runtime::classNamed(T::className);
}

} // namespace chatkit
