#include "Selector.h"

#include <algorithm>
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

} // namespace

Sel::Sel(const char* name)
    : m_info(name ? intern(name) : nullptr)
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
