// HeavyUtilities, the controller's banner-removal delegate (runtime class
// "HeavyUtilities"): it takes SpringBoard's banner away and, after a quick
// reply opened on the lock screen, lets the screen dim again soon.
#pragma once

#include <runtime/Runtime.h>

namespace parlivo {

inline constexpr double LockScreenDimAfterClose = 5.0;

class HeavyUtilities : public runtime::Object {
    PLV_CLASS(HeavyUtilities, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<HeavyUtilities>&);

    void dismissBanner();
};

} // namespace parlivo
