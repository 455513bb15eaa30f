// The library's two files when the file layer fails: the preferences file
// keeps its old content and the store its new values, the log loses the one
// entry and keeps everything before it; and a read that fails is taken as an
// unreadable file.
#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/FileFaults.h>
#include <foundation/PlistWriter.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

#include <cerrno>

using foundation::ArmedFileFault;
using foundation::FileFault;
using foundation::FileOperation;
using foundation::PlistDictionary;
using foundation::PlistValue;
using kelvane::KelvaneLogger;
using kelvane::KelvanePreferenceManager;
using Variant = KelvanePreferenceManager::Variant;

namespace {

constexpr std::string_view PrefsPath = kelvane::PLVPreferencesPath;
constexpr std::string_view LogPath = kelvane::PLVLogPath;

struct NamedFault {
    const char* name;
    FileFault fault;
};

// Every way the replacement of a file can fail, each on the file's own path.
std::vector<NamedFault> replacementFaults(const std::string& pathPart)
{
    return {
        { "no room for the temporary", FileFault::on(FileOperation::Open).withError(ENOSPC).onPath(pathPart) },
        { "the write fails", FileFault::on(FileOperation::Write).withError(EIO).onPath(pathPart) },
        { "the disk fills up halfway", FileFault::on(FileOperation::Write).withError(ENOSPC).onPath(pathPart).halfWritten() },
        { "the flush fails", FileFault::on(FileOperation::Sync).withError(EIO).onPath(pathPart) },
        { "the rename fails", FileFault::on(FileOperation::Rename).withError(EROFS).onPath(pathPart) },
    };
}

std::unique_ptr<KelvanePreferenceManager> openStore(Variant variant)
{
    auto store = std::make_unique<KelvanePreferenceManager>(variant);
    store->setAppName("PLV");
    store->reloadPreferences();
    return store;
}

class WriteFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        KelvaneLogger::resetForTesting();
        device.makeDirectory("/var/mobile/Library/PLV");
    }
    void TearDown() override
    {
        foundation::FileFaults::disarm();
        KelvaneLogger::resetForTesting();
    }

    testsupport::TemporaryDevice device;
};

TEST_F(WriteFaults, AFailedPreferencesWriteKeepsTheOldFileAndTheNewValuesInMemory)
{
    const std::string old = foundation::writeXmlPlist(PlistValue(PlistDictionary({ { "version", "1.100000" }, { "ncqr", "1" } })));
    for (const auto& [name, fault] : replacementFaults("preferences.plist")) {
        SCOPED_TRACE(name);
        device.write(PrefsPath, old);
        auto store = openStore(Variant::Settings);
        {
            ArmedFileFault armed(fault);
            store->writeValue(PlistValue("0"), "ncqr");
        }
        EXPECT_EQ(device.read(PrefsPath), old);
        EXPECT_EQ(store->loadValueForKey("ncqr"), PlistValue("0"));
        EXPECT_EQ(openStore(Variant::Extension)->loadValueForKey("ncqr"), PlistValue("1"));
        // The store never logs, and no temporary is left beside the file.
        EXPECT_FALSE(device.exists(LogPath));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(device.host("/var/mobile/Library/PLV")), {}), 1);
        // The next write carries the values that the failed one could not.
        store->writePreferences();
        EXPECT_EQ(openStore(Variant::Extension)->loadValueForKey("ncqr"), PlistValue("0"));
    }
}

TEST_F(WriteFaults, APreferencesFileThatCannotBeReadIsTreatedAsUnreadable)
{
    const std::string old = foundation::writeXmlPlist(PlistValue(PlistDictionary({ { "version", "1.100000" }, { "qrcolors", "1 0 0" } })));
    device.write(PrefsPath, old);
    ArmedFileFault armed(FileFault::on(FileOperation::Read).always().withError(EIO).onPath("preferences.plist"));
    EXPECT_EQ(openStore(Variant::Extension)->preferences(), nullptr);
    EXPECT_EQ(*openStore(Variant::Settings)->preferences(), PlistDictionary({ { "version", PlistValue("1.100000") } }));
    // Reading never changes the file, and an unreadable file is not taken
    // for an outdated one.
    EXPECT_EQ(device.read(PrefsPath), old);
}

TEST_F(WriteFaults, ALogEntryThatCannotBeWrittenIsLostAndTheFileKeepsItsContent)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("before", KelvaneLogger::Normal);
    const std::string before = device.read(LogPath);
    const NamedFault faults[] = {
        { "the write fails", FileFault::on(FileOperation::Write).withError(EIO).onPath("PLV.log") },
        { "the disk fills up halfway", FileFault::on(FileOperation::Write).withError(ENOSPC).onPath("PLV.log").halfWritten() },
    };
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        {
            ArmedFileFault armed(fault);
            KelvaneLogger::log("an entry the disk refuses", KelvaneLogger::Critical);
            EXPECT_EQ(foundation::FileFaults::failuresInjected(), 1u);
        }
        EXPECT_EQ(device.read(LogPath), before);
    }
    KelvaneLogger::log("after", KelvaneLogger::Normal);
    EXPECT_EQ(device.read(LogPath), before + "\nNORMAL:after");
}

// A run keeps its log open after the first entry, so opening is what a run's
// first entry (or the first after the file was removed) can fail at.
TEST_F(WriteFaults, ALogThatCannotBeOpenedLosesTheEntryAndKeepsItsContent)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("before", KelvaneLogger::Normal);
    const std::string before = device.read(LogPath);
    KelvaneLogger::resetForTesting(); // the next run
    KelvaneLogger::setProjectName("PLV", true);
    {
        ArmedFileFault armed(FileFault::on(FileOperation::Open).withError(ENOSPC).onPath("PLV.log"));
        KelvaneLogger::log("an entry the disk refuses", KelvaneLogger::Critical);
        EXPECT_EQ(foundation::FileFaults::failuresInjected(), 1u);
    }
    EXPECT_EQ(device.read(LogPath), before);
    KelvaneLogger::log("after", KelvaneLogger::Normal);
    EXPECT_EQ(device.read(LogPath), before + "\n=== NEW SESSION ===\nNORMAL:after");
}

TEST_F(WriteFaults, ARunWhoseFirstEntryIsLostStillWritesItsHeader)
{
    device.write(LogPath, " \n=== NEW SESSION ===\nNORMAL:earlier run");
    KelvaneLogger::setProjectName("PLV", true);
    {
        ArmedFileFault armed(FileFault::on(FileOperation::Write).withError(ENOSPC).onPath("PLV.log").halfWritten());
        KelvaneLogger::log("lost", KelvaneLogger::Normal);
    }
    KelvaneLogger::log("kept", KelvaneLogger::Normal);
    EXPECT_EQ(device.read(LogPath), " \n=== NEW SESSION ===\nNORMAL:earlier run\n=== NEW SESSION ===\nNORMAL:kept");
}

} // namespace
