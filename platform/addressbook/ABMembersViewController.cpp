#include "ABMembersViewController.h"

#include "ABPeoplePickerNavigationController.h"

#include <uikit/UIScreen.h>

namespace addressbook {

using runtime::Id;
using uikit::NSIndexPath;

void ABMembersViewController::registerMethods(runtime::ClassBuilder<ABMembersViewController>& b)
{
    b.method("numberOfSectionsInTableView:", [](ABMembersViewController& self, const Id&) -> int64_t { return self.numberOfSections(); });
    b.method("tableView:numberOfRowsInSection:", [](ABMembersViewController& self, const Id&, int64_t section) -> int64_t { return self.numberOfRows(section); });
    b.method("tableView:titleForHeaderInSection:", [](ABMembersViewController& self, const Id&, int64_t section) -> std::string { return self.titleForHeader(section); });
    b.method<&ABMembersViewController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&ABMembersViewController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
}

void ABMembersViewController::loadView()
{
    m_tableView = uikit::UITableView::withFrame(uikit::UIScreen::mainScreen()->applicationFrame(), uikit::UITableViewStylePlain);
    m_tableView->setDataSource(self());
    m_tableView->setDelegate(self());
    setView(m_tableView);
}

void ABMembersViewController::viewDidLoad() { reloadPeople(); }

void ABMembersViewController::reloadPeople()
{
    auto picker = m_picker.lock();
    m_sections = indexPeople(ABAddressBookCopyArrayOfAllPeople(picker ? picker->addressBook() : nullptr));
    if (m_tableView)
        m_tableView->reloadData();
}

int64_t ABMembersViewController::numberOfRows(int64_t section) const
{
    if (section < 0 || section >= numberOfSections())
        return 0;
    return static_cast<int64_t>(m_sections[static_cast<size_t>(section)].people.size());
}

std::string ABMembersViewController::titleForHeader(int64_t section) const
{
    if (section < 0 || section >= numberOfSections())
        return {};
    return m_sections[static_cast<size_t>(section)].title;
}

ABRecordRef ABMembersViewController::personAt(const NSIndexPath& indexPath) const
{
    if (indexPath.row < 0 || indexPath.row >= numberOfRows(indexPath.section))
        return nullptr;
    return m_sections[static_cast<size_t>(indexPath.section)].people[static_cast<size_t>(indexPath.row)];
}

Id ABMembersViewController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto table = runtime::cast<uikit::UITableView>(tableView);
    auto cell = table ? table->dequeueReusableCell(std::string(CellIdentifier)) : nullptr;
    if (!cell)
        cell = uikit::UITableViewCell::withStyle(uikit::UITableViewCellStyleDefault, std::string(CellIdentifier));
    auto person = personAt(indexPath);
    cell->textLabel()->setText(person ? pickerDisplayName(person) : std::string());
    return cell;
}

void ABMembersViewController::didSelectRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto keepAlive = selfAs<ABMembersViewController>();
    if (auto table = runtime::cast<uikit::UITableView>(tableView))
        table->deselectRow(indexPath, true);
    auto person = personAt(indexPath);
    if (auto picker = m_picker.lock(); picker && person)
        picker->didSelectPerson(person);
}

} // namespace addressbook
