#include "SBAwayBulletinListController.h"

#include "SBAwayBulletinCell.h"

#include <uikit/UITableView.h>

#include <algorithm>

namespace springboard {

using runtime::Id;

void SBAwayBulletinListItem::registerMethods(runtime::ClassBuilder<SBAwayBulletinListItem>& b)
{
    b.method<&SBAwayBulletinListItem::bulletinWithID>("bulletinWithID:");
    b.method("activeBulletin", [](SBAwayBulletinListItem& self) -> Id { return self.bulletin(); });
}

runtime::Ref<SBAwayBulletinListItem> SBAwayBulletinListItem::withBulletin(runtime::Ref<BBBulletin> bulletin)
{
    auto item = runtime::make<SBAwayBulletinListItem>();
    item->m_bulletin = std::move(bulletin);
    return item;
}

Id SBAwayBulletinListItem::bulletinWithID(const std::string& bulletinID) const
{
    if (m_bulletin && !bulletinID.empty() && m_bulletin->bulletinID() == bulletinID)
        return m_bulletin;
    return runtime::nil;
}

void SBAwayBulletinListController::registerMethods(runtime::ClassBuilder<SBAwayBulletinListController>& b)
{
    b.method<&SBAwayBulletinListController::init>("init");
    b.method<&SBAwayBulletinListController::listItemContainingBulletinID>("_listItemContainingBulletinID:");
    b.method<&SBAwayBulletinListController::numberOfRows>("tableView:numberOfRowsInSection:");
    b.method<&SBAwayBulletinListController::cellForRow>("tableView:cellForRowAtIndexPath:");
}

void SBAwayBulletinListController::addBulletin(const runtime::Ref<BBBulletin>& bulletin)
{
    if (bulletin)
        m_items.insert(m_items.begin(), SBAwayBulletinListItem::withBulletin(bulletin));
}

Id SBAwayBulletinListController::listItemContainingBulletinID(const std::string& bulletinID) const
{
    auto found = std::find_if(m_items.begin(), m_items.end(), [&](auto& item) { return item->bulletinWithID(bulletinID) != nullptr; });
    return found == m_items.end() ? runtime::nil : Id(*found);
}

std::vector<runtime::Ref<BBBulletin>> SBAwayBulletinListController::bulletins() const
{
    std::vector<runtime::Ref<BBBulletin>> all;
    for (auto& item : m_items)
        all.push_back(item->bulletin());
    return all;
}

int64_t SBAwayBulletinListController::numberOfRows(const Id&, int64_t section) const
{
    return section == 0 ? static_cast<int64_t>(m_items.size()) : 0;
}

Id SBAwayBulletinListController::cellForRow(const Id& tableView, const uikit::NSIndexPath& indexPath)
{
    auto table = runtime::cast<uikit::UITableView>(tableView);
    if (!table || indexPath.section != 0 || indexPath.row < 0 || indexPath.row >= static_cast<int64_t>(m_items.size()))
        return runtime::nil;
    static const std::string identifier = "AwayBulletinCell";
    auto cell = runtime::cast<SBAwayBulletinCell>(table->dequeueReusableCell(identifier));
    if (!cell)
        cell = SBAwayBulletinCell::withReuseIdentifier(identifier);
    cell->setName("lockBulletin-" + std::to_string(indexPath.row));
    cell->setBulletin(m_items[static_cast<size_t>(indexPath.row)]->bulletin());
    return cell;
}

} // namespace springboard
