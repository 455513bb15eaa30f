// The colour editor for one colour preference ("qrcolors", "qctext" …),
// pushed from the root table: a grouped table of six preset colours and
// "Custom", which shows three sliders (red, green, blue) over a preview of
// the colour. It opens on the preset whose text equals the stored value, or
// on "Custom" with the sliders at the stored value (at zero when there is
// none, or when it has fewer than three parts). When the screen goes away it
// stores the selected preset, or the slider values written "%f %f %f" for
// Custom, and posts "it.kelvane.PLV.reloadPrefs" in every case.
//
// Snapshot names: "colorTable", rows "preset-<name>" ("preset-system-gray",
// "preset-custom"), sliders "red", "green", "blue", "colorPreview".
#pragma once

#include <uikit/UILabel.h>
#include <uikit/UISlider.h>
#include <uikit/UITableView.h>
#include <uikit/UIViewController.h>

#include <string>

namespace plvsettings {

// The background of both editors: the grouped-table colour before iOS 5,
// the under-page colour from 5.0 on.
runtime::Ref<uikit::UIColor> editorBackgroundColor();

class ColorChoiceViewController : public uikit::UIViewController {
    PLV_CLASS(ColorChoiceViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<ColorChoiceViewController>&);

    const std::string& preferenceKey() const { return m_preferenceKey; }
    void setPreferenceKey(std::string key) { m_preferenceKey = std::move(key); }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    bool showingSlider() const { return m_showingSlider; }
    const runtime::Ref<uikit::UITableView>& colorTableView() const { return m_colorTableView; }
    const runtime::Ref<uikit::UISlider>& red() const { return m_red; }
    const runtime::Ref<uikit::UISlider>& green() const { return m_green; }
    const runtime::Ref<uikit::UISlider>& blue() const { return m_blue; }
    const runtime::Ref<uikit::UIView>& colorPreview() const { return m_colorPreview; }

    void loadView() override;
    void viewDidLoad() override;
    void viewDidUnload() override;
    void viewWillDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(int64_t orientation) override { return orientation == uikit::UIInterfaceOrientationPortrait; }

    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void showSliders();
    void hideSliders();
    void updateColor();
    void savePreferences();

private:
    runtime::Ref<uikit::UISlider> makeSlider(double y, std::string name);

    std::string m_preferenceKey;
    runtime::WeakId m_delegate;
    runtime::Ref<uikit::UITableView> m_colorTableView;
    runtime::Ref<uikit::UISlider> m_red;
    runtime::Ref<uikit::UISlider> m_green;
    runtime::Ref<uikit::UISlider> m_blue;
    runtime::Ref<uikit::UILabel> m_colorsLabel;
    runtime::Ref<uikit::UILabel> m_previewLabel;
    runtime::Ref<uikit::UIView> m_colorPreview;
    bool m_showingSlider { false };
};

} // namespace plvsettings
