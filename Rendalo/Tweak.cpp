// The library's only entry points on the phone: the injection framework opens
// Rendalo.so in SpringBoard, and these constructors run in this order before
// SpringBoard finishes launching.
#include "Rendalo.h"

[[gnu::constructor(101)]] static void rendaloObserverConstructor()
{
    rendalo::installReloadObserver();
}

[[gnu::constructor(102)]] static void rendaloHooksConstructor()
{
    // One scope around the installation: whatever it made for the moment is
    // let go at its end, as the pool on the phone drains.
    {
        rendalo::installRendaloHooks();
    }
}
