// The one way a call says it failed: a `Result<T>` holds either the value or
// an `Error`, whose reason is a sentence a person can act on ("the device
// root /tmp/x is not a folder", "sms.db: database is locked"). The reason is
// carried unchanged from the call that failed to whoever shows it (the
// scenario runner, the web page, the system log), and `TRY` passes it up one
// level in one line:
//
//     Result<Phone> boot()
//     {
//         auto root = TRY(checkedRoot(options));   // returns the Error if any
//         ...
//     }
//
// The platform's own nil answers (a send to nil, an absent class) stay as the
// platform gives them; this type is for our calls that can fail for a reason.
// A Result with a value is not [[nodiscard]]: a device action is often fired
// for its effect alone (a test taps, then looks at the screen). A
// Result<void> is, as it says nothing but whether the call failed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

namespace foundation {

class Error {
public:
    explicit Error(std::string reason)
        : m_reason(std::move(reason))
    {
    }

    const std::string& reason() const { return m_reason; }

    // The same failure seen one level up: "sms.db: " + "disk I/O error".
    Error prefixed(std::string_view context) const { return Error(std::string(context) + m_reason); }

    bool operator==(const Error&) const = default;

private:
    std::string m_reason;
};

template <class T>
class Result {
public:
    using ValueType = T;

    Result(T value)
        : m_storage(std::in_place_index<0>, std::move(value))
    {
    }
    // Any value that makes a T (a string literal for Result<std::string>, a
    // derived pointer for a base one).
    template <class U>
    requires(std::is_constructible_v<T, U&&> && !std::is_same_v<std::remove_cvref_t<U>, T> && !std::is_same_v<std::remove_cvref_t<U>, Error> && !std::is_same_v<std::remove_cvref_t<U>, Result>)
        Result(U&& value)
        : m_storage(std::in_place_index<0>, T(std::forward<U>(value)))
    {
    }
    Result(Error error)
        : m_storage(std::in_place_index<1>, std::move(error))
    {
    }

    bool isError() const { return m_storage.index() == 1; }
    explicit operator bool() const { return !isError(); }

    T& value() { return std::get<0>(m_storage); }
    const T& value() const { return std::get<0>(m_storage); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T releaseValue() { return std::move(value()); }
    T valueOr(T fallback) const& { return isError() ? std::move(fallback) : value(); }

    const Error& error() const { return std::get<1>(m_storage); }
    Error releaseError() { return std::move(std::get<1>(m_storage)); }
    // The reason, or an empty text when there is a value.
    std::string reason() const { return isError() ? error().reason() : std::string(); }

private:
    std::variant<T, Error> m_storage;
};

// A call that answers nothing but may fail.
template <>
class [[nodiscard]] Result<void> {
public:
    using ValueType = void;

    Result() = default;
    Result(Error error)
        : m_error(std::move(error))
    {
    }

    bool isError() const { return m_error.has_value(); }
    explicit operator bool() const { return !isError(); }
    void value() const { }
    void releaseValue() const { }

    const Error& error() const { return *m_error; }
    Error releaseError() { return std::move(*m_error); }
    std::string reason() const { return isError() ? m_error->reason() : std::string(); }

private:
    std::optional<Error> m_error;
};

// Success for a Result<void>: `return success();`.
inline Result<void> success() { return {}; }

} // namespace foundation

// Evaluates a Result; on an error, returns that error from the enclosing
// function (whose own Result type may differ); otherwise the expression is
// the value. A GNU statement expression, as the toolchains we build with
// (GCC and Clang) both offer.
#define TRY(expression)                       \
    __extension__({                           \
        auto&& _tryResult = (expression);     \
        if (_tryResult.isError())             \
            return _tryResult.releaseError(); \
        std::move(_tryResult).releaseValue(); \
    })
