#include "ABPersonViewController.h"

#include "ABLabels.h"
#include "ABPeoplePickerNavigationController.h"

#include <uikit/UIScreen.h>

#include <algorithm>

namespace addressbook {

using runtime::Id;
using uikit::NSIndexPath;

namespace {

    constexpr const char* shouldPerformDefaultAction = "personViewController:shouldPerformDefaultActionForPerson:property:identifier:";

    ABMultiValueRef valuesOf(const ABRecordRef& person, ABPropertyID property)
    {
        if (property == kABPersonPhoneProperty)
            return ABRecordCopyValue(person, kABPersonPhoneProperty);
        if (property == kABPersonEmailProperty)
            return ABRecordCopyValue(person, kABPersonEmailProperty);
        return nullptr;
    }

    // A dialable text: the digits and the signs a dialler understands.
    std::string dialString(const std::string& number)
    {
        std::string result;
        for (char c : number) {
            if ((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#' || c == ',' || c == ';')
                result += c;
        }
        return result;
    }

} // namespace

void performPersonDefaultAction(const ABRecordRef& person, ABPropertyID property, ABMultiValueIdentifier identifier)
{
    auto values = valuesOf(person, property);
    auto value = ABMultiValueCopyValueAtIndex(values, ABMultiValueGetIndexForIdentifier(values, identifier));
    if (!value)
        return;
    std::string url = property == kABPersonPhoneProperty ? "tel:" + dialString(*value) : "mailto:" + *value;
    Id application = runtime::send<Id>(runtime::classNamed("UIApplication"), "sharedApplication");
    runtime::send<bool>(application, "openURL:", url);
}

void ABPersonViewController::registerMethods(runtime::ClassBuilder<ABPersonViewController>& b)
{
    b.method("displayedPerson", [](ABPersonViewController& self) -> Id { return self.displayedPerson(); });
    b.method("setDisplayedPerson:", [](ABPersonViewController& self, const Id& person) { self.setDisplayedPerson(runtime::cast<ABPerson>(person)); });
    b.method("displayedProperties", [](ABPersonViewController& self) -> std::vector<int64_t> { return self.displayedProperties(); });
    b.method("setDisplayedProperties:", [](ABPersonViewController& self, const std::vector<int64_t>& properties) { self.setDisplayedProperties(properties); });
    b.method<&ABPersonViewController::personViewDelegate>("personViewDelegate");
    b.method<&ABPersonViewController::setPersonViewDelegate>("setPersonViewDelegate:");
    b.method("numberOfSectionsInTableView:", [](ABPersonViewController& self, const Id&) -> int64_t { return self.numberOfSections(); });
    b.method("tableView:numberOfRowsInSection:", [](ABPersonViewController& self, const Id&, int64_t section) -> int64_t { return self.numberOfRows(section); });
    b.method<&ABPersonViewController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&ABPersonViewController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
}

void ABPersonViewController::setDisplayedPerson(ABRecordRef person)
{
    m_person = std::move(person);
    setTitle(m_person ? ABRecordCopyCompositeName(m_person).value_or("No Name") : std::string());
    navigationItem()->setTitle(title());
    rebuildRows();
}

void ABPersonViewController::setDisplayedProperties(std::vector<int64_t> properties)
{
    m_displayedProperties = std::move(properties);
    rebuildRows();
}

void ABPersonViewController::rebuildRows()
{
    m_sections.clear();
    for (ABPropertyID property : { ABPropertyID(kABPersonPhoneProperty), ABPropertyID(kABPersonEmailProperty) }) {
        if (std::ranges::find(m_displayedProperties, property) == m_displayedProperties.end())
            continue;
        auto values = valuesOf(m_person, property);
        std::vector<Row> rows;
        for (CFIndex i = 0; i < ABMultiValueGetCount(values); ++i) {
            if (ABMultiValueCopyValueAtIndex(values, i))
                rows.push_back({ property, i });
        }
        if (!rows.empty())
            m_sections.push_back(std::move(rows));
    }
    if (m_tableView)
        m_tableView->reloadData();
}

void ABPersonViewController::loadView()
{
    m_tableView = uikit::UITableView::withFrame(uikit::UIScreen::mainScreen()->applicationFrame(), uikit::UITableViewStyleGrouped);
    m_tableView->setDataSource(self());
    m_tableView->setDelegate(self());
    setView(m_tableView);
}

int64_t ABPersonViewController::numberOfRows(int64_t section) const
{
    if (section < 0 || section >= numberOfSections())
        return 0;
    return static_cast<int64_t>(m_sections[static_cast<size_t>(section)].size());
}

const ABPersonViewController::Row* ABPersonViewController::rowAt(const NSIndexPath& indexPath) const
{
    if (indexPath.row < 0 || indexPath.row >= numberOfRows(indexPath.section))
        return nullptr;
    return &m_sections[static_cast<size_t>(indexPath.section)][static_cast<size_t>(indexPath.row)];
}

Id ABPersonViewController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto table = runtime::cast<uikit::UITableView>(tableView);
    auto cell = table ? table->dequeueReusableCell(std::string(CellIdentifier)) : nullptr;
    if (!cell)
        cell = uikit::UITableViewCell::withStyle(uikit::UITableViewCellStyleValue2, std::string(CellIdentifier));
    std::string label;
    std::string value;
    if (const Row* row = rowAt(indexPath)) {
        auto values = valuesOf(m_person, row->property);
        label = ABAddressBookCopyLocalizedLabel(ABMultiValueCopyLabelAtIndex(values, row->index)).value_or("");
        value = ABMultiValueCopyValueAtIndex(values, row->index).value_or("");
    }
    cell->textLabel()->setText(label);
    if (auto detail = cell->detailTextLabel())
        detail->setText(value);
    return cell;
}

void ABPersonViewController::didSelectRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto keepAlive = selfAs<ABPersonViewController>();
    if (auto table = runtime::cast<uikit::UITableView>(tableView))
        table->deselectRow(indexPath, true);
    const Row* row = rowAt(indexPath);
    if (!row || !m_person)
        return;
    auto person = m_person;
    ABPropertyID property = row->property;
    auto identifier = ABMultiValueGetIdentifierAtIndex(valuesOf(person, property), row->index);
    if (auto picker = m_picker.lock()) {
        picker->didSelectValue(person, property, identifier);
        return;
    }
    Id delegate = personViewDelegate();
    bool perform = !runtime::respondsTo(delegate, shouldPerformDefaultAction)
        || runtime::send<bool>(delegate, shouldPerformDefaultAction, Id(keepAlive), Id(person), int64_t(property), int64_t(identifier));
    if (perform)
        performPersonDefaultAction(person, property, identifier);
}

} // namespace addressbook
