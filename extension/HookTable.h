// Parlivo's hook table as data (the shape is common to both libraries, see
// common/HookTable.h): one row per replaced host method, installed in order,
// a row the host refuses written to the system log and skipped.
#pragma once

#include <common/HookTable.h>

#include <span>
#include <vector>

namespace parlivo {

using common::HookRow;
using common::hookRow;
using common::InstalledHook;

// Rows 1 to 19, in the order they are installed.
const std::vector<HookRow>& hookTable();

// Installs every row the host allows; answers those installed, in order.
std::vector<InstalledHook> installHookTable();
void uninstallHookTable(std::span<const InstalledHook>);

} // namespace parlivo
