// The library's only entry point on the phone: the injection framework opens
// Parlivo.so in SpringBoard, and this constructor installs it before
// SpringBoard finishes launching.
#include "Parlivo.h"

[[gnu::constructor]] static void parlivoConstructor()
{
    parlivo::installParlivo();
}
