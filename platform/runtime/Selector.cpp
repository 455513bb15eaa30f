#include "Selector.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace runtime {

namespace {

    struct SelectorTable {
        std::shared_mutex lock;
        std::deque<SelectorInfo> infos; // stable addresses
        std::unordered_map<std::string_view, const SelectorInfo*> byName;
    };

    SelectorTable& table()
    {
        static auto* t = new SelectorTable; // never destroyed: selectors outlive static destructors
        return *t;
    }

    const SelectorInfo* intern(std::string_view name)
    {
        auto& t = table();
        {
            std::shared_lock read(t.lock);
            if (auto it = t.byName.find(name); it != t.byName.end())
                return it->second;
        }
        std::unique_lock write(t.lock);
        if (auto it = t.byName.find(name); it != t.byName.end())
            return it->second;
        // Index 0 is never handed out, so a default Sel never hits a cache slot.
        auto& info = t.infos.emplace_back(SelectorInfo { std::string(name), static_cast<uint32_t>(t.infos.size() + 1) });
        t.byName.emplace(info.name, &info);
        return &info;
    }

    // Selectors are mostly spelt as literals at the call site, so the same
    // few pointers come back on every send. Each thread remembers, per
    // pointer, the selector it named last time; a remembered one is used only
    // while the text there still spells its name (the memory behind a pointer
    // may hold another text by now), which spares the table's lock and hash.
    const SelectorInfo* internLiteral(const char* name)
    {
        struct Remembered {
            const char* text { nullptr };
            const SelectorInfo* info { nullptr };
        };
        constexpr size_t Slots = 256;
        thread_local Remembered remembered[Slots];
        auto& slot = remembered[(reinterpret_cast<uintptr_t>(name) >> 3) % Slots];
        if (slot.text == name && std::strcmp(slot.info->name.c_str(), name) == 0)
            return slot.info;
        const SelectorInfo* info = intern(name);
        slot = { name, info };
        return info;
    }

} // namespace

Sel::Sel(const char* name)
    : m_info(name ? internLiteral(name) : nullptr)
{
}

Sel::Sel(std::string_view name)
    : m_info(intern(name))
{
}

const std::string& Sel::name() const
{
    static const std::string empty;
    return m_info ? m_info->name : empty;
}

int Sel::argumentCount() const
{
    return static_cast<int>(std::count(name().begin(), name().end(), ':'));
}

} // namespace runtime
