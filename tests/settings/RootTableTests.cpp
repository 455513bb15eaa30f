// The settings application on the phone: opened from its icon, the root
// table's rows, the switches that write the preferences file at once and
// announce it, and the first start on an empty phone.
#include "SettingsFixture.h"

#include <settings/ColorChoiceViewController.h>
#include <settings/ThemeChoiceViewController.h>

namespace settings_test {

namespace {

    using uikit::NSIndexPathMake;

    struct ExpectedRow {
        int64_t section;
        int64_t row;
        std::string label;
        std::string subtitle;
        std::string cellName;
        bool hasSwitch;
    };

    const ExpectedRow expectedRows[] = {
        { 0, 0, "Notification center reply", "Show QR when tapping a SMS in NC.", "row-ncqr", true },
        { 0, 1, "Lockscreen Quick Reply", "Show QR in lock screen", "row-lockQR", true },
        { 0, 2, "Send bug report", "", "row-bug", false },
        { 0, 3, "Favorites", "", "row-favorites", false },
        { 0, 4, "Add emails to QC contacts list", "If you have iMessage recipients using e-mail", "row-EIC", true },
        { 1, 0, "QuickCompose skin", "", "row-qcskin", false },
        { 1, 1, "QuickReply skin", "", "row-qrskin", false },
        { 2, 0, "Background color", "", "row-qccolors", false },
        { 2, 1, "Textfield background color", "", "row-qctextfield", false },
        { 2, 2, "Text color", "", "row-qctext", false },
        { 3, 0, "Background color", "", "row-qrcolors", false },
        { 3, 1, "Textfield background color", "", "row-qrtextfield", false },
        { 3, 2, "Text color", "", "row-qrtext", false },
    };

} // namespace

class RootTable : public SettingsTest { };

TEST_F(RootTable, OpensFromItsIconInFrontWithTheNavigationTitleAndTint)
{
    openSettings();
    EXPECT_EQ(state()["frontApp"], "it.kelvane.plvsettings");
    ASSERT_TRUE(root());
    EXPECT_EQ(navigation()->navigationBar()->topItem()->title(), "PLV");
    auto tint = navigation()->navigationBar()->tintColor();
    ASSERT_TRUE(tint);
    EXPECT_DOUBLE_EQ(tint->green(), 0.3);
    EXPECT_DOUBLE_EQ(tint->blue(), 0.8);
    EXPECT_DOUBLE_EQ(tint->alpha(), 0.5);
    EXPECT_EQ(root()->theTableView()->style(), uikit::UITableViewStyleGrouped);

    // Home hides the window; the open_app step brings the same screen back.
    ASSERT_TRUE(phone().home());
    EXPECT_FALSE(settingsWindow());
    ASSERT_TRUE(phone().openApp("it.kelvane.plvsettings"));
    EXPECT_TRUE(settingsWindow());
}

TEST_F(RootTable, ShowsEverySectionAndRowWithItsHeader)
{
    openSettings();
    auto controller = root();
    Id table = controller->theTableView();
    ASSERT_EQ(send<int64_t>(controller, "numberOfSectionsInTableView:", table), 4);
    const char* headers[] = { "General settings", "Color skins", "Custom QuickCompose colors", "Custom QuickReply colors" };
    const int64_t rowCounts[] = { 5, 2, 3, 3 };
    for (int64_t section = 0; section < 4; ++section) {
        EXPECT_EQ(send<std::string>(controller, "tableView:titleForHeaderInSection:", table, section), headers[section]);
        EXPECT_EQ(send<int64_t>(controller, "tableView:numberOfRowsInSection:", table, section), rowCounts[section]);
    }
    for (const auto& expected : expectedRows) {
        SCOPED_TRACE(expected.cellName);
        auto cell = runtime::cast<uikit::UITableViewCell>(send<Id>(controller, "tableView:cellForRowAtIndexPath:", table, NSIndexPathMake(expected.section, expected.row)));
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->reuseIdentifier(), "it.kelvane.plvsettings");
        EXPECT_EQ(cell->style(), uikit::UITableViewCellStyleSubtitle);
        EXPECT_EQ(cell->name(), expected.cellName);
        EXPECT_EQ(cell->textLabel()->text(), expected.label);
        EXPECT_EQ(cell->detailTextLabel()->text(), expected.subtitle);
        EXPECT_EQ(runtime::cast<uikit::UISwitch>(cell->accessoryView()) != nullptr, expected.hasSwitch);
        if (!expected.hasSwitch) {
            EXPECT_EQ(cell->accessoryType(), uikit::UITableViewCellAccessoryDisclosureIndicator);
        }
    }
}

TEST_F(RootTable, FirstStartCreatesTheFolderAndAFileWithOnlyVersionAndBug)
{
    ASSERT_FALSE(foundation::deviceFileExists("/var/mobile/Library/PLV"));
    openSettings();
    EXPECT_TRUE(foundation::deviceDirectoryExists("/var/mobile/Library/PLV"));
    auto file = preferencesFile();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->keys(), (std::vector<std::string> { "version", "bug" }));
    EXPECT_EQ(preference("version"), "1.100000");
    EXPECT_EQ(preference("bug"), "new");
    EXPECT_TRUE(runtime::cast<uikit::UISwitch>(viewNamed("switch-ncqr"))->isOn());
    EXPECT_TRUE(runtime::cast<uikit::UISwitch>(viewNamed("switch-lockQR"))->isOn());
    EXPECT_FALSE(runtime::cast<uikit::UISwitch>(viewNamed("switch-EIC"))->isOn());
    EXPECT_EQ(m_reloads, 0);
}

TEST_F(RootTable, TurningASwitchWritesAtOnceAndPostsTheReloadOnce)
{
    openSettings();
    tap("switch-lockQR");
    EXPECT_EQ(preference("lockQR"), "0");
    EXPECT_EQ(m_reloads, 1);
    EXPECT_FALSE(preference("ncqr"));
    tap("switch-EIC");
    EXPECT_EQ(preference("EIC"), "1");
    tap("switch-lockQR");
    EXPECT_EQ(preference("lockQR"), "1");
    tap("switch-ncqr");
    EXPECT_EQ(preference("ncqr"), "0");
    EXPECT_EQ(m_reloads, 4);
}

TEST_F(RootTable, SwitchesShowOnlyTheText1AsOn)
{
    writeFile(kelvane::PLVPreferencesPath,
        foundation::PlistDictionary { { "version", "1.1" }, { "ncqr", int64_t(1) }, { "lockQR", "yes" }, { "EIC", "1" } });
    openSettings();
    EXPECT_FALSE(runtime::cast<uikit::UISwitch>(viewNamed("switch-ncqr"))->isOn());
    EXPECT_FALSE(runtime::cast<uikit::UISwitch>(viewNamed("switch-lockQR"))->isOn());
    EXPECT_TRUE(runtime::cast<uikit::UISwitch>(viewNamed("switch-EIC"))->isOn());
    // Every key is there, so nothing is written just by showing them.
    EXPECT_FALSE(preference("bug"));
    // Turning the number-valued switch on stores the text the extensions read.
    tap("switch-ncqr");
    EXPECT_EQ(preference("ncqr"), "1");
}

TEST_F(RootTable, AnOutdatedOrTextVersionIsDiscardedAndTheDefaultsShow)
{
    for (const char* version : { "1.0", "newest" }) {
        SCOPED_TRACE(version);
        writeFile(kelvane::PLVPreferencesPath, foundation::PlistDictionary { { "version", version }, { "ncqr", "0" }, { "qrcolors", "1 0 0" } });
        openSettings();
        EXPECT_TRUE(runtime::cast<uikit::UISwitch>(viewNamed("switch-ncqr"))->isOn());
        auto file = preferencesFile();
        ASSERT_TRUE(file);
        EXPECT_EQ(file->keys(), (std::vector<std::string> { "version", "bug" }));
        m_phone.reset();
    }
}

TEST_F(RootTable, SwitchesKeepTheirKeysWhenCellsAreReused)
{
    openSettings();
    auto table = root()->theTableView();
    // Scrolling down and back hands the switch cells out again for other rows.
    for (double offset : { 400.0, 0.0, 250.0, 0.0 }) {
        table->setContentOffset({ 0, offset });
        table->layoutSubviews();
    }
    settle();
    for (const char* key : { "ncqr", "lockQR", "EIC" }) {
        SCOPED_TRACE(key);
        auto before = preference(key);
        tap(std::string("switch-") + key);
        EXPECT_NE(preference(key), before);
    }
    EXPECT_EQ(m_reloads, 3);
}

TEST_F(RootTable, SelectingASwitchRowOnlyDeselectsIt)
{
    openSettings();
    tap("row-lockQR");
    EXPECT_EQ(navigation()->viewControllers().size(), 1u);
    EXPECT_FALSE(root()->theTableView()->indexPathForSelectedRow());
    EXPECT_FALSE(presented());
    EXPECT_FALSE(preference("lockQR"));
}

TEST_F(RootTable, ColourRowsOpenTheEditorForTheirOwnKey)
{
    openSettings();
    auto table = root()->theTableView();
    table->scrollToRow(NSIndexPathMake(3, 0), uikit::UITableViewScrollPositionMiddle);
    tap("row-qrcolors");
    auto editor = topController<plvsettings::ColorChoiceViewController>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->preferenceKey(), "qrcolors");
    EXPECT_EQ(editor->title(), "Select color");
    send<Id>(navigation(), "popViewControllerAnimated:", false);

    table->scrollToRow(NSIndexPathMake(2, 0), uikit::UITableViewScrollPositionMiddle);
    tap("row-qccolors");
    editor = topController<plvsettings::ColorChoiceViewController>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->preferenceKey(), "qccolors");
    send<Id>(navigation(), "popViewControllerAnimated:", false);

    tap("row-qrskin");
    auto skins = topController<plvsettings::ThemeChoiceViewController>();
    ASSERT_TRUE(skins);
    EXPECT_EQ(skins->keys(), (std::vector<std::string> { "qrcolors", "qrtextfield", "qrtext" }));
    EXPECT_EQ(skins->title(), "Skins");
}

} // namespace settings_test
