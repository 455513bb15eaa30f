// Installing Parlivo into the host: what the library's load-time constructor
// does (the hook table, the three classes kept, the reload observer), callable
// in-process so that tests install exactly the code the phone loads.
#pragma once

namespace parlivo {

// Installs the hooks and the observer, starting from fresh module state.
// A second call without an uninstall in between does nothing.
void installParlivo();
// Tests only: reverts every hook (last installed first), removes the
// observer and forgets the module state, controller included.
void uninstallParlivo();

} // namespace parlivo
