// Gives a variable a value for the length of a scope and puts the old value
// back when the scope ends, however it ends. The flags that let one hooked
// call through for the duration of another (set, call, unset) are written as
// one of these, so an early return or an exception cannot leave a flag set.
#pragma once

#include <utility>

namespace foundation {

template <typename T>
class [[nodiscard]] TemporaryChange {
public:
    TemporaryChange(T& variable, T value)
        : m_variable(variable)
        , m_oldValue(std::exchange(variable, std::move(value)))
    {
    }

    ~TemporaryChange() { m_variable = std::move(m_oldValue); }

    TemporaryChange(const TemporaryChange&) = delete;
    TemporaryChange& operator=(const TemporaryChange&) = delete;
    TemporaryChange(TemporaryChange&&) = delete;
    TemporaryChange& operator=(TemporaryChange&&) = delete;

private:
    T& m_variable;
    T m_oldValue;
};

} // namespace foundation
