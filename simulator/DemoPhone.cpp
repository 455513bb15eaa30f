#include "DemoPhone.h"

#include "DemoConversations.h"
#include "DemoPictures.h"
#include "DemoRecipients.h"
#include "ProductInstall.h"

#include <addressbook/ABAddressBook.h>
#include <addressbook/DemoContacts.h>
#include <chatkit/Schema.h>
#include <foundation/AtomicFile.h>
#include <foundation/DevicePath.h>
#include <foundation/KeyedArchive.h>

#include <array>

namespace simulator {

namespace {

    constexpr std::array DeviceFolders {
        "/var/mobile/Library/AddressBook",
        "/var/mobile/Library/SMS",
        "/var/mobile/Library/Mail",
        "/var/mobile/Library/Preferences",
        "/var/mobile/Library/PLV",
        "/var/mobile/Library/RDL",
        "/var/mobile/Library/Cellarine",
        "/var/mobile/Media/DCIM/100APPLE",
        "/Library/Application Support/PLV",
        "/Library/Application Support/RDL",
        "/Library/MobileSubstrate/DynamicLibraries",
    };

    class Seeder {
    public:
        Seeder(const SeedOptions& options, const SeedNote& tell)
            : m_options(options)
            , m_tell(tell)
        {
        }

        foundation::Result<void> run()
        {
            if (!prepareRoot())
                return *m_failure;
            for (const char* folder : DeviceFolders) {
                if (!foundation::createDeviceDirectory(folder, foundation::Intermediates::Yes))
                    return foundation::Error("cannot create " + std::string(folder));
            }
            bool seeded = seedPictures() && seedAddressBook() && seedMessages() && seedFavorites() && seedGroups() && install();
            if (!seeded)
                return *m_failure;
            return foundation::success();
        }

    private:
        bool failed(std::string error)
        {
            m_failure = foundation::Error(std::move(error));
            return false;
        }

        void note(std::string_view verb, std::string_view what)
        {
            if (m_tell)
                m_tell(std::string(verb) + " " + std::string(what));
        }

        bool prepareRoot()
        {
            const auto& root = m_options.deviceRoot;
            std::error_code ec;
            if (root.empty())
                return failed("no device folder given");
            if (std::filesystem::exists(root, ec) && !std::filesystem::is_directory(root, ec))
                return failed(root.string() + " is not a folder");
            if (std::filesystem::is_directory(root, ec) && !std::filesystem::is_empty(root, ec) && !holdsPhone(root))
                return failed(root.string() + " holds other files and no phone; seed into a new or empty folder");
            std::filesystem::create_directories(root, ec);
            if (ec)
                return failed("cannot create " + root.string() + ": " + ec.message());
            foundation::setDeviceRoot(std::filesystem::absolute(root, ec));
            return true;
        }

        bool seedPictures()
        {
            std::vector<DemoPicture> pictures = demoPictures();
            if (pictures.empty())
                return failed("cannot encode the demo pictures");
            for (const DemoPicture& picture : pictures) {
                std::string path = photoLibraryPath(picture.fileName);
                if (foundation::deviceFileExists(path)) {
                    note("kept", path);
                    continue;
                }
                if (!foundation::writeDeviceFileAtomically(path, picture.bytes))
                    return failed("cannot write " + path);
                note("created", path);
            }
            return true;
        }

        bool seedAddressBook()
        {
            std::string path(addressbook::AddressBookDevicePath);
            if (foundation::deviceFileExists(path)) {
                note("kept", path);
                return true;
            }
            std::filesystem::path host = foundation::hostPath(path);
            std::filesystem::path building = host;
            building += ".seeding";
            std::error_code ec;
            std::filesystem::remove(building, ec);
            if (!addressbook::writeDemoAddressBook(building, m_options.contactCount, m_options.seed)) {
                std::filesystem::remove(building, ec);
                return failed("cannot write the demo Address Book");
            }
            std::filesystem::rename(building, host, ec);
            if (ec)
                return failed("cannot move the demo Address Book into place: " + ec.message());
            note("created", path + " (" + std::to_string(m_options.contactCount) + " people)");
            return true;
        }

        bool seedMessages()
        {
            std::string path = chatkit::smsDatabaseDevicePath;
            if (foundation::deviceFileExists(path)) {
                note("kept", path);
                return true;
            }
            auto messages = demoConversations();
            if (auto written = writeDemoMessages(foundation::hostPath(path), messages); !written)
                return failed("cannot write the demo Messages history: " + written.reason());
            note("created", path + " (" + std::to_string(messages.size()) + " messages)");
            return true;
        }

        bool seedFavorites()
        {
            std::string path(FavoritesDevicePath);
            if (foundation::deviceFileExists(path)) {
                note("kept", path);
                return true;
            }
            if (!foundation::writePlistAtomically(foundation::hostPath(path), demoFavorites()))
                return failed("cannot write " + path);
            note("created", path);
            return true;
        }

        bool seedGroups()
        {
            std::string path(GroupsDevicePath);
            if (foundation::deviceFileExists(path)) {
                note("kept", path);
                return true;
            }
            if (!foundation::writeKeyedArchiveAtomically(foundation::hostPath(path), demoGroups(), foundation::PlistFormat::Binary))
                return failed("cannot write " + path);
            note("created", path);
            return true;
        }

        bool install()
        {
            auto images = installImages(m_options.resourcesDir);
            if (!images)
                return failed(images.reason());
            auto choice = m_options.extensions ? *m_options.extensions : readExtensionChoice().value_or(defaultExtensionChoice());
            if (!writeExtensionChoice(choice))
                return failed("cannot write " + std::string(ExtensionChoiceDevicePath));
            note("chose", "the extensions " + describeExtensionChoice(choice));
            auto libraries = installExtensions(m_options.extensionSearchDirs, choice);
            if (!libraries)
                return failed(libraries.reason());
            auto applications = installApplications(m_options.extensionSearchDirs);
            if (!applications)
                return failed(applications.reason());
            for (const auto* result : { &images, &libraries, &applications }) {
                for (const InstallStep& step : result->value()) {
                    if (step.outcome == InstallStep::Outcome::Installed)
                        note("installed", step.what);
                    else
                        note("skipped", step.what + ": " + step.note);
                }
            }
            return true;
        }

        const SeedOptions& m_options;
        const SeedNote& m_tell;
        std::optional<foundation::Error> m_failure;
    };

} // namespace

bool holdsPhone(const std::filesystem::path& deviceRoot)
{
    std::error_code ec;
    return std::filesystem::is_directory(deviceRoot / "var" / "mobile", ec);
}

foundation::Result<void> seedDemoPhone(const SeedOptions& options, const SeedNote& tell)
{
    return Seeder(options, tell).run();
}

} // namespace simulator
