#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/PlistWriter.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using foundation::PlistDictionary;
using foundation::PlistValue;
using kelvane::KelvanePreferenceManager;
using Variant = KelvanePreferenceManager::Variant;

namespace {

constexpr std::string_view PrefsPath = kelvane::PLVPreferencesPath;

std::string plistWith(std::initializer_list<PlistDictionary::Entry> entries)
{
    return foundation::writeXmlPlist(PlistValue(PlistDictionary(entries)));
}

std::unique_ptr<KelvanePreferenceManager> openStore(Variant variant)
{
    auto store = std::make_unique<KelvanePreferenceManager>(variant);
    store->setAppName("PLV");
    store->reloadPreferences();
    return store;
}

class PreferenceStore : public ::testing::Test {
protected:
    testsupport::TemporaryDevice device;
};

TEST_F(PreferenceStore, ExtensionWithoutAFileHoldsNothingAndWritesNothing)
{
    auto store = openStore(Variant::Extension);
    EXPECT_EQ(store->preferences(), nullptr);
    EXPECT_EQ(store->loadValueForKey("qrcolors"), std::nullopt);
    store->writeValue(PlistValue("1 0 0"), "qrcolors");
    store->writePreferences();
    EXPECT_FALSE(device.exists(PrefsPath));
}

TEST_F(PreferenceStore, SettingsStartsFreshWithOnlyTheVersion)
{
    device.makeDirectory("/var/mobile/Library/PLV");
    auto store = openStore(Variant::Settings);
    ASSERT_NE(store->preferences(), nullptr);
    EXPECT_EQ(*store->preferences(), PlistDictionary({ { "version", PlistValue("1.100000") } }));
    EXPECT_FALSE(device.exists(PrefsPath)) << "nothing is written until asked";
    store->writeValue(PlistValue("new"), "bug");
    auto reread = openStore(Variant::Extension);
    ASSERT_NE(reread->preferences(), nullptr);
    EXPECT_EQ(reread->loadValueForKey("bug"), PlistValue("new"));
    EXPECT_EQ(reread->loadValueForKey("version"), PlistValue("1.100000"));
}

TEST_F(PreferenceStore, InitLooksOnlyAtTheUnsetNamesFile)
{
    device.write(PrefsPath, plistWith({ { "version", "1.1" }, { "ncqr", "0" } }));
    KelvanePreferenceManager settings(Variant::Settings);
    EXPECT_EQ(settings.appName(), std::nullopt);
    EXPECT_EQ(*settings.preferences(), PlistDictionary({ { "version", PlistValue("1.100000") } }));
    KelvanePreferenceManager extension(Variant::Extension);
    EXPECT_EQ(extension.preferences(), nullptr);
    auto named = KelvanePreferenceManager::initWithApp(Variant::Extension, "PLV");
    EXPECT_EQ(named->preferences(), nullptr) << "the extension variant loads only when asked";
    named->reloadPreferences();
    EXPECT_EQ(named->loadValueForKey("ncqr"), PlistValue("0"));
}

TEST_F(PreferenceStore, SettingsKeepsCurrentVersionsAndDeletesOlderOnes)
{
    struct Case {
        std::optional<PlistValue> version;
        bool kept;
    };
    const Case cases[] = {
        { PlistValue("1.1"), true },
        { PlistValue("1.100000"), true },
        { PlistValue("2"), true },
        { PlistValue(1.1), true },
        { PlistValue("1.09"), false },
        { PlistValue("1.0"), false },
        { PlistValue("abc"), false },
        { std::nullopt, false },
    };
    for (const auto& c : cases) {
        PlistDictionary contents { { "qrcolors", PlistValue("1 0 0") } };
        if (c.version)
            contents.set("version", *c.version);
        device.write(PrefsPath, foundation::writeXmlPlist(PlistValue(contents)));
        auto store = openStore(Variant::Settings);
        SCOPED_TRACE(c.version ? c.version->debugDescription() : "no version");
        EXPECT_EQ(store->loadValueForKey("qrcolors").has_value(), c.kept);
        EXPECT_EQ(device.exists(PrefsPath), c.kept);
        EXPECT_TRUE(store->loadValueForKey("version").has_value());
    }
}

TEST_F(PreferenceStore, WritingAnAbsentValueRemovesTheKey)
{
    device.write(PrefsPath, plistWith({ { "version", "1.100000" }, { "EIC", "1" }, { "ncqr", "0" } }));
    auto store = openStore(Variant::Settings);
    store->writeValue(std::nullopt, "EIC");
    auto reread = openStore(Variant::Extension);
    EXPECT_EQ(reread->loadValueForKey("EIC"), std::nullopt);
    EXPECT_EQ(reread->loadValueForKey("ncqr"), PlistValue("0"));
    EXPECT_EQ(reread->preferences()->keys(), (std::vector<std::string> { "version", "ncqr" })) << "order kept";
}

TEST_F(PreferenceStore, InPlaceEditsReachTheFileOnWrite)
{
    device.makeDirectory("/var/mobile/Library/PLV");
    auto store = openStore(Variant::Settings);
    store->preferences()->set("lockQR", PlistValue("0"));
    EXPECT_FALSE(device.exists(PrefsPath));
    store->writePreferences();
    EXPECT_EQ(openStore(Variant::Extension)->loadValueForKey("lockQR"), PlistValue("0"));
}

TEST_F(PreferenceStore, UnreadableFilesFallBackWithoutDamage)
{
    // A current file with `entries` added at the end of its dictionary.
    auto currentWith = [](std::string_view entries) {
        auto text = plistWith({ { "version", "1.1" }, { "ncqr", "1" } });
        return text.insert(text.find("</dict>"), entries);
    };
    std::string deepXml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 100000; ++i)
        deepXml += "<array>";
    const std::pair<const char*, std::string> cases[] = {
        { "empty", "" },
        { "truncated", plistWith({ { "version", "1.1" } }).substr(0, 60) },
        { "garbage", "bplist00\xff\xff\xff garbage that is not a property list" },
        { "array root", foundation::writeXmlPlist(PlistValue(foundation::PlistArray { PlistValue("1") })) },
        { "deeply nested", deepXml },
        { "huge", std::string(20 * 1024 * 1024, ' ') },
        // A malformed value makes the whole file unreadable rather than wrong.
        { "integer with junk", currentWith("<key>n</key><integer>42xy</integer>") },
        { "key without a value", currentWith("<key>ncqr</key>") },
        { "impossible date", currentWith("<key>d</key><date>2011-13-06T12:34:56Z</date>") },
        { "invalid UTF-8", currentWith("<key>name</key><string>caf\xC3</string>") },
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        device.write(PrefsPath, bytes);
        EXPECT_EQ(openStore(Variant::Extension)->preferences(), nullptr);
        EXPECT_EQ(device.read(PrefsPath), bytes) << "an unreadable file is left as it was";
        auto settings = openStore(Variant::Settings);
        EXPECT_EQ(*settings->preferences(), PlistDictionary({ { "version", PlistValue("1.100000") } }));
    }
}

TEST_F(PreferenceStore, ReadsAFileInUtf16)
{
    std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<plist version=\"1.0\">\n<dict>"
                          u"<key>version</key><string>1.1</string><key>qrcolors</key><string>1 0 0</string></dict></plist>";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += char(unit & 0xFF);
        bytes += char(unit >> 8);
    }
    device.write(PrefsPath, bytes);
    EXPECT_EQ(openStore(Variant::Extension)->loadValueForKey("qrcolors"), PlistValue("1 0 0"));
    EXPECT_EQ(openStore(Variant::Settings)->loadValueForKey("qrcolors"), PlistValue("1 0 0"));
}

TEST_F(PreferenceStore, BackgroundReloadNeverShowsAHalfDictionary)
{
    PlistDictionary small { { "version", PlistValue("1.1") } };
    PlistDictionary large;
    for (int i = 0; i < 20; ++i)
        large.set("key" + std::to_string(i), PlistValue(std::to_string(i)));
    auto store = openStore(Variant::Extension);
    std::atomic<bool> stop { false };
    std::thread reloader([&] {
        for (int i = 0; i < 200; ++i) {
            foundation::writePlistAtomically(device.host(PrefsPath), PlistValue(i % 2 ? small : large));
            store->reloadPreferences();
        }
        stop = true;
    });
    while (!stop) {
        if (auto dictionary = store->preferences()) {
            size_t size = dictionary->size();
            EXPECT_TRUE(size == 1 || size == 20) << size;
            size_t walked = 0;
            for ([[maybe_unused]] const auto& entry : *dictionary)
                ++walked;
            EXPECT_EQ(walked, size);
        }
    }
    reloader.join();
}

} // namespace
