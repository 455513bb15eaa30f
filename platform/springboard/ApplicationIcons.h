// Where each application's home-screen icon lies on the device: in its
// bundle, as Icon.png (57 points square). The seeder installs the icons we
// draw (resources/Applications/); an application whose icon is not there
// shows a plain tile of its colour instead.
#pragma once

#include <optional>
#include <string>

namespace springboard {

struct ApplicationIcon {
    // The device path of Icon.png.
    std::string path;
    // The tile's colour when the picture is missing, as r, g, b in 0…1.
    double red, green, blue;
};

// The icon of the application with that display identifier, if it has one.
std::optional<ApplicationIcon> applicationIcon(const std::string& displayIdentifier);

} // namespace springboard
