// Method signatures. Arguments and results are normalised so that a call site
// and a definition agree whatever spelling they use: every integer is an
// NSInteger (int64_t), every floating value a double, every string a
// std::string, every object reference an Id. A signature is then a small
// integer, interned by its type name, that the runtime compares on each send.
#pragma once

#include "Object.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>

namespace runtime {

class Sel;

template <class T>
struct IsRef : std::false_type {
};
template <class T>
struct IsRef<std::shared_ptr<T>> : std::is_base_of<Object, T> {
};

template <class T>
struct Normalise {
    using Type = T;
};
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) || std::is_enum_v<T> struct Normalise<T> {
    using Type = int64_t;
};
template <class T>
requires std::is_floating_point_v<T>
struct Normalise<T> {
    using Type = double;
};
template <>
struct Normalise<const char*> {
    using Type = std::string;
};
template <>
struct Normalise<char*> {
    using Type = std::string;
};
template <>
struct Normalise<std::string_view> {
    using Type = std::string;
};
template <>
struct Normalise<std::nullptr_t> {
    using Type = Id;
};
template <class T>
requires IsRef<T>::value struct Normalise<T> {
    using Type = Id;
};
template <class T>
requires std::is_pointer_v<T> && std::is_base_of_v<Object, std::remove_cv_t<std::remove_pointer_t<T>>>
struct Normalise<T> {
    using Type = Id;
};

template <class T>
using N = typename Normalise<std::decay_t<T>>::Type;

// How a normalised value travels into an implementation: scalars by value,
// everything else by const reference.
template <class T>
using Param = std::conditional_t<std::is_scalar_v<T>, T, const T&>;

using SignatureId = uint32_t;
SignatureId internSignature(const char* mangledName);
std::string signatureName(SignatureId);

template <class R, class... A>
SignatureId signatureOf()
{
    static const SignatureId id = internSignature(typeid(N<R>(N<A>...)).name());
    return id;
}

// Converts a normalised value to what a C++ parameter or caller expects.
template <class To, class From>
decltype(auto) convertValue(From&& value)
{
    using T = std::decay_t<To>;
    if constexpr (std::is_same_v<T, std::decay_t<From>>)
        return std::forward<From>(value);
    else if constexpr (IsRef<T>::value)
        return std::dynamic_pointer_cast<typename T::element_type>(std::forward<From>(value));
    else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<Object, std::remove_cv_t<std::remove_pointer_t<T>>>)
        return dynamic_cast<T>(value.get());
    else if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>)
        return static_cast<T>(value);
    else
        return T(std::forward<From>(value));
}

template <class T>
N<T> normaliseValue(T&& value)
{
    using V = std::decay_t<T>;
    if constexpr (std::is_pointer_v<V> && std::is_base_of_v<Object, std::remove_cv_t<std::remove_pointer_t<V>>>)
        return value ? value->self() : Id {};
    else if constexpr (std::is_same_v<V, std::nullptr_t>)
        return Id {};
    else
        return N<T>(std::forward<T>(value));
}

} // namespace runtime
