// The list of bulletins on the lock screen, newest first, one list item per
// bulletin. SpringBoard allocates a new list each time the lock screen
// appears and sends it `init` through the runtime. An item is found by a
// bulletin's id (`_listItemContainingBulletinID:`) and hands the bulletin
// out again (`bulletinWithID:`); both answer nil for an unknown id. The list
// also feeds the lock screen's table with SBAwayBulletinCell rows.
#pragma once

#include "BBBulletin.h"

#include <uikit/Geometry.h>

#include <vector>

namespace springboard {

class SBAwayBulletinListItem : public runtime::Object {
    PLV_CLASS(SBAwayBulletinListItem, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBAwayBulletinListItem>&);

    static runtime::Ref<SBAwayBulletinListItem> withBulletin(runtime::Ref<BBBulletin>);

    runtime::Ref<BBBulletin> bulletin() const { return m_bulletin; }
    runtime::Id bulletinWithID(const std::string& bulletinID) const;

private:
    runtime::Ref<BBBulletin> m_bulletin;
};

class SBAwayBulletinListController : public runtime::Object {
    PLV_CLASS(SBAwayBulletinListController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBAwayBulletinListController>&);

    runtime::Id init() { return self(); }

    void addBulletin(const runtime::Ref<BBBulletin>&);
    runtime::Id listItemContainingBulletinID(const std::string& bulletinID) const;
    std::vector<runtime::Ref<BBBulletin>> bulletins() const;

    // The lock screen table's data source.
    int64_t numberOfRows(const runtime::Id& tableView, int64_t section) const;
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);

private:
    std::vector<runtime::Ref<SBAwayBulletinListItem>> m_items;
};

} // namespace springboard
