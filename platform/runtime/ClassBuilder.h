// Declaring a C++ class to the runtime. A class names itself and its
// superclass with PLV_CLASS, and lists its methods in a static
// `registerMethods(ClassBuilder<T>&)`, selector by selector:
//
//     static void registerMethods(runtime::ClassBuilder<SBBannerView>& b)
//     {
//         b.template method<&SBBannerView::createSubviews>("_createSubviewsWithBannerImage:");
//         b.template ivar<&SBBannerView::m_bannerAndShadowView>("_bannerAndShadowView");
//     }
#pragma once

#include "Message.h"

#include <concepts>
#include <tuple>

namespace runtime {

template <class F>
struct FunctionTraits;
template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...)> {
    using Result = R;
    using Owner = C;
    using Args = std::tuple<A...>;
};
template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...) const> : FunctionTraits<R (C::*)(A...)> {
};
template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...) noexcept> : FunctionTraits<R (C::*)(A...)> {
};
template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...) const noexcept> : FunctionTraits<R (C::*)(A...)> {
};

template <class T>
struct MemberTraits;
template <class C, class V>
struct MemberTraits<V C::*> {
    using Owner = C;
    using Value = V;
};

template <class T>
class ClassBuilder {
public:
    explicit ClassBuilder(Class* cls)
        : m_class(cls)
    {
    }
    Class* cls() const { return m_class; }

    // An instance method implemented by a member function of T.
    template <auto Member>
    bool method(Sel selector)
    {
        using Traits = FunctionTraits<decltype(Member)>;
        return bindMember<Member>(selector, static_cast<typename Traits::Args*>(nullptr));
    }

    // An instance method implemented by a captureless lambda taking (T&, args...).
    template <class F>
    bool method(Sel selector, F)
    {
        using Traits = FunctionTraits<decltype(&F::operator())>;
        return bindLambda<F>(m_class, selector, static_cast<typename Traits::Args*>(nullptr));
    }

    // A class method implemented by a captureless lambda taking (Class&, args...).
    template <class F>
    bool classMethod(Sel selector, F)
    {
        using Traits = FunctionTraits<decltype(&F::operator())>;
        return bindLambda<F>(m_class->metaclass(), selector, static_cast<typename Traits::Args*>(nullptr));
    }

    // An instance variable readable by name.
    template <auto Member>
    void ivar(std::string name)
    {
        using V = typename MemberTraits<decltype(Member)>::Value;
        Ivar v { std::move(name), &typeid(V), [](Object* o) -> void* { return &(static_cast<T*>(o)->*Member); }, nullptr };
        if constexpr (IsRef<V>::value || std::is_same_v<V, Id>)
            v.objectValue = [](Object* o) -> Id { return static_cast<T*>(o)->*Member; };
        else if constexpr (requires(V w) { w.lock(); })
            v.objectValue = [](Object* o) -> Id { return (static_cast<T*>(o)->*Member).lock(); };
        m_class->addIvar(std::move(v));
    }

private:
    template <auto Member, class... A>
    bool bindMember(Sel selector, std::tuple<A...>*)
    {
        using R = typename FunctionTraits<decltype(Member)>::Result;
        Imp imp = reinterpret_cast<Imp>(+[](Object* self, Sel, Param<N<A>>... args) -> N<R> {
            auto* object = static_cast<T*>(self);
            if constexpr (std::is_void_v<R>)
                (object->*Member)(convertValue<A>(args)...);
            else
                return normaliseValue((object->*Member)(convertValue<A>(args)...));
        });
        return m_class->addMethod(selector, signatureOf<R, A...>(), imp);
    }

    template <class F, class Self, class... A>
    static bool bindLambda(Class* target, Sel selector, std::tuple<Self, A...>*)
    {
        using R = typename FunctionTraits<decltype(&F::operator())>::Result;
        using SelfType = std::remove_reference_t<Self>;
        Imp imp = reinterpret_cast<Imp>(+[](Object* self, Sel, Param<N<A>>... args) -> N<R> {
            auto& object = static_cast<SelfType&>(*self);
            if constexpr (std::is_void_v<R>)
                F {}(object, convertValue<A>(args)...);
            else
                return normaliseValue(F {}(object, convertValue<A>(args)...));
        });
        return target->addMethod(selector, signatureOf<R, A...>(), imp);
    }

    Class* m_class;
};

template <class T>
concept HasRegisterMethods = requires(ClassBuilder<T>& b)
{
    T::registerMethods(b);
};

template <class T>
Id makeForRuntime()
{
    if constexpr (std::is_default_constructible_v<T>)
        return std::make_shared<T>();
    else
        return nil;
}

template <class T, class Super>
Class* registerClass()
{
    Class* superclass = Super::classObject();
    Class* named = classNamed(T::className);
    // Another library's class of the same name leaves this one a class of its own.
    Class* cls = defineLibraryClass(T::className, superclass, &makeForRuntime<T>);
    bool fresh = cls != named;
    if constexpr (HasRegisterMethods<T>) {
        if (fresh) {
            ClassBuilder<T> builder(cls);
            T::registerMethods(builder);
        }
    }
    return cls;
}

} // namespace runtime

// In a class body: names the runtime class and its superclass and provides
// `classObject()`, which defines the class on first use.
#define PLV_CLASS(Name, SuperName)                                                  \
public:                                                                             \
    using Super = SuperName;                                                        \
    static constexpr std::string_view className = #Name;                            \
    static ::runtime::Class* classObject()                                          \
    {                                                                               \
        static ::runtime::Class* cls = ::runtime::registerClass<Name, SuperName>(); \
        return cls;                                                                 \
    }                                                                               \
                                                                                    \
private:
