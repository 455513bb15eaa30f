// What the colour and skin editors ask of their delegate, the root table
// controller: the application's one preference store (`prefsManager`).
// Reached by a cast of the delegate, so an editor works for any delegate
// that offers the store and does nothing for one that does not.
#pragma once

#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <runtime/Runtime.h>

#include <memory>

namespace plvsettings {

class PreferencesDelegate {
public:
    virtual ~PreferencesDelegate() = default;
    virtual std::shared_ptr<kelvane::KelvanePreferenceManager> prefsManager() const = 0;

    // The store of a delegate that offers one, else null.
    static std::shared_ptr<kelvane::KelvanePreferenceManager> storeOf(const runtime::Id& delegate)
    {
        auto holder = std::dynamic_pointer_cast<PreferencesDelegate>(delegate);
        return holder ? holder->prefsManager() : nullptr;
    }
};

// "it.kelvane.PLV.reloadPrefs", as the settings application posts it.
void postReloadNotification();

} // namespace plvsettings
