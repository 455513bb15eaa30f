// The colour editor and the skin chooser: which row they open on for a
// stored value, what they store when the screen is left, and the reload
// notification they post every time.
#include "SettingsFixture.h"

#include <settings/ColorChoiceViewController.h>
#include <settings/ColorStrings.h>
#include <settings/ThemeChoiceViewController.h>

namespace settings_test {

using plvsettings::ColorChoiceViewController;
using plvsettings::ThemeChoiceViewController;

class ColorEditor : public SettingsTest {
protected:
    // Opens the colour editor of a Quick Reply colour row, with `stored`
    // in the file first (nothing: the key is absent).
    Ref<ColorChoiceViewController> openEditor(std::string_view key, std::optional<std::string> stored)
    {
        foundation::PlistDictionary values { { "version", "1.100000" }, { "ncqr", "1" }, { "lockQR", "1" }, { "EIC", "0" } };
        if (stored)
            values.set(std::string(key), foundation::PlistValue(*stored));
        writeFile(kelvane::PLVPreferencesPath, values);
        openSettings();
        root()->theTableView()->scrollToRow(uikit::NSIndexPathMake(3, 2), uikit::UITableViewScrollPositionBottom);
        tap("row-" + std::string(key));
        m_reloads = 0;
        return topController<ColorChoiceViewController>();
    }

    void leave()
    {
        send<Id>(navigation(), "popViewControllerAnimated:", true);
        settle();
    }

    static std::optional<int64_t> selectedRow(const Ref<uikit::UITableView>& table)
    {
        auto selected = table->indexPathForSelectedRow();
        return selected ? std::optional<int64_t>(selected->row) : std::nullopt;
    }

    static void expectColour(const Ref<uikit::UIView>& view, double red, double green, double blue)
    {
        auto colour = view->backgroundColor();
        ASSERT_TRUE(colour);
        EXPECT_NEAR(colour->red(), red, 1e-6);
        EXPECT_NEAR(colour->green(), green, 1e-6);
        EXPECT_NEAR(colour->blue(), blue, 1e-6);
    }
};

TEST_F(ColorEditor, AStoredPresetOpensOnItsRowWithoutSliders)
{
    auto editor = openEditor("qrcolors", "1 0 0");
    ASSERT_TRUE(editor);
    EXPECT_EQ(selectedRow(editor->colorTableView()), 1);
    EXPECT_FALSE(editor->showingSlider());
    EXPECT_FALSE(viewNamed("red"));
    expectColour(editor->colorPreview(), 1, 0, 0);
    leave();
    EXPECT_EQ(preference("qrcolors"), "1 0 0");
    EXPECT_EQ(m_reloads, 1);
}

TEST_F(ColorEditor, SliderValuesOpenCustomWithTheSlidersSet)
{
    auto editor = openEditor("qrtext", "0.500000 0.250000 1.000000");
    ASSERT_TRUE(editor);
    EXPECT_EQ(selectedRow(editor->colorTableView()), 6);
    EXPECT_TRUE(editor->showingSlider());
    EXPECT_DOUBLE_EQ(editor->red()->value(), 0.5);
    EXPECT_DOUBLE_EQ(editor->green()->value(), 0.25);
    EXPECT_DOUBLE_EQ(editor->blue()->value(), 1);
    expectColour(editor->colorPreview(), 0.5, 0.25, 1);
}

TEST_F(ColorEditor, TextThatMatchesNoPresetExactlyOpensCustom)
{
    auto editor = openEditor("qrcolors", "1 0 0.0");
    ASSERT_TRUE(editor);
    EXPECT_EQ(selectedRow(editor->colorTableView()), 6);
    EXPECT_DOUBLE_EQ(editor->red()->value(), 1);
    EXPECT_DOUBLE_EQ(editor->blue()->value(), 0);
}

TEST_F(ColorEditor, NoValueOpensCustomAtZeroAndLeavingStoresZeros)
{
    auto editor = openEditor("qrtextfield", std::nullopt);
    ASSERT_TRUE(editor);
    EXPECT_EQ(selectedRow(editor->colorTableView()), 6);
    EXPECT_DOUBLE_EQ(editor->red()->value(), 0);
    expectColour(editor->colorPreview(), 0, 0, 0);
    leave();
    EXPECT_EQ(preference("qrtextfield"), "0.000000 0.000000 0.000000");
    EXPECT_EQ(m_reloads, 1);
}

TEST_F(ColorEditor, AValueWithTooFewPartsFallsBackToCustomAtZero)
{
    for (const char* stored : { "1 0", "", "0.3" }) {
        SCOPED_TRACE(stored);
        auto editor = openEditor("qrcolors", stored);
        ASSERT_TRUE(editor);
        EXPECT_EQ(selectedRow(editor->colorTableView()), 6);
        EXPECT_DOUBLE_EQ(editor->red()->value(), 0);
        EXPECT_DOUBLE_EQ(editor->green()->value(), 0);
        m_phone.reset();
    }
}

TEST_F(ColorEditor, CustomAfterAPresetKeepsThePreviewAndStoresTheSliders)
{
    auto editor = openEditor("qrcolors", "0 1 0");
    ASSERT_TRUE(editor);
    ASSERT_TRUE(phone().swipe("colorTable", { 0, -1000 }));
    tap("preset-custom");
    EXPECT_TRUE(editor->showingSlider());
    expectColour(editor->colorPreview(), 0, 1, 0);
    // A tap on the slider's track puts the thumb there: the right end is 1.
    auto red = editor->red()->screenFrame();
    ASSERT_TRUE(phone().tap({ red.maxX() - 0.5, red.midY() }));
    EXPECT_NEAR(editor->red()->value(), 1, 0.01);
    expectColour(editor->colorPreview(), editor->red()->value(), 0, 0);
    leave();
    auto stored = preference("qrcolors");
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, plvsettings::colorString({ editor->red()->value(), 0, 0 }));
}

TEST_F(ColorEditor, ChoosingAPresetHidesTheSlidersAndStoresTheShortText)
{
    auto editor = openEditor("qctext", "0.1 0.2 0.3");
    ASSERT_TRUE(editor);
    tap("preset-system-gray");
    EXPECT_FALSE(editor->showingSlider());
    expectColour(editor->colorPreview(), 0.95, 0.95, 0.95);
    leave();
    EXPECT_EQ(preference("qctext"), "0.95 0.95 0.95");
}

class SkinChooser : public ColorEditor {
protected:
    Ref<ThemeChoiceViewController> openChooser(std::string_view row, const foundation::PlistDictionary& stored)
    {
        writeFile(kelvane::PLVPreferencesPath, stored);
        openSettings();
        tap(row);
        m_reloads = 0;
        return topController<ThemeChoiceViewController>();
    }
};

TEST_F(SkinChooser, LeavingWithoutAChoiceWritesNothingButStillPosts)
{
    foundation::PlistDictionary stored { { "version", "1.1" }, { "ncqr", "1" }, { "lockQR", "1" }, { "EIC", "0" }, { "qccolors", "0 0 1" } };
    auto chooser = openChooser("row-qcskin", stored);
    ASSERT_TRUE(chooser);
    EXPECT_FALSE(chooser->colorTableView()->indexPathForSelectedRow());
    expectColour(chooser->bgColor(), 0, 0, 1);
    // No stored value, and a value with too few parts, both show white.
    expectColour(chooser->fieldBgColor(), 1, 1, 1);
    expectColour(chooser->textColor(), 1, 1, 1);
    leave();
    EXPECT_EQ(preferencesFile(), stored);
    EXPECT_EQ(m_reloads, 1);
}

TEST_F(SkinChooser, DefaultForQuickReplyStoresItsThreeColours)
{
    auto chooser = openChooser("row-qrskin", { { "version", "1.1" }, { "ncqr", "1" }, { "lockQR", "1" }, { "EIC", "0" }, { "qrtext", "1 0" } });
    ASSERT_TRUE(chooser);
    EXPECT_EQ(chooser->combinations().size(), 4u);
    expectColour(chooser->textColor(), 1, 1, 1);
    tap("skin-default");
    expectColour(chooser->bgColor(), 0.95, 0.95, 0.95);
    expectColour(chooser->textColor(), 0, 0, 0);
    leave();
    EXPECT_EQ(preference("qrcolors"), "0.95 0.95 0.95");
    EXPECT_EQ(preference("qrtextfield"), "1 1 1");
    EXPECT_EQ(preference("qrtext"), "0 0 0");
    EXPECT_FALSE(preference("qccolors"));
    EXPECT_EQ(m_reloads, 1);
    EXPECT_TRUE(logContains("ThemeChoice loadView"));
}

} // namespace settings_test
