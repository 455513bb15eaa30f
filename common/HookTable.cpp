#include "HookTable.h"

#include <foundation/SystemLog.h>

namespace common {

std::vector<InstalledHook> installHookTable(std::span<const HookRow> rows, std::string_view library)
{
    std::vector<InstalledHook> installed;
    for (const auto& row : rows) {
        runtime::Class* cls = runtime::classNamed(row.className);
        if (!cls) {
            foundation::NSLog("{}: no class {} on this system, not hooking {}", library, row.className, row.selector);
            continue;
        }
        auto result = runtime::hookMessageRaw(cls, row.selector, row.signature, row.replacement, { row.slot, row.store });
        if (result != runtime::HookResult::Ok) {
            foundation::NSLog("{}: not hooking -[{} {}]: {}", library, row.className, row.selector, runtime::toString(result));
            continue;
        }
        installed.push_back({ &row, cls });
    }
    return installed;
}

void uninstallHookTable(std::span<const InstalledHook> installed)
{
    for (auto hook = installed.rbegin(); hook != installed.rend(); ++hook) {
        runtime::revertHookRaw(hook->cls, hook->row->selector, hook->row->replacement, hook->row->load(hook->row->slot));
        hook->row->store(hook->row->slot, nullptr);
    }
}

} // namespace common
