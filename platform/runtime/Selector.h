// Interned selectors. A selector is a handle to a name that is registered once
// per process; comparing two selectors compares pointers, and each selector has
// a small dense index that method caches use as their key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

struct SelectorInfo {
    std::string name;
    uint32_t index;
};

class Sel {
public:
    Sel() = default;
    // Implicit on purpose: `send(object, "launchURL")` reads like the message it sends.
    Sel(const char* name);
    Sel(std::string_view name);
    Sel(const std::string& name)
        : Sel(std::string_view(name))
    {
    }

    const std::string& name() const;
    uint32_t index() const { return m_info ? m_info->index : 0; }
    bool isNull() const { return !m_info; }
    // Number of ':' in the name, the number of arguments the method takes.
    int argumentCount() const;

    bool operator==(const Sel& other) const = default;

private:
    const SelectorInfo* m_info { nullptr };
};

inline Sel sel(std::string_view name) { return Sel(name); }

} // namespace runtime

template <>
struct std::hash<runtime::Sel> {
    size_t operator()(const runtime::Sel& s) const noexcept { return s.index(); }
};
