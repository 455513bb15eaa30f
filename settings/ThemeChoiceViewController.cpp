#include "ThemeChoiceViewController.h"

#include "ColorChoiceViewController.h"
#include "ColorStrings.h"
#include "PreferencesDelegate.h"

#include <foundation/SystemLog.h>
#include <uikit/UIFont.h>
#include <uikit/UILabel.h>
#include <uikit/UIScreen.h>

namespace plvsettings {

using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    constexpr std::string_view ThemeCellIdentifier = "it.kelvane.themechoiceviewcontroller";

} // namespace

void ThemeChoiceViewController::registerMethods(runtime::ClassBuilder<ThemeChoiceViewController>& b)
{
    b.method<&ThemeChoiceViewController::keys>("keys");
    b.method<&ThemeChoiceViewController::setKeys>("setKeys:");
    b.method<&ThemeChoiceViewController::delegate>("delegate");
    b.method<&ThemeChoiceViewController::setDelegate>("setDelegate:");
    b.method<&ThemeChoiceViewController::addCombination>("addCombinationWithBG:andFieldBG:andTextColor:withName:");
    b.method("colorFromString:", [](ThemeChoiceViewController&, const std::string& text) -> Id { return colorFromString(text); });
    b.method("tableView:numberOfRowsInSection:", [](ThemeChoiceViewController& self, const Id&, int64_t) -> int64_t { return self.numberOfRows(); });
    b.method<&ThemeChoiceViewController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&ThemeChoiceViewController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
    b.method<&ThemeChoiceViewController::savePreferences>("savePreferences");
}

void ThemeChoiceViewController::addCombination(const std::string& bg, const std::string& fieldbg, const std::string& text, const std::string& name)
{
    foundation::NSLog("addCombination");
    m_combinations.push_back({ name, bg, fieldbg, text });
}

Ref<UIColor> ThemeChoiceViewController::colorFromString(const std::optional<std::string>& text)
{
    auto rgb = text ? plvsettings::colorFromString(*text) : std::nullopt;
    if (!rgb)
        return nullptr;
    return UIColor::colorWithRed(rgb->red, rgb->green, rgb->blue, 1);
}

void ThemeChoiceViewController::loadView()
{
    foundation::NSLog("ThemeChoice loadView");
    setTitle("Skins");
    auto view = makeView<UIView>(UIScreen::mainScreen()->applicationFrame());
    view->setBackgroundColor(editorBackgroundColor());
    setView(view);
    m_combinations.clear();
    for (const auto& combination : SkinCombinations)
        addCombination(std::string(combination.bg), std::string(combination.fieldbg), std::string(combination.text), std::string(combination.name));
}

void ThemeChoiceViewController::viewDidLoad()
{
    foundation::NSLog("viewDidLoad");
    m_colorTableView = UITableView::withFrame(CGRectMake(5, 0, 310, 200), UITableViewStyleGrouped);
    m_colorTableView->setName("skinTable");
    m_colorTableView->setBackgroundColor(UIColor::clearColor());
    m_colorTableView->setDelegate(self());
    m_colorTableView->setDataSource(self());
    view()->addSubview(m_colorTableView);

    auto store = PreferencesDelegate::storeOf(delegate());
    auto stored = [&](size_t index) -> std::optional<std::string> {
        if (!store || index >= m_keys.size())
            return std::nullopt;
        auto value = store->loadValueForKey(m_keys[index]);
        const std::string* text = value ? value->asString() : nullptr;
        return text ? std::optional<std::string>(*text) : std::nullopt;
    };
    struct Swatch {
        const char* caption;
        double y;
        const char* name;
        Ref<UIView>* view;
    };
    const Swatch swatches[] = {
        { "Background color:", 210, "bgColor", &m_bgColor },
        { "Field background color:", 270, "fieldBgColor", &m_fieldBgColor },
        { "Text color:", 330, "textColor", &m_textColor },
    };
    size_t index = 0;
    for (const auto& swatch : swatches) {
        auto caption = makeView<UILabel>(CGRectMake(20, swatch.y, 280, 20));
        caption->setText(swatch.caption);
        caption->setBackgroundColor(UIColor::clearColor());
        view()->addSubview(caption);
        auto colour = makeView<UIView>(CGRectMake(20, swatch.y + 30, 280, 20));
        colour->setName(swatch.name);
        auto shown = colorFromString(stored(index++));
        colour->setBackgroundColor(shown ? shown : UIColor::whiteColor());
        view()->addSubview(colour);
        *swatch.view = colour;
    }
}

void ThemeChoiceViewController::viewDidUnload()
{
    m_colorTableView = nullptr;
    m_bgColor = m_fieldBgColor = m_textColor = nullptr;
}

int64_t ThemeChoiceViewController::numberOfRows()
{
    foundation::NSLog("numberOfRowsInSection");
    return static_cast<int64_t>(m_combinations.size());
}

Id ThemeChoiceViewController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    foundation::NSLog("cellForRowAtIndexPath");
    auto table = runtime::cast<UITableView>(tableView);
    auto cell = table ? table->dequeueReusableCell(std::string(ThemeCellIdentifier)) : nullptr;
    if (!cell) {
        cell = UITableViewCell::withStyle(UITableViewCellStyleDefault, std::string(ThemeCellIdentifier));
        cell->setBackgroundColor(UIColor::grayColor());
        cell->textLabel()->setBackgroundColor(UIColor::clearColor());
        cell->textLabel()->setTextColor(UIColor::whiteColor());
        cell->textLabel()->setFont(UIFont::systemFontOfSize(14));
    }
    if (indexPath.row >= 0 && indexPath.row < static_cast<int64_t>(m_combinations.size())) {
        const auto& combination = m_combinations[static_cast<size_t>(indexPath.row)];
        cell->setName(rowName("skin-", combination.name));
        cell->textLabel()->setText(combination.name);
    }
    return cell;
}

void ThemeChoiceViewController::didSelectRow(const Id&, const NSIndexPath& indexPath)
{
    if (indexPath.row < 0 || indexPath.row >= static_cast<int64_t>(m_combinations.size()))
        return;
    const auto& combination = m_combinations[static_cast<size_t>(indexPath.row)];
    auto paint = [](const Ref<UIView>& swatch, const std::string& text) {
        if (swatch) {
            auto colour = colorFromString(text);
            swatch->setBackgroundColor(colour ? colour : UIColor::whiteColor());
        }
    };
    paint(m_bgColor, combination.bg);
    paint(m_fieldBgColor, combination.fieldbg);
    paint(m_textColor, combination.text);
}

void ThemeChoiceViewController::viewWillDisappear(bool)
{
    runtime::send(self(), "savePreferences");
}

void ThemeChoiceViewController::savePreferences()
{
    auto store = PreferencesDelegate::storeOf(delegate());
    auto selected = m_colorTableView ? m_colorTableView->indexPathForSelectedRow() : std::nullopt;
    if (store && selected && selected->row >= 0 && selected->row < static_cast<int64_t>(m_combinations.size()) && m_keys.size() >= 3) {
        const auto& combination = m_combinations[static_cast<size_t>(selected->row)];
        if (auto preferences = store->preferences()) {
            preferences->set(m_keys[0], foundation::PlistValue(combination.bg));
            preferences->set(m_keys[1], foundation::PlistValue(combination.fieldbg));
            preferences->set(m_keys[2], foundation::PlistValue(combination.text));
            store->writePreferences();
        }
    }
    postReloadNotification();
}

} // namespace plvsettings
