// HeavyUtilities, Rendalo's banner-removal delegate (runtime class
// "HeavyUtilities", Rendalo's own): it takes SpringBoard's banner away when
// the controller asks. Rendalo has no lock-screen window, so there is no dim
// timer to restart.
#pragma once

#include <runtime/Runtime.h>

namespace rendalo {

class HeavyUtilities : public runtime::Object {
    PLV_CLASS(HeavyUtilities, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<HeavyUtilities>&);
    void dismissBanner();
};

} // namespace rendalo
