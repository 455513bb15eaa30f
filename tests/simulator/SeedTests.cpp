#include "support/TemporaryDevice.h"

#include <simulator/DemoConversations.h>
#include <simulator/DemoPhone.h>
#include <simulator/DemoPictures.h>
#include <simulator/DemoRecipients.h>
#include <simulator/ProductInstall.h>

#include <addressbook/ABAddressBook.h>
#include <addressbook/AddressBookStore.h>
#include <addressbook/ContactNameResolver.h>
#include <chatkit/MessageStore.h>
#include <chatkit/Schema.h>
#include <foundation/KeyedArchive.h>
#include <foundation/PlistReader.h>
#include <uikit/ImageCodec.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using namespace simulator;

namespace {

std::vector<uint8_t> bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Every file of the device with its bytes.
std::map<std::string, std::vector<uint8_t>> filesUnder(const std::filesystem::path& root)
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), root).string()] = bytesOf(entry.path());
    }
    return files;
}

class DemoPhoneSeed : public ::testing::Test {
protected:
    SeedOptions options(size_t contacts = 40)
    {
        SeedOptions options;
        options.deviceRoot = m_device.root() / "phone";
        options.resourcesDir = PLV_TEST_RESOURCES_DIR;
        options.contactCount = contacts;
        return options;
    }
    std::filesystem::path host(std::string_view devicePath) const { return m_device.host(devicePath); }

    testsupport::TemporaryDevice m_device;
};

TEST_F(DemoPhoneSeed, HoldsEverythingTheSystemReads)
{
    auto report = seedDemoPhone(options(300));
    ASSERT_TRUE(report) << report.reason();
    EXPECT_TRUE(holdsPhone(options().deviceRoot));

    auto book = addressbook::AddressBookStore::open(host(addressbook::AddressBookDevicePath));
    ASSERT_TRUE(book);
    EXPECT_EQ(book->personCount(), 300);

    // The conversations name people of the book, except the one stranger.
    auto store = chatkit::MessageStore::open(host(chatkit::smsDatabaseDevicePath));
    ASSERT_TRUE(store) << store.reason();
    auto rows = (*store)->list();
    auto expected = demoConversations();
    ASSERT_EQ(rows.size(), expected.size());
    addressbook::ContactNameResolver names(host(addressbook::AddressBookDevicePath));
    size_t unread = 0, outgoing = 0, imessages = 0, strangers = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(rows[i].text, expected[i].text);
        EXPECT_EQ(rows[i].address, expected[i].address);
        EXPECT_EQ(rows[i].kind, expected[i].kind);
        EXPECT_EQ(rows[i].outgoing, expected[i].outgoing);
        EXPECT_EQ(rows[i].read, expected[i].read);
        unread += !rows[i].read;
        outgoing += rows[i].outgoing;
        imessages += rows[i].kind == chatkit::MessageKind::IMessage;
        strangers += !names.displayNameForAddress(rows[i].address);
    }
    EXPECT_GE(unread, 2u);
    EXPECT_GE(outgoing, 2u);
    EXPECT_GE(imessages, 2u);
    EXPECT_EQ(strangers, 1u);

    // The picture message carries the library's picture as a file part.
    auto withPicture = std::find_if(expected.begin(), expected.end(), [](const DemoMessage& m) { return m.picture.has_value(); });
    ASSERT_NE(withPicture, expected.end());
    auto message = (*store)->message(rows[size_t(withPicture - expected.begin())].rowID);
    ASSERT_TRUE(message);
    auto parts = (*store)->parts(*message);
    auto media = std::find_if(parts.begin(), parts.end(), [](const chatkit::StoredPart& p) { return p.kind == chatkit::StoredPart::Kind::Media; });
    ASSERT_NE(media, parts.end());
    EXPECT_EQ(media->mimeType, "image/jpeg");
    EXPECT_EQ(bytesOf(media->hostPath), bytesOf(host(photoLibraryPath(*withPicture->picture))));

    // Every favourite is a number of the book, written as the book writes it.
    auto favorites = foundation::readPlistDictionaryFile(host(FavoritesDevicePath));
    ASSERT_TRUE(favorites) << favorites.reason();
    EXPECT_EQ(favorites->asDictionary()->size(), 3u);
    for (const auto& [number, name] : *favorites->asDictionary()) {
        EXPECT_TRUE(names.displayNameForAddress(number)) << number;
        EXPECT_TRUE(name.isString());
    }

    // Preferences are left to the settings application.
    EXPECT_TRUE(m_device.exists("/var/mobile/Library/PLV"));
    EXPECT_FALSE(m_device.exists("/var/mobile/Library/PLV/preferences.plist"));
    EXPECT_FALSE(m_device.exists("/var/mobile/Library/RDL/preferences.plist"));
}

TEST_F(DemoPhoneSeed, GroupsFileReadsBackThroughTheKeyedArchiveReader)
{
    ASSERT_TRUE(seedDemoPhone(options()));
    auto groups = foundation::unarchiveFile(host(GroupsDevicePath));
    ASSERT_TRUE(groups) << groups.reason();
    const auto* list = groups->asArray();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 4u);
    EXPECT_EQ(*list, *demoGroups().asArray());

    const auto& football = *(*list)[0].asDictionary();
    EXPECT_EQ(football.find("name")->stringValue(), "Calcetto del giovedì");
    const auto* members = football.find("members")->asArray();
    ASSERT_TRUE(members);
    size_t numbers = 0;
    for (const auto& member : *members) {
        ASSERT_TRUE(member.find("contact") && member.find("contact")->isString());
        ASSERT_TRUE(member.find("isNumber") && member.find("isNumber")->isBoolean());
        numbers += *member.find("isNumber")->asBoolean();
    }
    EXPECT_EQ(numbers, 3u) << "one member is an e-mail address, which group sends skip";
    EXPECT_TRUE((*list)[2].find("members")->asArray()->empty());
}

TEST_F(DemoPhoneSeed, ImagesAndPicturesHaveTheirSizes)
{
    ASSERT_TRUE(seedDemoPhone(options()));
    // The frames the windows place them at.
    const std::map<std::string, std::pair<uint32_t, uint32_t>> images {
        { "/Library/Application Support/PLV/sms.png", { 21, 21 } },
        { "/Library/Application Support/PLV/close.png", { 20, 20 } },
        { "/Library/Application Support/PLV/attachment.png", { 20, 20 } },
        { "/Library/Application Support/PLV/star.png", { 44, 44 } },
        { "/Library/Application Support/PLV/SendIcon_sms.png", { 57, 32 } },
        { "/Library/Application Support/PLV/SendIcon_im.png", { 57, 32 } },
        { "/Library/Application Support/RDL/sms.png", { 21, 21 } },
        { "/Library/Application Support/RDL/close-button.png", { 30, 30 } },
        { "/Library/Application Support/RDL/SendIcon.png", { 57, 29 } },
        // The home screen's icons, in their applications' bundles.
        { "/Applications/MobileSMS.app/Icon.png", { 57, 57 } },
        { "/Applications/MobileMail.app/Icon.png", { 57, 57 } },
        { "/Applications/PLVSettings.app/Icon.png", { 57, 57 } },
    };
    for (const auto& [path, size] : images) {
        auto bytes = bytesOf(host(path));
        EXPECT_EQ(uikit::sniffImageFormat(bytes), uikit::ImageFormat::Png) << path;
        auto header = uikit::readImageHeader(bytes);
        ASSERT_TRUE(header) << path;
        EXPECT_EQ(header->width, size.first) << path;
        EXPECT_EQ(header->height, size.second) << path;
    }
    for (const auto& picture : demoPictures()) {
        auto bytes = bytesOf(host(photoLibraryPath(picture.fileName)));
        auto image = uikit::decodeImage(bytes);
        ASSERT_TRUE(image) << picture.fileName;
        EXPECT_EQ(image->width, picture.width);
        EXPECT_EQ(image->height, picture.height);
        EXPECT_EQ(uikit::sniffImageFormat(bytes), picture.fileName.ends_with(".PNG") ? uikit::ImageFormat::Png : uikit::ImageFormat::Jpeg);
    }
}

TEST_F(DemoPhoneSeed, SeedingTwiceChangesNothing)
{
    ASSERT_TRUE(seedDemoPhone(options()));
    auto first = filesUnder(options().deviceRoot);
    std::vector<std::string> lines;
    auto again = seedDemoPhone(options(), [&](const std::string& line) { lines.push_back(line); });
    ASSERT_TRUE(again) << again.reason();
    EXPECT_EQ(filesUnder(options().deviceRoot), first);
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), "kept " + std::string(chatkit::smsDatabaseDevicePath)) != lines.end());
}

TEST_F(DemoPhoneSeed, TwoPhonesAreAlike)
{
    // The databases carry write-time stamps of SQLite's own; what they hold
    // and every other file must be the same.
    auto one = options();
    ASSERT_TRUE(seedDemoPhone(one));
    auto firstFiles = filesUnder(one.deviceRoot);
    auto firstMessages = chatkit::MessageStore::open(host(chatkit::smsDatabaseDevicePath)).value()->list();
    auto two = one;
    two.deviceRoot = m_device.root() / "other";
    ASSERT_TRUE(seedDemoPhone(two));
    auto secondFiles = filesUnder(two.deviceRoot);
    auto secondMessages = chatkit::MessageStore::open(foundation::hostPath(chatkit::smsDatabaseDevicePath)).value()->list();
    ASSERT_EQ(firstMessages.size(), secondMessages.size());
    for (size_t i = 0; i < firstMessages.size(); ++i) {
        EXPECT_EQ(firstMessages[i].text, secondMessages[i].text);
        EXPECT_EQ(firstMessages[i].date, secondMessages[i].date);
    }
    for (const auto& [path, bytes] : firstFiles) {
        if (path.find("/SMS/") != std::string::npos || path.find("AddressBook") != std::string::npos)
            continue;
        EXPECT_EQ(secondFiles[path], bytes) << path;
    }
}

TEST_F(DemoPhoneSeed, KeepsTheUsersDataAndRestoresWhatIsMissing)
{
    ASSERT_TRUE(seedDemoPhone(options()));
    m_device.write(std::string(FavoritesDevicePath), "edited by the user");
    std::filesystem::remove(host(chatkit::smsDatabaseDevicePath));
    std::filesystem::remove(host("/Library/Application Support/PLV/star.png"));

    auto again = seedDemoPhone(options());
    ASSERT_TRUE(again) << again.reason();
    EXPECT_EQ(m_device.read(std::string(FavoritesDevicePath)), "edited by the user");
    EXPECT_TRUE(m_device.exists(chatkit::smsDatabaseDevicePath));
    EXPECT_EQ(chatkit::MessageStore::open(host(chatkit::smsDatabaseDevicePath)).value()->list().size(), demoConversations().size());
    EXPECT_TRUE(m_device.exists("/Library/Application Support/PLV/star.png"));
}

TEST_F(DemoPhoneSeed, RefusesAFolderThatHoldsSomethingElse)
{
    auto folder = m_device.root() / "documents";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "notes.txt") << "mine";
    auto settings = options();
    settings.deviceRoot = folder;
    auto report = seedDemoPhone(settings);
    EXPECT_FALSE(report);
    EXPECT_NE(report.reason().find("holds other files and no phone"), std::string::npos) << report.reason();
    EXPECT_EQ(filesUnder(folder).size(), 1u) << "nothing was added";

    std::ofstream(m_device.root() / "a-file") << "x";
    settings.deviceRoot = m_device.root() / "a-file";
    report = seedDemoPhone(settings);
    EXPECT_FALSE(report);
    EXPECT_NE(report.reason().find("is not a folder"), std::string::npos) << report.reason();
}

TEST_F(DemoPhoneSeed, WithoutBuiltImagesSaysWhatToBuild)
{
    auto settings = options();
    settings.resourcesDir = m_device.root() / "no-images";
    auto report = seedDemoPhone(settings);
    EXPECT_FALSE(report);
    EXPECT_NE(report.reason().find("plv_resources"), std::string::npos) << report.reason();
}

TEST(DemoMessages, RefuseToOverwriteADatabase)
{
    testsupport::TemporaryDevice device;
    device.write("/var/mobile/Library/SMS/sms.db", "somebody's history");
    auto written = writeDemoMessages(device.host("/var/mobile/Library/SMS/sms.db"), demoConversations());
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason().empty());
    EXPECT_EQ(device.read("/var/mobile/Library/SMS/sms.db"), "somebody's history");
}

TEST(DemoMessages, AMissingPictureLeavesNoDatabase)
{
    testsupport::TemporaryDevice device;
    device.makeDirectory("/var/mobile/Library/SMS");
    std::vector<DemoMessage> messages { { chatkit::MessageKind::IMessage, false, true, "+393471234567", "look", 1336122000, "IMG_9999.JPG" } };
    auto written = writeDemoMessages(device.host("/var/mobile/Library/SMS/sms.db"), messages);
    EXPECT_FALSE(written);
    EXPECT_NE(written.reason().find("IMG_9999.JPG"), std::string::npos) << written.reason();
    EXPECT_FALSE(device.exists("/var/mobile/Library/SMS/sms.db"));
    EXPECT_FALSE(device.exists("/var/mobile/Library/SMS/sms.db.seeding"));
}

TEST(ProductInstall, InstallsTheBuiltLibrariesAndSkipsTheOthers)
{
    testsupport::TemporaryDevice device;
    auto build = device.root() / "build";
    std::filesystem::create_directories(build / "a");
    std::filesystem::create_directories(build / "b");
    std::ofstream(build / "b" / "Parlivo.so") << "library bytes";
    std::ofstream(build / "a" / "Parlivo.so.txt") << "not a library";

    auto result = installExtensions({ build / "missing", build / "a", build / "b" });
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(device.read("/Library/MobileSubstrate/DynamicLibraries/Parlivo.so"), "library bytes");
    auto filter = foundation::readPlistDictionaryFile(device.host("/Library/MobileSubstrate/DynamicLibraries/Parlivo.plist"));
    ASSERT_TRUE(filter) << filter.reason();
    const auto* bundles = filter->find("Filter")->find("Bundles")->asArray();
    ASSERT_TRUE(bundles);
    EXPECT_EQ(*bundles, (foundation::PlistArray { "com.apple.springboard" }));
    EXPECT_FALSE(device.exists("/Library/MobileSubstrate/DynamicLibraries/Rendalo.so"));
    ASSERT_EQ(result->size(), 3u);
    EXPECT_EQ((*result)[2].outcome, InstallStep::Outcome::Skipped);
    EXPECT_EQ((*result)[2].what, "Rendalo.so");

    // A filter shipped beside the library is installed as it is.
    std::ofstream(build / "b" / "Rendalo.so") << "other bytes";
    std::ofstream(build / "b" / "Rendalo.plist") << "<plist>its own</plist>";
    ASSERT_TRUE(installExtensions({ build / "b" }, { "Parlivo", "Rendalo" }));
    EXPECT_EQ(device.read("/Library/MobileSubstrate/DynamicLibraries/Rendalo.plist"), "<plist>its own</plist>");

    // A library no longer chosen leaves, filter and all, so the loader cannot find it.
    ASSERT_TRUE(installExtensions({ build / "b" }, { "Rendalo" }));
    EXPECT_FALSE(device.exists("/Library/MobileSubstrate/DynamicLibraries/Parlivo.so"));
    EXPECT_FALSE(device.exists("/Library/MobileSubstrate/DynamicLibraries/Parlivo.plist"));
    EXPECT_TRUE(device.exists("/Library/MobileSubstrate/DynamicLibraries/Rendalo.so"));
}

TEST(ProductInstall, TheMakersLibraryGoesToUsrLib)
{
    testsupport::TemporaryDevice device;
    auto build = device.root() / "build";
    std::filesystem::create_directories(build);
    std::ofstream(build / "libKelvaneLibrary.dylib") << "maker";
    ASSERT_TRUE(installExtensions({ build }, { "Rendalo" }));
    EXPECT_EQ(device.read("/usr/lib/libKelvaneLibrary.dylib"), "maker");
}

TEST(ExtensionChoice, ReadsAnyNonEmptySubsetOfTheKnownNames)
{
    EXPECT_EQ(parseExtensionChoice("parlivo").valueOr({}), (ExtensionChoice { "Parlivo" }));
    // Order and case do not matter; the choice comes back in load order.
    EXPECT_EQ(parseExtensionChoice("Rendalo, PARLIVO").valueOr({}), (ExtensionChoice { "Parlivo", "Rendalo" }));
    EXPECT_EQ(parseExtensionChoice("rendalo,rendalo").valueOr({}), (ExtensionChoice { "Rendalo" }));
    for (std::string_view bad : { "", ",", "parlivo,", "settings", "parlivo;rendalo" }) {
        auto refused = parseExtensionChoice(bad);
        ASSERT_FALSE(refused) << bad;
        EXPECT_FALSE(refused.reason().empty()) << bad;
    }
    EXPECT_EQ(describeExtensionChoice({ "Parlivo", "Rendalo" }), "parlivo,rendalo");
}

TEST_F(DemoPhoneSeed, KeepsThePhonesChoiceOfExtensions)
{
    auto first = options();
    ASSERT_TRUE(seedDemoPhone(first));
    EXPECT_EQ(readExtensionChoice(), defaultExtensionChoice());

    auto both = options();
    both.extensions = ExtensionChoice { "Parlivo", "Rendalo" };
    ASSERT_TRUE(seedDemoPhone(both));
    EXPECT_EQ(readExtensionChoice(), (ExtensionChoice { "Parlivo", "Rendalo" }));

    // Seeding again without a choice keeps it.
    ASSERT_TRUE(seedDemoPhone(options()));
    EXPECT_EQ(readExtensionChoice(), (ExtensionChoice { "Parlivo", "Rendalo" }));
}

} // namespace
