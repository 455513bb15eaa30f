#include "ColorChoiceViewController.h"

#include "ColorStrings.h"
#include "PreferencesDelegate.h"

#include <uikit/UIColor.h>
#include <uikit/UIDevice.h>
#include <uikit/UIFont.h>
#include <uikit/UIScreen.h>

#include <charconv>

namespace plvsettings {

using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    constexpr std::string_view ColorCellIdentifier = "it.kelvane.colorchoiceviewcontroller";

    // Numeric comparison of dotted versions ("5.1.1" against "5.0").
    bool versionBelow(std::string_view version, std::string_view than)
    {
        auto next = [](std::string_view& text) {
            long value = 0;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            text.remove_prefix(static_cast<size_t>(end - text.data()));
            if (!text.empty() && text.front() == '.')
                text.remove_prefix(1);
            return error == std::errc() ? value : 0;
        };
        while (!version.empty() || !than.empty()) {
            long a = next(version), b = next(than);
            if (a != b)
                return a < b;
        }
        return false;
    }

    std::optional<std::string> storedText(const std::shared_ptr<kelvane::KelvanePreferenceManager>& store, std::string_view key)
    {
        auto value = store ? store->loadValueForKey(key) : std::nullopt;
        const std::string* text = value ? value->asString() : nullptr;
        return text ? std::optional<std::string>(*text) : std::nullopt;
    }

} // namespace

Ref<UIColor> editorBackgroundColor()
{
    if (versionBelow(UIDevice::currentDevice()->systemVersion(), "5.0"))
        return UIColor::groupTableViewBackgroundColor();
    return UIColor::underPageBackgroundColor();
}

void ColorChoiceViewController::registerMethods(runtime::ClassBuilder<ColorChoiceViewController>& b)
{
    b.method<&ColorChoiceViewController::preferenceKey>("preferenceKey");
    b.method<&ColorChoiceViewController::setPreferenceKey>("setPreferenceKey:");
    b.method<&ColorChoiceViewController::delegate>("delegate");
    b.method<&ColorChoiceViewController::setDelegate>("setDelegate:");
    b.method("tableView:numberOfRowsInSection:", [](ColorChoiceViewController&, const Id&, int64_t) -> int64_t { return static_cast<int64_t>(ColorPresets.size()); });
    b.method<&ColorChoiceViewController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&ColorChoiceViewController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
    b.method<&ColorChoiceViewController::showSliders>("showSliders");
    b.method<&ColorChoiceViewController::hideSliders>("hideSliders");
    b.method<&ColorChoiceViewController::updateColor>("updateColor");
    b.method<&ColorChoiceViewController::savePreferences>("savePreferences");
}

void ColorChoiceViewController::loadView()
{
    setTitle("Select color");
    auto view = makeView<UIView>(UIScreen::mainScreen()->applicationFrame());
    view->setBackgroundColor(editorBackgroundColor());
    setView(view);
}

Ref<UISlider> ColorChoiceViewController::makeSlider(double y, std::string name)
{
    auto slider = makeView<UISlider>(CGRectMake(20, y, 280, 10));
    slider->setName(std::move(name));
    slider->addTarget(self(), "updateColor", UIControlEventValueChanged);
    return slider;
}

void ColorChoiceViewController::viewDidLoad()
{
    m_colorTableView = UITableView::withFrame(CGRectMake(5, 0, 310, 240), UITableViewStyleGrouped);
    m_colorTableView->setName("colorTable");
    m_colorTableView->setBackgroundColor(UIColor::clearColor());
    m_colorTableView->setDelegate(self());
    m_colorTableView->setDataSource(self());
    view()->addSubview(m_colorTableView);

    m_previewLabel = makeView<UILabel>(CGRectMake(20, 356, 280, 20));
    m_previewLabel->setText("Preview");
    m_previewLabel->setBackgroundColor(UIColor::clearColor());
    view()->addSubview(m_previewLabel);
    m_colorPreview = makeView<UIView>(CGRectMake(20, 376, 280, 20));
    m_colorPreview->setName("colorPreview");
    m_colorPreview->layer()->setCornerRadius(8);
    m_colorPreview->setBackgroundColor(UIColor::whiteColor());
    view()->addSubview(m_colorPreview);

    m_colorsLabel = makeView<UILabel>(CGRectMake(20, 260, 280, 20));
    m_colorsLabel->setText("Red - Green - Blue");
    m_colorsLabel->setBackgroundColor(UIColor::clearColor());
    m_red = makeSlider(280, "red");
    m_green = makeSlider(305, "green");
    m_blue = makeSlider(330, "blue");

    // Preselection: the first preset whose text is the stored text.
    auto stored = storedText(PreferencesDelegate::storeOf(delegate()), m_preferenceKey);
    for (size_t row = 0; row + 1 < ColorPresets.size(); ++row) {
        if (stored && *stored == ColorPresets[row].colorString) {
            auto indexPath = NSIndexPathMake(0, static_cast<int64_t>(row));
            m_colorTableView->selectRow(indexPath, false);
            didSelectRow(m_colorTableView, indexPath);
            return;
        }
    }
    auto custom = NSIndexPathMake(0, static_cast<int64_t>(ColorPresets.size() - 1));
    m_colorTableView->selectRow(custom, false);
    didSelectRow(m_colorTableView, custom);
    RGB color = stored ? colorFromString(*stored).value_or(RGB {}) : RGB {};
    m_red->setValue(color.red);
    m_green->setValue(color.green);
    m_blue->setValue(color.blue);
    updateColor();
}

void ColorChoiceViewController::viewDidUnload()
{
    m_colorTableView = nullptr;
    m_red = m_green = m_blue = nullptr;
    m_colorsLabel = m_previewLabel = nullptr;
    m_colorPreview = nullptr;
    m_showingSlider = false;
}

Id ColorChoiceViewController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto table = runtime::cast<UITableView>(tableView);
    auto cell = table ? table->dequeueReusableCell(std::string(ColorCellIdentifier)) : nullptr;
    if (!cell) {
        cell = UITableViewCell::withStyle(UITableViewCellStyleDefault, std::string(ColorCellIdentifier));
        cell->setBackgroundColor(UIColor::grayColor());
        cell->textLabel()->setBackgroundColor(UIColor::clearColor());
        cell->textLabel()->setTextColor(UIColor::whiteColor());
        cell->textLabel()->setFont(UIFont::systemFontOfSize(14));
    }
    if (indexPath.row >= 0 && indexPath.row < static_cast<int64_t>(ColorPresets.size())) {
        auto name = ColorPresets[static_cast<size_t>(indexPath.row)].name;
        cell->setName(rowName("preset-", name));
        cell->textLabel()->setText(std::string(name));
    }
    return cell;
}

void ColorChoiceViewController::didSelectRow(const Id&, const NSIndexPath& indexPath)
{
    if (indexPath.row < 0 || indexPath.row >= static_cast<int64_t>(ColorPresets.size()))
        return;
    std::string_view color = ColorPresets[static_cast<size_t>(indexPath.row)].colorString;
    if (color == CustomColorString) {
        // The preview keeps its colour until a slider moves.
        if (!m_showingSlider)
            showSliders();
        return;
    }
    if (m_showingSlider)
        hideSliders();
    RGB rgb = colorFromString(color).value_or(RGB {});
    if (m_colorPreview)
        m_colorPreview->setBackgroundColor(UIColor::colorWithRed(rgb.red, rgb.green, rgb.blue, 1));
}

void ColorChoiceViewController::showSliders()
{
    if (!m_red)
        return;
    for (auto& control : { Ref<UIView>(m_colorsLabel), Ref<UIView>(m_red), Ref<UIView>(m_green), Ref<UIView>(m_blue) })
        view()->addSubview(control);
    m_showingSlider = true;
}

void ColorChoiceViewController::hideSliders()
{
    for (auto& control : { Ref<UIView>(m_colorsLabel), Ref<UIView>(m_red), Ref<UIView>(m_green), Ref<UIView>(m_blue) }) {
        if (control)
            control->removeFromSuperview();
    }
    m_showingSlider = false;
}

void ColorChoiceViewController::updateColor()
{
    if (m_colorPreview && m_red)
        m_colorPreview->setBackgroundColor(UIColor::colorWithRed(m_red->value(), m_green->value(), m_blue->value(), 1));
}

void ColorChoiceViewController::viewWillDisappear(bool)
{
    runtime::send(self(), "savePreferences");
}

void ColorChoiceViewController::savePreferences()
{
    auto store = PreferencesDelegate::storeOf(delegate());
    auto selected = m_colorTableView ? m_colorTableView->indexPathForSelectedRow() : std::nullopt;
    if (store && selected && selected->row >= 0 && selected->row < static_cast<int64_t>(ColorPresets.size())) {
        std::string color(ColorPresets[static_cast<size_t>(selected->row)].colorString);
        if (color == CustomColorString)
            color = colorString({ m_red->value(), m_green->value(), m_blue->value() });
        if (auto preferences = store->preferences()) {
            preferences->set(m_preferenceKey, foundation::PlistValue(color));
            store->writePreferences();
        }
    }
    postReloadNotification();
}

} // namespace plvsettings
