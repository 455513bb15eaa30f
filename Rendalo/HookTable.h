// Rendalo's hook table, in the order it is installed.
#pragma once

#include <common/HookTable.h>

#include <vector>

namespace rendalo {

const std::vector<common::HookRow>& hookTable();

} // namespace rendalo
