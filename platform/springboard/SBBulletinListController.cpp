#include "SBBulletinListController.h"

#include "InterfaceOrientation.h"
#include "SBApplication.h"
#include "SBApplicationController.h"
#include "SBUserAgent.h"
#include "SpringBoardContext.h"

#include <uikit/UIColor.h>
#include <uikit/UITableViewCell.h>

#include <algorithm>

namespace springboard {

using namespace uikit;
using runtime::Id;

void SBBulletinListController::registerMethods(runtime::ClassBuilder<SBBulletinListController>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> Id { return sharedInstance(); });
    b.method<&SBBulletinListController::showListView>("showListViewAnimated:");
    b.method<&SBBulletinListController::hideListView>("hideListViewAnimated:");
    b.method<&SBBulletinListController::listViewIsActive>("listViewIsActive");
    b.method<&SBBulletinListController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
    b.method<&SBBulletinListController::numberOfSections>("numberOfSectionsInTableView:");
    b.method<&SBBulletinListController::numberOfRows>("tableView:numberOfRowsInSection:");
    b.method<&SBBulletinListController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&SBBulletinListController::titleForHeader>("tableView:titleForHeaderInSection:");
}

runtime::Ref<SBBulletinListController> SBBulletinListController::sharedInstance()
{
    return springBoardContext().listController;
}

runtime::Ref<SBBulletinListController> SBBulletinListController::create()
{
    return runtime::make<SBBulletinListController>();
}

void SBBulletinListController::addBulletin(const runtime::Ref<BBBulletin>& bulletin)
{
    if (!bulletin)
        return;
    auto found = std::find_if(m_sections.begin(), m_sections.end(), [&](auto& section) { return section->sectionID() == bulletin->sectionID(); });
    runtime::Ref<SBBulletinListSection> section;
    if (found != m_sections.end()) {
        section = *found;
        m_sections.erase(found);
    } else {
        std::string name = bulletin->sectionID();
        if (auto application = SBApplicationController::sharedInstance()->applicationWithDisplayIdentifier(bulletin->sectionID()))
            name = application->displayName();
        section = SBBulletinListSection::withSectionID(bulletin->sectionID(), name);
    }
    section->addBulletin(bulletin);
    m_sections.insert(m_sections.begin(), section);
    if (m_tableView)
        m_tableView->reloadData();
}

std::vector<runtime::Ref<BBBulletin>> SBBulletinListController::bulletinsNewestFirst() const
{
    std::vector<runtime::Ref<BBBulletin>> all;
    for (auto& section : m_sections)
        all.insert(all.end(), section->bulletins().begin(), section->bulletins().end());
    std::stable_sort(all.begin(), all.end(), [](auto& a, auto& b) { return a->sequence() > b->sequence(); });
    return all;
}

std::optional<NSIndexPath> SBBulletinListController::indexPathOfNewest(size_t index) const
{
    auto all = bulletinsNewestFirst();
    if (index >= all.size())
        return std::nullopt;
    for (size_t s = 0; s < m_sections.size(); ++s) {
        auto& bulletins = m_sections[s]->bulletins();
        auto found = std::find(bulletins.begin(), bulletins.end(), all[index]);
        if (found != bulletins.end())
            return NSIndexPathMake(static_cast<int64_t>(s), found - bulletins.begin());
    }
    return std::nullopt;
}

void SBBulletinListController::showListView(bool)
{
    auto& context = springBoardContext();
    int64_t orientation = context.interfaceOrientation;
    CGSize size = interfaceSize(orientation);
    if (!m_window) {
        m_window = runtime::make<UIWindow>();
        m_window->setName("notificationCenter");
        m_window->setWindowLevel(WindowLevel);
        m_window->setBackgroundColor(UIColor::colorWithWhite(0.12, 0.96));
        m_tableView = UITableView::withFrame(CGRectMake(0, 0, size.width, size.height - 20), UITableViewStylePlain);
        m_tableView->setName("bulletinList");
        m_tableView->setBackgroundColor(UIColor::clearColor());
        m_tableView->setRowHeight(52);
        m_tableView->setDataSource(self());
        m_tableView->setDelegate(self());
        m_window->addSubview(m_tableView);
    }
    placeWindow(*m_window, orientation, CGRectMake(0, 20, size.width, size.height - 20));
    m_tableView->setFrame(CGRectMake(0, 0, size.width, size.height - 20));
    m_tableView->reloadData();
    m_window->setHidden(false);
}

void SBBulletinListController::hideListView(bool)
{
    if (m_window)
        m_window->setHidden(true);
}

runtime::Ref<SBBulletinListSection> SBBulletinListController::sectionAt(int64_t index) const
{
    if (index < 0 || index >= static_cast<int64_t>(m_sections.size()))
        return nullptr;
    return m_sections[static_cast<size_t>(index)];
}

void SBBulletinListController::didSelectRow(const Id& tableView, const NSIndexPath& indexPath)
{
    if (auto table = runtime::cast<UITableView>(tableView))
        table->deselectRow(indexPath, true);
    auto section = sectionAt(indexPath.section);
    if (!section)
        return;
    Id bulletin = runtime::send<Id>(section, "bulletinAtIndex:", indexPath.row);
    if (!bulletin)
        return;
    Id action = runtime::send<Id>(bulletin, "defaultAction");
    std::string url = action ? runtime::send<std::string>(action, "launchURL") : std::string();
    std::string bundleID = action ? runtime::send<std::string>(action, "bundleID") : std::string();
    if (bundleID.empty())
        bundleID = section->sectionID();
    Id agent = SBUserAgent::sharedUserAgent();
    if (!runtime::send<bool>(agent, "canLaunchFromBulletinWithURL:bundleID:", url, bundleID))
        return;
    runtime::send<bool>(agent, "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", url, bundleID, false, true,
        int64_t { LaunchOriginNotificationCenter });
}

int64_t SBBulletinListController::numberOfSections(const Id&) const
{
    return static_cast<int64_t>(m_sections.size());
}

int64_t SBBulletinListController::numberOfRows(const Id&, int64_t section) const
{
    auto found = sectionAt(section);
    return found ? found->bulletinCount() : 0;
}

Id SBBulletinListController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto table = runtime::cast<UITableView>(tableView);
    auto section = sectionAt(indexPath.section);
    auto bulletin = section ? runtime::cast<BBBulletin>(section->bulletinAtIndex(indexPath.row)) : nullptr;
    if (!table || !bulletin)
        return runtime::nil;
    static const std::string identifier = "BulletinCell";
    auto cell = table->dequeueReusableCell(identifier);
    if (!cell)
        cell = UITableViewCell::withStyle(UITableViewCellStyleSubtitle, identifier);
    cell->setName("bulletin-" + std::to_string(indexPath.section) + "-" + std::to_string(indexPath.row));
    cell->textLabel()->setText(bulletin->title());
    if (auto detail = cell->detailTextLabel())
        detail->setText(bulletin->message());
    return cell;
}

std::string SBBulletinListController::titleForHeader(const Id&, int64_t section) const
{
    auto found = sectionAt(section);
    return found ? found->displayName() : std::string();
}

} // namespace springboard
