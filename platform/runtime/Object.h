// The root of every object the runtime knows: reference-counted (shared
// ownership, weak references for delegates) and tagged with its runtime class,
// so that messages sent to it find their implementation by name.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace runtime {

class Class;
class Object;

using Id = std::shared_ptr<Object>;
using WeakId = std::weak_ptr<Object>;
template <class T>
using Ref = std::shared_ptr<T>;
template <class T>
using Weak = std::weak_ptr<T>;

inline const Id nil {};

class Object : public std::enable_shared_from_this<Object> {
public:
    static constexpr std::string_view className = "NSObject";
    static Class* classObject();

    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    Class* isa() const { return m_isa; }
    bool isKindOfClass(const Class* cls) const;
    bool isMemberOfClass(const Class* cls) const { return cls && m_isa == cls; }
    bool respondsToSelector(const class Sel&) const;
    // The runtime class name, e.g. "SBBannerView".
    const std::string& runtimeClassName() const;
    virtual std::string description() const;

    Id self() { return shared_from_this(); }
    template <class T>
    Ref<T> selfAs() { return std::static_pointer_cast<T>(shared_from_this()); }

private:
    friend class Class;
    template <class T, class... A>
    friend Ref<T> make(A&&...);
    template <class T>
    friend void setClassOf(T&, Class*);

    Class* m_isa { nullptr };
};

// Creates an object of a runtime-registered C++ class (T::classObject()).
template <class T, class... A>
Ref<T> make(A&&... args)
{
    auto object = std::make_shared<T>(std::forward<A>(args)...);
    static_cast<Object&>(*object).m_isa = T::classObject();
    return object;
}

template <class T>
void setClassOf(T& object, Class* cls)
{
    static_cast<Object&>(object).m_isa = cls;
}

// Downcasts an id to a C++ class; nil when it is of another class.
template <class T>
Ref<T> cast(const Id& object)
{
    return std::dynamic_pointer_cast<T>(object);
}

} // namespace runtime
