// The preference store reloading a file of any bytes, in both variants: the
// extension's store holds the file's dictionary or none, the settings
// application's always holds a current one (a fresh one for an unreadable or
// outdated file), and what the settings application then writes reads back
// as what it holds, but for what no XML list can carry. The colour strings
// read from it parse as the windows parse them.
#include "PlistRoundTrip.h"

#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/Colour.h>

#include <fstream>

using namespace kelvane;
using fuzzing::fuzzRequire;

namespace {

void writeFile(const std::filesystem::path& file, const uint8_t* data, size_t size)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    fuzzRequire(bool(out), "cannot write the preferences file");
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool rooted = [] {
        foundation::setDeviceRoot(fuzzing::fuzzDeviceRoot());
        return true;
    }();
    (void)rooted;
    auto file = foundation::hostPath(PLVPreferencesPath);
    writeFile(file, data, size);
    auto direct = foundation::readPlistDictionary(std::span(data, size));

    auto extension = KelvanePreferenceManager::initWithApp(KelvanePreferenceManager::Variant::Extension, PLVApplicationName);
    extension->reloadPreferences();
    auto held = extension->preferences();
    fuzzRequire(bool(held) == bool(direct), "the extension's store disagrees with the reader about the file");
    if (held) {
        // A date or real that is not a number never equals itself.
        fuzzRequire(fuzzing::holdsNaN(*direct) || *held == *direct->asDictionary(),
            "the extension's store holds another dictionary than the file's");
        for (auto key : { Key::QuickReplyColors, Key::QuickReplyTextField, Key::QuickReplyText, Key::QuickComposeColors,
                 Key::QuickComposeTextField, Key::QuickComposeText }) {
            if (auto value = extension->loadValueForKey(key)) {
                if (auto colour = foundation::colourFromString(value->stringValue()))
                    fuzzRequire(colour->red >= 0 && colour->red <= 1, "a preference colour outside 0..1");
            }
        }
    }

    auto settings = KelvanePreferenceManager::initWithApp(KelvanePreferenceManager::Variant::Settings, PLVApplicationName);
    auto current = settings->preferences();
    fuzzRequire(bool(current), "the settings application's store holds no dictionary");
    fuzzRequire(current->contains(Key::Version), "the settings application's store holds no version");
    foundation::PlistValue whole(*current);
    if (fuzzing::holdsNaN(whole))
        return 0;
    settings->writePreferences();
    auto written = foundation::readPlistDictionaryFile(file);
    fuzzRequire(bool(written), "the file the settings application wrote cannot be read: " + written.reason());
    // The file is XML: a string's U+FFFE or U+FFFF is written as U+FFFD and
    // a date to the second, and an object reference as a {CF$UID: n}
    // dictionary, as in every XML list the phone writes.
    fuzzRequire(fuzzing::holdsUid(whole) || *written == fuzzing::asXmlCarriesIt(whole),
        "the file the settings application wrote reads as another dictionary");
    return 0;
}
