// Making platform objects the way the frameworks do: by asking the runtime
// for the class by name. A class that has been taken out of the runtime (a
// framework the phone lacks) yields nil, so every path that needs it fails
// the way it would on such a phone.
#pragma once

#include <runtime/Runtime.h>

#include <mutex>

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

// The one instance behind a `sharedXxx` class method, made on first use. While
// the class is out of the runtime nothing is made, and the next call tries
// again; `reset` lets tests start from a fresh service.
template <class T>
class SharedInstance {
public:
    runtime::Ref<T> get()
    {
        std::lock_guard guard(m_lock);
        if (!m_instance)
            m_instance = instantiate<T>();
        return m_instance;
    }
    void reset()
    {
        std::lock_guard guard(m_lock);
        m_instance.reset();
    }

private:
    std::mutex m_lock;
    runtime::Ref<T> m_instance;
};

} // namespace chatkit
