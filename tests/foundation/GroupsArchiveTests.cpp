// The groups file as the system reads it: NSFileManager and NSKeyedUnarchiver
// reached by name over a device root, and the group records taken from the
// archive's root.
#include <foundation/AtomicFile.h>
#include <foundation/GroupsArchive.h>
#include <foundation/KeyedArchive.h>
#include <foundation/PlistWriter.h>
#include <foundation/RunLoop.h>
#include <foundation/SystemLog.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

using namespace foundation;
using runtime::Id;

namespace {

constexpr std::string_view GroupsPath = "/var/mobile/Library/Cellarine/groups.plist";

PlistValue member(std::string contact, PlistValue isNumber)
{
    return PlistDictionary { { "contact", std::move(contact) }, { "isNumber", std::move(isNumber) } };
}

// Shaped as the other product writes it, keys of its own included.
PlistValue sampleGroups()
{
    PlistDictionary football { { "name", "Calcetto del giovedì" },
        { "members", PlistArray { member("+39 347 123 4567", true), member("niccolo@example.it", false) } }, { "groupID", 1 },
        { "color", "0.2 0.6 0.2" } };
    PlistDictionary empty { { "name", "Nuovo gruppo" }, { "members", PlistArray {} }, { "groupID", 3 } };
    return PlistArray { PlistValue(std::move(football)), PlistValue(std::move(empty)) };
}

class GroupsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerRunLoopClasses(); // what the phone calls at boot
        SystemLog::shared().clear();
    }

    bool exists(std::string_view path)
    {
        Id manager = runtime::send<Id>(runtime::classNamed("NSFileManager"), "defaultManager");
        return runtime::send<bool>(manager, "fileExistsAtPath:", std::string(path));
    }
    std::optional<PlistValue> unarchive(std::string_view path)
    {
        return runtime::send<std::optional<PlistValue>>(runtime::classNamed("NSKeyedUnarchiver"), "unarchiveObjectWithFile:", std::string(path));
    }
    std::vector<std::string> console() { return SystemLog::shared().lines(); }

    testsupport::TemporaryDevice device;
};

TEST_F(GroupsFile, TheSeedersArchiveReadsBackByNameInBothEncodings)
{
    ASSERT_TRUE(runtime::classNamed("NSFileManager"));
    ASSERT_TRUE(runtime::classNamed("NSKeyedUnarchiver"));
    EXPECT_EQ(runtime::send<Id>(runtime::classNamed("NSFileManager"), "defaultManager"),
        runtime::send<Id>(runtime::classNamed("NSFileManager"), "defaultManager"));
    for (auto format : { PlistFormat::Binary, PlistFormat::Xml }) {
        std::filesystem::create_directories(device.host(GroupsPath).parent_path());
        ASSERT_TRUE(writeKeyedArchiveAtomically(device.host(GroupsPath), sampleGroups(), format));
        EXPECT_TRUE(exists(GroupsPath));
        auto root = unarchive(GroupsPath);
        ASSERT_TRUE(root);
        auto groups = groupRecords(*root);
        EXPECT_EQ(PlistValue(groups), sampleGroups()) << "every record usable, extra keys kept";
        EXPECT_EQ(groups[0].asDictionary()->keys(), (std::vector<std::string> { "name", "members", "groupID", "color" }));
    }
    EXPECT_TRUE(console().empty()) << console().front();
}

TEST_F(GroupsFile, WhatIsNoArchiveReadsAsNilAndSaysWhy)
{
    EXPECT_FALSE(exists(GroupsPath));
    EXPECT_FALSE(unarchive(GroupsPath));
    EXPECT_EQ(console(),
        std::vector<std::string> { "NSKeyedUnarchiver: cannot read /var/mobile/Library/Cellarine/groups.plist: No such file or directory" })
        << "the device's path, not the host's";

    // A folder exists, but is no file to read.
    device.makeDirectory("/var/mobile/Library/Cellarine/groups.plist.d");
    EXPECT_TRUE(exists("/var/mobile/Library/Cellarine/groups.plist.d"));
    EXPECT_FALSE(unarchive("/var/mobile/Library/Cellarine/groups.plist.d"));

    // Paths that do not map into the device root.
    for (auto path : { "", "Library/groups.plist", "/../../etc/passwd" }) {
        EXPECT_FALSE(exists(path)) << path;
        EXPECT_FALSE(unarchive(path)) << path;
    }

    // A plain property list, text that is no property list, and a binary list cut short.
    std::filesystem::create_directories(device.host(GroupsPath).parent_path());
    ASSERT_TRUE(writePlistAtomically(device.host(GroupsPath), sampleGroups()));
    SystemLog::shared().clear();
    EXPECT_TRUE(exists(GroupsPath));
    EXPECT_FALSE(unarchive(GroupsPath));
    ASSERT_EQ(console().size(), 1u);
    EXPECT_TRUE(console()[0].starts_with("NSKeyedUnarchiver: cannot read /var/mobile/Library/Cellarine/groups.plist: ")) << console()[0];
    EXPECT_EQ(console()[0].find(device.root().string()), std::string::npos) << console()[0];

    device.write(GroupsPath, "Calcetto, Famiglia");
    EXPECT_FALSE(unarchive(GroupsPath));
    auto archive = keyedArchive(sampleGroups());
    ASSERT_TRUE(archive);
    auto bytes = writeBinaryPlist(*archive);
    device.write(GroupsPath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size() / 2));
    EXPECT_FALSE(unarchive(GroupsPath));
    EXPECT_EQ(console().size(), 3u);
}

TEST_F(GroupsFile, AnArchiveThatRefersToItselfIsRefused)
{
    // The root array holds a reference to itself: decoding it naively never ends.
    PlistValue hostile = PlistDictionary { { "$version", 100000 }, { "$archiver", "NSKeyedArchiver" }, { "$top", PlistDictionary { { "root", PlistUid { 1 } } } },
        { "$objects",
            PlistArray { "$null", PlistDictionary { { "NS.objects", PlistArray { PlistUid { 1 } } }, { "$class", PlistUid { 2 } } },
                PlistDictionary { { "$classname", "NSMutableArray" }, { "$classes", PlistArray { "NSMutableArray", "NSArray", "NSObject" } } } } } };
    std::filesystem::create_directories(device.host(GroupsPath).parent_path());
    auto bytes = writeBinaryPlist(hostile);
    ASSERT_TRUE(writeFileAtomically(device.host(GroupsPath), std::span<const uint8_t>(bytes)));
    EXPECT_FALSE(unarchive(GroupsPath));
    EXPECT_EQ(console().size(), 1u);
}

TEST(GroupRecords, ARootThatIsNoArrayHoldsNoGroups)
{
    SystemLog::shared().clear();
    EXPECT_TRUE(groupRecords(PlistDictionary { { "name", "Famiglia" }, { "members", PlistArray {} } }).empty());
    EXPECT_TRUE(groupRecords(PlistValue("groups")).empty());
    EXPECT_EQ(SystemLog::shared().lines().size(), 2u);
    EXPECT_TRUE(SystemLog::shared().contains("groups file: the archive's root is not an array, so there are no groups"));
}

TEST(GroupRecords, RecordsOfTheWrongShapeAreSkippedWholeAndCounted)
{
    SystemLog::shared().clear();
    PlistDictionary good { { "name", "Famiglia" }, { "members", PlistArray { member("347 555 7788", true) } }, { "groupID", 2 },
        { "photo", PlistData { 0xff, 0xd8 } } };
    PlistDictionary flaggedByNumber { { "name", "Lavoro" }, { "members", PlistArray { member("0612345678", 1), member("capo@example.it", 0) } } };
    PlistArray root {
        good,
        PlistDictionary { { "members", PlistArray {} } }, // no name
        PlistDictionary { { "name", 7 }, { "members", PlistArray {} } }, // a name that is no string
        PlistDictionary { { "name", "Senza membri" } }, // no members
        PlistDictionary { { "name", "Membri a parte" }, { "members", PlistDictionary {} } }, // members not an array
        PlistDictionary { { "name", "Mezzo gruppo" }, { "members", PlistArray { member("3281234000", true), PlistDictionary { { "isNumber", true } } } } },
        PlistDictionary { { "name", "Senza flag" }, { "members", PlistArray { PlistDictionary { { "contact", "3281234000" } } } } },
        PlistDictionary { { "name", "Flag a parole" }, { "members", PlistArray { member("3281234000", "YES") } } },
        PlistDictionary { { "name", "Membro a stringa" }, { "members", PlistArray { "3281234000" } } },
        "Calcetto",
        flaggedByNumber,
    };
    auto groups = groupRecords(root);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0], PlistValue(good)) << "kept as it was, keys of its own included";
    EXPECT_EQ(*groups[1].find("name")->asString(), "Lavoro");
    auto& members = *groups[1].find("members")->asArray();
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].find("isNumber")->asBoolean(), true);
    EXPECT_EQ(members[1].find("isNumber")->asBoolean(), false);
    EXPECT_EQ(SystemLog::shared().lines(),
        std::vector<std::string> { "groups file: skipped 9 of 11 group records that lack a name or well-formed members" });
}

} // namespace
