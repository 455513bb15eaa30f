// Seeding a demo phone: the device folders, an Address Book of a few hundred
// demo people, a Messages history, pictures in the photo library, the
// favourites and groups files Quick Compose reads, the product images and
// whatever extension libraries the build has. Seeding is deterministic and
// can be repeated: what is missing is created, the user's data that is
// already there (databases, favourites, groups, pictures, preferences) is
// kept, and the build products (images, libraries) are refreshed.
#pragma once

#include "ProductInstall.h"

#include <foundation/Result.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace simulator {

struct SeedOptions {
    std::filesystem::path deviceRoot;
    // The build's rasterised images (<dir>/PLV/*.png, <dir>/RDL/*.png).
    std::filesystem::path resourcesDir;
    // Where Parlivo.so and Rendalo.so are looked for, in order.
    std::vector<std::filesystem::path> extensionSearchDirs;
    // Which of them the phone loads; without one the phone keeps its
    // recorded choice, and a new phone gets the default.
    std::optional<ExtensionChoice> extensions;
    size_t contactCount { 300 };
    uint32_t seed { 20120504 };
};

// Told one line per thing done, as it is done, for the person who ran the
// seed: "created …", "kept …", "installed …", "skipped …: why".
using SeedNote = std::function<void(const std::string&)>;

// Sets the device root to `options.deviceRoot` and seeds it. Refuses a
// folder that holds other things but no phone, so a mistyped path cannot
// spray device folders over someone's files.
foundation::Result<void> seedDemoPhone(const SeedOptions&, const SeedNote& = {});

// Whether the folder already holds a phone (its /var/mobile folder).
bool holdsPhone(const std::filesystem::path& deviceRoot);

} // namespace simulator
