#include "support/TemporaryDevice.h"

#include <simulator/PreferenceWriter.h>

#include <foundation/PlistReader.h>

#include <gtest/gtest.h>

using namespace simulator;

namespace {

foundation::PlistDictionary preferencesOf(const testsupport::TemporaryDevice& device, std::string_view product)
{
    auto read = foundation::readPlistDictionaryFile(device.host(preferencesDevicePath(product)));
    EXPECT_TRUE(read) << read.reason();
    return read ? *read->asDictionary() : foundation::PlistDictionary {};
}

TEST(PreferenceWriter, StartsAMissingFileWithItsVersion)
{
    testsupport::TemporaryDevice device;
    EXPECT_FALSE(writePreference("PLV", "ncqr", foundation::PlistValue("0")));
    auto preferences = preferencesOf(device, "PLV");
    EXPECT_EQ(preferences, (foundation::PlistDictionary { { "version", "1.100000" }, { "ncqr", "0" } }));
    EXPECT_EQ(preferences.entryAt(0).first, "version");
    EXPECT_NE(device.read("/var/mobile/Library/PLV/preferences.plist").find("<?xml"), std::string::npos) << "written as XML, as the settings application does";

    EXPECT_FALSE(writePreference("RDL", "builtinSMS", foundation::PlistValue("1")));
    EXPECT_EQ(preferencesOf(device, "RDL").find("builtinSMS")->stringValue(), "1");
}

TEST(PreferenceWriter, ChangesOneKeyAndKeepsTheRest)
{
    testsupport::TemporaryDevice device;
    device.write("/var/mobile/Library/PLV/preferences.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>version</key><string>1.0</string><key>qrcolors</key><string>1 0 0</string><key>EIC</key><string>1</string></dict></plist>)");
    EXPECT_FALSE(writePreference("PLV", "qrcolors", foundation::PlistValue("0.5 0.5 0.5")));
    EXPECT_FALSE(writePreference("PLV", "EIC", std::nullopt));
    auto preferences = preferencesOf(device, "PLV");
    EXPECT_EQ(preferences, (foundation::PlistDictionary { { "version", "1.0" }, { "qrcolors", "0.5 0.5 0.5" } }))
        << "an existing file keeps its version: the scenario writes what it is told";
}

TEST(PreferenceWriter, LeavesAMalformedFileAlone)
{
    testsupport::TemporaryDevice device;
    device.write("/var/mobile/Library/PLV/preferences.plist", "<plist><dict><key>ncqr");
    auto error = writePreference("PLV", "ncqr", foundation::PlistValue("1"));
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("is not a property-list dictionary"), std::string::npos) << *error;
    EXPECT_EQ(device.read("/var/mobile/Library/PLV/preferences.plist"), "<plist><dict><key>ncqr");

    device.write("/var/mobile/Library/PLV/preferences.plist", R"(<plist version="1.0"><array><string>1</string></array></plist>)");
    EXPECT_TRUE(writePreference("PLV", "ncqr", foundation::PlistValue("1"))) << "a list is not the preferences dictionary";
}

TEST(PreferenceWriter, RefusesWhatHasNoFile)
{
    testsupport::TemporaryDevice device;
    EXPECT_EQ(writePreference("Mail", "x", foundation::PlistValue("1")).value_or(""), "no preferences file for product \"Mail\" (PLV or RDL)");
    EXPECT_EQ(writePreference("PLV", "", foundation::PlistValue("1")).value_or(""), "an empty preference key");
    EXPECT_FALSE(device.exists("/var/mobile/Library/PLV/preferences.plist"));
    EXPECT_EQ(reloadNotificationName("RDL"), "it.kelvane.RDL.reloadPrefs");
}

} // namespace
