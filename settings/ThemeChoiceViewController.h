// The skin chooser ("Skins"), pushed from the root table for one window: a
// grouped table of four fixed combinations of window background, field
// background and text colour, and three swatches showing the colours
// (stored ones at first, white for a key without a usable value; a
// combination's once a row is chosen). When the screen goes away it stores
// the chosen combination's three strings under `keys` and posts
// "it.kelvane.PLV.reloadPrefs" in every case.
//
// Snapshot names: "skinTable", rows "skin-<name>" ("skin-custom1",
// "skin-default"), swatches "bgColor", "fieldBgColor", "textColor".
#pragma once

#include <uikit/UIColor.h>
#include <uikit/UITableView.h>
#include <uikit/UIViewController.h>

#include <string>
#include <vector>

namespace plvsettings {

class ThemeChoiceViewController : public uikit::UIViewController {
    PLV_CLASS(ThemeChoiceViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<ThemeChoiceViewController>&);

    struct Combination {
        std::string name;
        std::string bg;
        std::string fieldbg;
        std::string text;
    };

    const std::vector<std::string>& keys() const { return m_keys; }
    void setKeys(std::vector<std::string> keys) { m_keys = std::move(keys); }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    const std::vector<Combination>& combinations() const { return m_combinations; }
    const runtime::Ref<uikit::UITableView>& colorTableView() const { return m_colorTableView; }
    const runtime::Ref<uikit::UIView>& bgColor() const { return m_bgColor; }
    const runtime::Ref<uikit::UIView>& fieldBgColor() const { return m_fieldBgColor; }
    const runtime::Ref<uikit::UIView>& textColor() const { return m_textColor; }

    void addCombination(const std::string& bg, const std::string& fieldbg, const std::string& text, const std::string& name);
    // Nil for an absent string or one with fewer than three parts.
    static runtime::Ref<uikit::UIColor> colorFromString(const std::optional<std::string>&);

    void loadView() override;
    void viewDidLoad() override;
    void viewDidUnload() override;
    void viewWillDisappear(bool animated) override;

    int64_t numberOfRows();
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void savePreferences();

private:
    std::vector<std::string> m_keys;
    runtime::WeakId m_delegate;
    std::vector<Combination> m_combinations;
    runtime::Ref<uikit::UITableView> m_colorTableView;
    runtime::Ref<uikit::UIView> m_bgColor;
    runtime::Ref<uikit::UIView> m_fieldBgColor;
    runtime::Ref<uikit::UIView> m_textColor;
};

} // namespace plvsettings
