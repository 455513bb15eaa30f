// A library's hook table as data: one row per replaced host method, with the
// class and selector spelled as the host spells them, the replacement, and
// the slot that keeps the implementation it replaced. Installing walks the
// rows in order; a row whose class or selector the host lacks, or whose
// signature does not match, is written to the system log and skipped (the
// logger has no project before launch). Uninstalling reverts the installed
// rows last first, so a test can install the same code again.
//
// Two libraries that replace the same method each keep their own slot, so
// the later one calls the earlier one, which calls the host: the chain runs
// in load order.
#pragma once

#include <runtime/Runtime.h>

#include <span>
#include <string_view>
#include <vector>

namespace common {

struct HookRow {
    std::string_view className;
    std::string_view selector;
    runtime::SignatureId signature;
    runtime::Imp replacement;
    void* slot;
    void (*store)(void* slot, runtime::Imp);
    runtime::Imp (*load)(const void* slot);
};

template <class R, class... A>
HookRow hookRow(std::string_view className, std::string_view selector, R (*replacement)(runtime::Object*, runtime::Sel, A...),
    R (**slot)(runtime::Object*, runtime::Sel, A...))
{
    using Fn = R (*)(runtime::Object*, runtime::Sel, A...);
    return { className, selector, runtime::signatureOf<R, A...>(), reinterpret_cast<runtime::Imp>(replacement), slot,
        [](void* s, runtime::Imp imp) { *static_cast<Fn*>(s) = reinterpret_cast<Fn>(imp); },
        [](const void* s) { return reinterpret_cast<runtime::Imp>(*static_cast<const Fn*>(s)); } };
}

struct InstalledHook {
    const HookRow* row;
    runtime::Class* cls;
};

// Installs every row the host allows; answers those installed, in order.
// `library` names the library in the system log ("Parlivo", "Rendalo").
std::vector<InstalledHook> installHookTable(std::span<const HookRow>, std::string_view library);
void uninstallHookTable(std::span<const InstalledHook>);

} // namespace common
