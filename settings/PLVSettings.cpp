#include "PLVSettings.h"

#include "ColorChoiceViewController.h"
#include "FavoritesViewController.h"
#include "PLVSettingsApplication.h"
#include "RootViewController.h"
#include "ThemeChoiceViewController.h"

namespace plvsettings {

void registerPLVSettingsClasses()
{
    PLVSettingsApplication::classObject();
    RootViewController::classObject();
    FavoritesViewController::classObject();
    ColorChoiceViewController::classObject();
    ThemeChoiceViewController::classObject();
}

} // namespace plvsettings
