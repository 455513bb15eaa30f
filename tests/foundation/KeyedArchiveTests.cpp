#include "support/TemporaryFolder.h"

#include <foundation/AtomicFile.h>
#include <foundation/KeyedArchive.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace foundation;
namespace fs = std::filesystem;

namespace {

PlistValue uid(uint64_t value)
{
    return PlistUid { value };
}

PlistValue classDescription(std::string name, PlistArray classes = {})
{
    if (classes.empty())
        classes = { name, "NSObject" };
    return PlistDictionary { { "$classname", std::move(name) }, { "$classes", std::move(classes) } };
}

PlistValue archiveOf(PlistArray objects, PlistDictionary top = { { "root", PlistUid { 1 } } })
{
    return PlistDictionary { { "$version", 100000 }, { "$archiver", "NSKeyedArchiver" }, { "$top", std::move(top) },
        { "$objects", std::move(objects) } };
}

PlistValue group(std::string name, std::vector<std::pair<std::string, bool>> members)
{
    PlistArray records;
    for (auto& [contact, isNumber] : members)
        records.push_back(PlistDictionary { { "contact", contact }, { "isNumber", isNumber } });
    return PlistDictionary { { "name", std::move(name) }, { "members", std::move(records) }, { "colour", 3 } };
}

PlistValue groups()
{
    return PlistArray {
        group("Famiglia", { { "+39 333 1234567", true }, { "mamma@example.com", false } }),
        group("Calcetto", { { "555-1212", true } }),
        group("Vuoto", {}),
    };
}

void expectRefused(const Result<PlistValue>& result, std::string_view fragment)
{
    EXPECT_TRUE(result.isError()) << result->debugDescription();
    EXPECT_NE(result.reason().find(fragment), std::string::npos) << "error was: " << result.reason();
}

class KeyedArchiveFiles : public ::testing::Test {
protected:
    testsupport::TemporaryFolder m_temporary { "keyedarchive" };
    const fs::path& m_folder = m_temporary.path();
};

}

TEST_F(KeyedArchiveFiles, GroupsFileRoundTripsInBothEncodings)
{
    for (auto format : { PlistFormat::Binary, PlistFormat::Xml }) {
        auto path = m_folder / "groups.plist";
        ASSERT_TRUE(writeKeyedArchiveAtomically(path, groups(), format));
        auto result = unarchiveFile(path);
        ASSERT_TRUE(result) << result.reason();
        EXPECT_EQ(*result, groups());
        EXPECT_EQ(result->asArray()->at(0).asDictionary()->keys(),
            (std::vector<std::string> { "name", "members", "colour" }));

        // The binary file spells references as UIDs, the XML one (read through
        // libplist 2.2) as {CF$UID: n} dictionaries; both decode the same.
        auto raw = readPlistFile(path);
        ASSERT_TRUE(raw) << raw.reason();
        auto* root = raw->find("$top")->find("root");
        ASSERT_TRUE(root);
        EXPECT_EQ(root->isUid(), format == PlistFormat::Binary);
        EXPECT_EQ(root->isDictionary(), format == PlistFormat::Xml);
    }
}

TEST_F(KeyedArchiveFiles, MissingOrForeignFilesReadAsNothing)
{
    EXPECT_FALSE(unarchiveFile(m_folder / "absent.plist"));
    auto path = m_folder / "plain.plist";
    ASSERT_TRUE(writePlistAtomically(path, PlistArray { "not", "an", "archive" }));
    expectRefused(unarchiveFile(path), "not a dictionary");
    // A bare UID as the whole file.
    ASSERT_TRUE(writeFileAtomically(path, std::span<const uint8_t>(writeBinaryPlist(PlistUid { 7 }))));
    expectRefused(unarchiveFile(path), "not a dictionary");
}

TEST(KeyedArchive, WriterSharesStringsAndClasses)
{
    auto archive = keyedArchive(PlistArray { "same", "same", PlistArray {}, PlistArray {} });
    ASSERT_TRUE(archive);
    auto& objects = *archive->find("$objects")->asArray();
    // $null, root, "same", two empty arrays, one NSMutableArray class.
    EXPECT_EQ(objects.size(), 6u);
    EXPECT_EQ(objects[0], PlistValue("$null"));
    EXPECT_FALSE(keyedArchive(PlistArray { PlistUid { 1 } }));
}

TEST(KeyedArchive, ReadsTheFormsOtherArchiversWrite)
{
    // Legacy numbered keys, NSMutableString, NSNumber primitives, NSDate,
    // NSMutableData, an unknown subclass, and a $top entry other than "root".
    PlistArray objects {
        "$null",
        PlistDictionary { { "NS.key.0", uid(2) }, { "NS.key.1", uid(3) }, { "NS.key.2", uid(11) },
            { "NS.object.0", uid(4) }, { "NS.object.1", uid(6) }, { "NS.object.2", uid(12) }, { "$class", uid(5) } },
        "name",
        "members",
        PlistDictionary { { "NS.string", "Famiglia" }, { "$class", uid(10) } },
        classDescription("KVGroupDictionary", { "KVGroupDictionary", "NSMutableDictionary", "NSDictionary", "NSObject" }),
        PlistDictionary { { "NS.object.0", uid(7) }, { "NS.object.1", uid(8) }, { "NS.object.2", uid(9) },
            { "$class", uid(13) } },
        int64_t(42),
        true,
        2.5,
        classDescription("NSMutableString", { "NSMutableString", "NSString", "NSObject" }),
        "when",
        PlistDictionary { { "NS.time", 340000000.0 }, { "$class", uid(14) } },
        classDescription("NSArray"),
        classDescription("NSDate"),
    };
    auto result = unarchive(archiveOf(objects, { { "foundItems", uid(1) } }));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result,
        PlistValue(PlistDictionary { { "name", "Famiglia" }, { "members", PlistArray { 42, true, 2.5 } },
            { "when", PlistDate { 340000000.0 } } }));
    EXPECT_TRUE(unarchive(archiveOf(objects, { { "foundItems", uid(1) } }), "foundItems"));
    expectRefused(unarchive(archiveOf(objects, { { "foundItems", uid(1) } }), "root"), "no entry root");
    expectRefused(unarchive(archiveOf(objects, { { "a", uid(1) }, { "b", uid(2) } })), "no entry root");
}

TEST(KeyedArchive, SharedObjectsDecodeOnceButFanOutIsBounded)
{
    PlistArray shared { "$null", PlistDictionary { { "NS.objects", PlistArray { uid(2), uid(2) } }, { "$class", uid(3) } },
        "+39 333 1234567", classDescription("NSArray") };
    auto result = unarchive(archiveOf(shared));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, PlistValue(PlistArray { "+39 333 1234567", "+39 333 1234567" }));

    // Every array holds the next one four times: 4^30 values.
    const uint64_t levels = 30;
    PlistArray objects { "$null", classDescription("NSArray") };
    for (uint64_t i = 0; i < levels; ++i)
        objects.push_back(PlistDictionary { { "NS.objects", PlistArray(4, uid(3 + i)) }, { "$class", uid(1) } });
    objects.push_back("leaf");
    expectRefused(unarchive(archiveOf(objects, { { "root", uid(2) } })), "expands to more than");
}

TEST(KeyedArchive, RefusesBrokenReferences)
{
    auto arrayClass = classDescription("NSArray");
    auto arrayOf = [](PlistArray references, uint64_t classReference) {
        return PlistValue(PlistDictionary { { "NS.objects", std::move(references) }, { "$class", uid(classReference) } });
    };
    expectRefused(unarchive(archiveOf({ "$null", arrayOf({ uid(1) }, 2), arrayClass })), "cycle");
    expectRefused(
        unarchive(archiveOf({ "$null", arrayOf({ uid(2) }, 3), arrayOf({ uid(1) }, 3), arrayClass })), "cycle");
    expectRefused(unarchive(archiveOf({ "$null", arrayOf({ uid(9) }, 2), arrayClass })), "invalid object reference 9");
    expectRefused(unarchive(archiveOf({ "$null" }, { { "root", uid(4) } })), "invalid object reference 4");
    expectRefused(unarchive(archiveOf({ "$null", arrayOf({ "text" }, 2), arrayClass })), "not an object reference");
    expectRefused(unarchive(archiveOf({ "$null", arrayOf({ uid(0) }, 2), arrayClass })), "element is nil");
    expectRefused(unarchive(archiveOf({ "$null" }, { { "root", uid(0) } })), "root object is nil");
    expectRefused(unarchive(archiveOf({ "$null", "x" }, { { "root", "x" } })), "not an object reference");
    expectRefused(unarchive(archiveOf({ "$null", uid(1) })), "not an object");
    expectRefused(unarchive(archiveOf({ "$null", PlistArray { 1 } })), "not an object");

    // The XML spelling of a reference is followed like the binary one.
    PlistValue xmlUid(PlistDictionary { { "CF$UID", 2 } });
    auto good = unarchive(archiveOf({ "$null", arrayOf({ xmlUid }, 3), "x", arrayClass },
        { { "root", PlistDictionary { { "CF$UID", 1 } } } }));
    ASSERT_TRUE(good) << good.reason();
    EXPECT_EQ(*good, PlistValue(PlistArray { "x" }));
}

TEST(KeyedArchive, RefusesBrokenClasses)
{
    auto withClass = [](PlistValue classValue, PlistValue description) {
        return unarchive(archiveOf({ "$null",
            PlistDictionary { { "NS.objects", PlistArray {} }, { "$class", std::move(classValue) } },
            std::move(description) }));
    };
    auto arrayClass = classDescription("NSArray");
    expectRefused(unarchive(archiveOf({ "$null", PlistDictionary { { "NS.objects", PlistArray {} } } })),
        "invalid class reference");
    expectRefused(withClass("NSArray", arrayClass), "invalid class reference");
    expectRefused(withClass(uid(7), arrayClass), "invalid class reference");
    expectRefused(withClass(uid(0), arrayClass), "invalid class reference");
    expectRefused(withClass(uid(2), "NSArray"), "invalid class reference");
    expectRefused(withClass(uid(2), PlistDictionary { { "$classes", PlistArray { "NSArray" } } }),
        "invalid class reference");
    expectRefused(withClass(uid(2), classDescription("UIColor")), "unsupported class UIColor");
    expectRefused(withClass(uid(1), arrayClass), "invalid class reference"); // itself
    EXPECT_TRUE(withClass(uid(2), arrayClass));
}

TEST(KeyedArchive, RefusesBrokenDictionaries)
{
    auto dictionaryClass = classDescription("NSDictionary");
    auto dictionary = [&](PlistDictionary fields) {
        fields.set("$class", uid(4));
        return unarchive(archiveOf({ "$null", std::move(fields), "key", int64_t(1), dictionaryClass }));
    };
    EXPECT_TRUE(dictionary({ { "NS.keys", PlistArray { uid(2) } }, { "NS.objects", PlistArray { uid(3) } } }));
    expectRefused(dictionary({ { "NS.keys", PlistArray { uid(2), uid(2) } }, { "NS.objects", PlistArray { uid(3) } } }),
        "2 keys and 1 values");
    expectRefused(dictionary({ { "NS.keys", PlistArray { uid(3) } }, { "NS.objects", PlistArray { uid(3) } } }),
        "key is not a string");
    expectRefused(dictionary({ { "NS.keys", uid(2) }, { "NS.objects", PlistArray { uid(3) } } }), "not an array");
    expectRefused(dictionary({ { "NS.keys", PlistArray { uid(2) } }, { "NS.objects", PlistArray { uid(0) } } }),
        "value is nil");
    expectRefused(unarchive(archiveOf({ "$null", PlistDictionary { { "$class", uid(2) } },
                      classDescription("NSMutableString", { "NSMutableString" }) })),
        "has no NS.string");
}

TEST(KeyedArchive, RefusesWrongHeaders)
{
    auto good = archiveOf({ "$null", "root text" });
    ASSERT_TRUE(unarchive(good));
    auto with = [&](std::string_view key, std::optional<PlistValue> value) {
        PlistValue archive = good;
        if (value)
            archive.mutableDictionary()->set(std::string(key), *value);
        else
            archive.mutableDictionary()->remove(key);
        return unarchive(archive);
    };
    expectRefused(with("$archiver", PlistValue("NSArchiver")), "$archiver");
    expectRefused(with("$archiver", std::nullopt), "$archiver");
    expectRefused(with("$version", PlistValue(99999)), "$version");
    expectRefused(with("$version", PlistValue("100000")), "$version");
    expectRefused(with("$objects", std::nullopt), "missing $objects");
    expectRefused(with("$objects", PlistValue(PlistDictionary {})), "missing $objects");
    expectRefused(with("$top", std::nullopt), "missing $objects or $top");
}

TEST(KeyedArchive, BoundsDepth)
{
    // 1000 arrays, each holding the next.
    PlistArray objects { "$null", classDescription("NSArray") };
    for (uint64_t i = 0; i < 1000; ++i)
        objects.push_back(PlistDictionary { { "NS.objects", PlistArray { uid(objects.size() + 1) } }, { "$class", uid(1) } });
    objects.push_back("bottom");
    expectRefused(unarchive(archiveOf(objects, { { "root", uid(2) } })), "nested deeper than 512");
    EXPECT_TRUE(unarchive(archiveOf(objects, { { "root", uid(600) } })));
    expectRefused(unarchive(archiveOf(objects, { { "root", uid(600) } }), {}, PlistReadLimits { .maxDepth = 100 }),
        "nested deeper than 100");
}
