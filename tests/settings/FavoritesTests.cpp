// The favourites editor: people from the Address Book, the sheet of their
// numbers, deleting, and the file written on Done – including a file that
// cannot be written (the editor stays open with the changes) and files
// that are not what the editor writes.
#include "SettingsFixture.h"

#include <addressbook/ABAddressBook.h>
#include <addressbook/ABPeoplePickerNavigationController.h>
#include <settings/FavoritesViewController.h>
#include <uikit/UIActionSheet.h>
#include <uikit/UIAlertView.h>

#include <foundation/FileFaults.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace settings_test {

using foundation::FileFault;
using foundation::FileOperation;
using plvsettings::FavoritesViewController;

class Favorites : public SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        auto writer = addressbook::AddressBookWriter::open(foundation::hostPath(addressbook::AddressBookDevicePath));
        ASSERT_TRUE(writer);
        auto person = [&](std::optional<std::string> first, std::optional<std::string> last, std::vector<std::string> numbers) {
            addressbook::PersonData data;
            data.first = std::move(first);
            data.last = std::move(last);
            for (auto& number : numbers)
                data.phones.push_back({ "_$!<Mobile>!$_", number, -1 });
            ASSERT_TRUE(writer->addPerson(data));
        };
        person("Marco", "Bianchi", { "+39 347 111 2222", "06 555 1234" });
        person("Cher", std::nullopt, { "+1 555 0100" });
        person(std::nullopt, std::nullopt, { "112" });
        person("Nessun", "Numero", {});
        std::vector<std::string> many;
        for (int i = 0; i < 50; ++i)
            many.push_back("+39 02 " + std::to_string(1000 + i));
        person("Tanti", "Numeri", many);
    }

    Ref<FavoritesViewController> openEditor()
    {
        if (!m_phone)
            openSettings();
        tap("row-favorites");
        auto editor = runtime::cast<FavoritesViewController>(presented());
        EXPECT_TRUE(editor);
        return editor;
    }

    addressbook::ABRecordRef person(std::string_view first)
    {
        auto people = addressbook::ABAddressBookCopyArrayOfAllPeople(addressbook::ABAddressBookCreate());
        for (addressbook::CFIndex i = 0; i < addressbook::CFArrayGetCount(people); ++i) {
            auto candidate = addressbook::CFArrayGetValueAtIndex(people, i);
            if (candidate->firstName().value_or("") == first)
                return candidate;
        }
        return nullptr;
    }

    // Add, pick the person in the picker, then the sheet's button `choice`.
    void addFavorite(std::string_view first, int choice)
    {
        tap("addButton");
        auto editor = runtime::cast<FavoritesViewController>(presented());
        auto picker = runtime::cast<addressbook::ABPeoplePickerNavigationController>(editor->modalViewController());
        ASSERT_TRUE(picker);
        auto chosen = person(first);
        ASSERT_TRUE(chosen) << first;
        picker->didSelectPerson(chosen);
        settle();
        EXPECT_FALSE(editor->modalViewController());
        tap("actionSheetButton" + std::to_string(choice));
    }

    Ref<uikit::UIActionSheet> sheet()
    {
        for (auto view = viewNamed("actionSheetButton0"); view; view = view->superview()) {
            if (auto found = runtime::cast<uikit::UIActionSheet>(view))
                return found;
        }
        return nullptr;
    }

    static std::optional<foundation::PlistDictionary> favoritesFile() { return readDictionary(kelvane::FavoritesPath); }
    static std::string readBytes(std::string_view devicePath)
    {
        std::ifstream in(foundation::hostPath(devicePath), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(Favorites, WithoutAFileOpensEmptyAndDoneWritesAnEmptyDictionary)
{
    auto editor = openEditor();
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->favorites().empty());
    EXPECT_EQ(editor->modalTransitionStyle(), uikit::UIModalTransitionStyleFlipHorizontal);
    EXPECT_EQ(editor->navBar()->topItem()->title(), "Favorites");
    EXPECT_TRUE(logContains("caricati 0 preferiti"));
    tap("doneButton");
    EXPECT_FALSE(presented());
    EXPECT_EQ(favoritesFile(), foundation::PlistDictionary {});
    EXPECT_TRUE(logContains("0 preferiti da salvare"));
    EXPECT_TRUE(logContains("preferiti salvati: YES"));
    EXPECT_EQ(m_reloads, 0);
}

TEST_F(Favorites, APickedNumberIsAddedUnderTheLastNameFirst)
{
    auto editor = openEditor();
    addFavorite("Marco", 1);
    ASSERT_EQ(editor->favorites().size(), 1u);
    EXPECT_EQ(editor->favorites()[0], (plvsettings::FavoriteEntry { "Bianchi Marco", "06 555 1234" }));
    auto row = runtime::cast<uikit::UITableViewCell>(viewNamed("favorite-0"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->textLabel()->text(), "Bianchi Marco");
    EXPECT_EQ(row->detailTextLabel()->text(), "06 555 1234");
    // Nothing reaches the file before Done.
    EXPECT_FALSE(foundation::deviceFileExists(kelvane::FavoritesPath));
    tap("doneButton");
    EXPECT_EQ(favoritesFile(), (foundation::PlistDictionary { { "06 555 1234", "Bianchi Marco" } }));
}

TEST_F(Favorites, TheSheetOffersEveryNumberThenCancelAndCancelAddsNothing)
{
    auto editor = openEditor();
    tap("addButton");
    runtime::cast<addressbook::ABPeoplePickerNavigationController>(editor->modalViewController())->didSelectPerson(person("Marco"));
    settle();
    auto shown = sheet();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->title(), "Bianchi Marco");
    ASSERT_EQ(shown->numberOfButtons(), 3);
    EXPECT_EQ(shown->buttonTitleAtIndex(0), "+39 347 111 2222");
    EXPECT_EQ(shown->buttonTitleAtIndex(2), "Cancel");
    EXPECT_EQ(shown->cancelButtonIndex(), 2);
    tap("actionSheetButton2");
    EXPECT_TRUE(editor->favorites().empty());
}

TEST_F(Favorites, NamesFallBackToTheFirstNameAndToNoName)
{
    auto editor = openEditor();
    addFavorite("Cher", 0);
    tap("addButton");
    runtime::cast<addressbook::ABPeoplePickerNavigationController>(editor->modalViewController())->didSelectPerson(person(""));
    settle();
    tap("actionSheetButton0");
    ASSERT_EQ(editor->favorites().size(), 2u);
    EXPECT_EQ(editor->favorites()[0].name, "Cher");
    EXPECT_EQ(editor->favorites()[1], (plvsettings::FavoriteEntry { "NO NAME", "112" }));
}

TEST_F(Favorites, APersonWithoutNumbersAddsNothingAndFiftyNumbersAreAllOffered)
{
    auto editor = openEditor();
    tap("addButton");
    runtime::cast<addressbook::ABPeoplePickerNavigationController>(editor->modalViewController())->didSelectPerson(person("Nessun"));
    settle();
    EXPECT_FALSE(sheet());
    EXPECT_TRUE(editor->favorites().empty());

    tap("addButton");
    runtime::cast<addressbook::ABPeoplePickerNavigationController>(editor->modalViewController())->didSelectPerson(person("Tanti"));
    settle();
    auto shown = sheet();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->numberOfButtons(), 51);
    shown->clickButtonAtIndex(49);
    ASSERT_EQ(editor->favorites().size(), 1u);
    EXPECT_EQ(editor->favorites()[0].number, "+39 02 1049");
}

TEST_F(Favorites, DuplicatesShowTwiceAndCollapseOnSaveWithTheLaterName)
{
    writeFile(kelvane::FavoritesPath, foundation::PlistDictionary { { "+39 347 111 2222", "Old name" } });
    auto editor = openEditor();
    ASSERT_EQ(editor->favorites().size(), 1u);
    EXPECT_TRUE(logContains("caricati 1 preferiti"));
    addFavorite("Marco", 0);
    EXPECT_EQ(editor->favorites().size(), 2u);
    EXPECT_EQ(editor->favoritesTable()->numberOfRowsInSection(0), 2);
    tap("doneButton");
    EXPECT_EQ(favoritesFile(), (foundation::PlistDictionary { { "+39 347 111 2222", "Bianchi Marco" } }));
    editor = openEditor();
    EXPECT_EQ(editor->favorites().size(), 1u);
}

TEST_F(Favorites, DeletingTheOnlyEntryLeavesAnEmptyFile)
{
    writeFile(kelvane::FavoritesPath, foundation::PlistDictionary { { "+39 347 111 2222", "Bianchi Marco" } });
    auto editor = openEditor();
    tap("favorite-0");
    EXPECT_TRUE(editor->favoritesTable()->isEditing());
    auto cell = runtime::cast<uikit::UITableViewCell>(viewNamed("favorite-0"));
    editor->favoritesTable()->commitEditingStyle(uikit::UITableViewCellEditingStyleDelete, uikit::NSIndexPathMake(0, 0));
    EXPECT_TRUE(editor->favorites().empty());
    EXPECT_FALSE(editor->favoritesTable()->isEditing());
    tap("doneButton");
    EXPECT_EQ(favoritesFile(), foundation::PlistDictionary {});
}

TEST_F(Favorites, AFailedSaveKeepsTheEditorOpenWithTheChanges)
{
    auto editor = openEditor();
    addFavorite("Marco", 0);
    // A folder in the file's place cannot be replaced by a file.
    std::filesystem::create_directories(foundation::hostPath(kelvane::FavoritesPath) / "in-the-way");
    tap("doneButton");
    EXPECT_TRUE(logContains("preferiti salvati: NO"));
    EXPECT_EQ(presented(), editor);
    ASSERT_EQ(editor->favorites().size(), 1u);
    auto alert = runtime::cast<uikit::UIAlertView>(viewNamed("alertButton0") ? viewNamed("alertButton0")->superview() : nullptr);
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Favorites not saved");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Keep editing");
    tap("alertButton0");
    EXPECT_EQ(presented(), editor);

    // Once the way is clear, Done saves and closes.
    std::filesystem::remove_all(foundation::hostPath(kelvane::FavoritesPath));
    tap("doneButton");
    EXPECT_FALSE(presented());
    EXPECT_EQ(favoritesFile(), (foundation::PlistDictionary { { "+39 347 111 2222", "Bianchi Marco" } }));
}

TEST_F(Favorites, EveryWayTheDiskCanRefuseTheSaveKeepsTheOldFileAndTheEditorOpen)
{
    const std::pair<const char*, foundation::FileFault> faults[] = {
        { "no room for the temporary", FileFault::on(FileOperation::Open).withError(ENOSPC).onPath("favorites.plist") },
        { "the disk fills up halfway", FileFault::on(FileOperation::Write).withError(ENOSPC).onPath("favorites.plist").halfWritten() },
        { "the flush fails", FileFault::on(FileOperation::Sync).withError(EIO).onPath("favorites.plist") },
        { "the rename fails", FileFault::on(FileOperation::Rename).withError(EIO).onPath("favorites.plist") },
    };
    writeFile(kelvane::FavoritesPath, foundation::PlistDictionary { { "112", "NO NAME" } });
    const std::string old = readBytes(kelvane::FavoritesPath);
    auto editor = openEditor();
    addFavorite("Cher", 0);
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        {
            foundation::ArmedFileFault armed(fault);
            tap("doneButton");
        }
        EXPECT_EQ(readBytes(kelvane::FavoritesPath), old);
        EXPECT_EQ(presented(), editor);
        EXPECT_EQ(editor->favorites().size(), 2u);
        ASSERT_TRUE(viewNamed("alertButton0"));
        tap("alertButton0"); // Keep editing
    }
    tap("doneButton");
    EXPECT_FALSE(presented());
    EXPECT_EQ(favoritesFile(), (foundation::PlistDictionary { { "112", "NO NAME" }, { "+1 555 0100", "Cher" } }));
}

TEST_F(Favorites, AFileThatCannotBeReadIsKeptAsideWholeBeforeItIsReplaced)
{
    writeFile(kelvane::FavoritesPath, foundation::PlistDictionary { { "112", "NO NAME" } });
    const std::string old = readBytes(kelvane::FavoritesPath);
    Ref<FavoritesViewController> editor;
    {
        foundation::ArmedFileFault armed(FileFault::on(FileOperation::Read).withError(EIO).onPath("favorites.plist"));
        editor = openEditor();
    }
    EXPECT_TRUE(editor->favorites().empty());
    addFavorite("Cher", 0);
    tap("doneButton");
    EXPECT_EQ(favoritesFile(), (foundation::PlistDictionary { { "+1 555 0100", "Cher" } }));
    EXPECT_EQ(readBytes(plvsettings::UnreadableFavoritesPath), old);
}

TEST_F(Favorites, DiscardingAfterAFailedSaveClosesWithoutWriting)
{
    auto editor = openEditor();
    addFavorite("Marco", 0);
    std::filesystem::create_directories(foundation::hostPath(kelvane::FavoritesPath) / "in-the-way");
    tap("doneButton");
    tap("alertButton1");
    EXPECT_FALSE(presented());
    EXPECT_TRUE(foundation::deviceDirectoryExists(kelvane::FavoritesPath));
}

TEST_F(Favorites, AFileThatIsNoDictionaryIsKeptAsideBeforeItIsReplaced)
{
    writeFile(kelvane::FavoritesPath, foundation::PlistArray { "+39 347 111 2222", "Bianchi Marco" });
    auto editor = openEditor();
    EXPECT_TRUE(editor->favorites().empty());
    addFavorite("Cher", 0);
    tap("doneButton");
    EXPECT_EQ(favoritesFile(), (foundation::PlistDictionary { { "+1 555 0100", "Cher" } }));
    auto kept = foundation::readPlistFile(foundation::hostPath(plvsettings::UnreadableFavoritesPath));
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->asArray());
}

TEST_F(Favorites, HostileFilesOpenAnEmptyOrPartialListWithoutHarm)
{
    // Nested far beyond what the reader accepts, then a name that is no text.
    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 5000; ++i)
        deep += "<array>";
    foundation::createDeviceDirectory("/var/mobile/Library/PLV", foundation::Intermediates::Yes);
    ASSERT_TRUE(foundation::writeDeviceFileAtomically(kelvane::FavoritesPath, deep));
    auto editor = openEditor();
    EXPECT_TRUE(editor->favorites().empty());
    tap("doneButton");
    EXPECT_TRUE(foundation::deviceFileExists(plvsettings::UnreadableFavoritesPath));

    writeFile(kelvane::FavoritesPath, foundation::PlistDictionary { { "+1 555 0100", "Cher" }, { "06 555 1234", foundation::PlistDictionary { { "a", "b" } } } });
    editor = openEditor();
    ASSERT_EQ(editor->favorites().size(), 1u);
    EXPECT_EQ(editor->favorites()[0].name, "Cher");
}

} // namespace settings_test
