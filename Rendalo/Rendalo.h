// Rendalo's start-up, in the two steps its load-time constructors take in
// order: the Darwin observer of "it.kelvane.RDL.reloadPrefs", then, inside one
// scope, the hook table and the host classes the hooks keep. Tests run the
// same steps in-process and take them back with uninstallRendalo().
#pragma once

namespace rendalo {

void installReloadObserver();
void installRendaloHooks();
// Both steps, in order; a second call does nothing.
void installRendalo();
void uninstallRendalo();

} // namespace rendalo
