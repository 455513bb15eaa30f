// The application's entry point on the phone: SpringBoard opens the
// executable of the bundle, this constructor makes the classes known, and
// SpringBoard launches PLVSettingsApplication as the application main would.
#include "PLVSettings.h"

[[gnu::constructor]] static void plvSettingsConstructor()
{
    plvsettings::registerPLVSettingsClasses();
}
