// The notification centre: a list, pulled down over the application in
// front, of the recent bulletins grouped by application (the application
// with the newest bulletin first). A tapped row makes SpringBoard's calls,
// each through the runtime and in this order: the row is selected
// (`tableView:didSelectRowAtIndexPath:`), the row's bulletin is fetched from
// its section (`bulletinAtIndex:`), the bulletin's action is asked for its
// launch URL, and the user agent is asked whether it may launch that URL and
// then to launch it. The shared instance exists once SpringBoard has
// finished launching.
#pragma once

#include "SBBulletinListSection.h"

#include <uikit/Geometry.h>
#include <uikit/UIKitTypes.h>
#include <uikit/UITableView.h>
#include <uikit/UIWindow.h>

#include <optional>

namespace springboard {

class SBBulletinListController : public runtime::Object {
    PLV_CLASS(SBBulletinListController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBBulletinListController>&);

    // Under the status bar and under the quick windows an extension opens.
    static constexpr uikit::UIWindowLevel WindowLevel = uikit::UIWindowLevelStatusBar - 2;

    // nil until SpringBoard has launched.
    static runtime::Ref<SBBulletinListController> sharedInstance();
    static runtime::Ref<SBBulletinListController> create();

    void addBulletin(const runtime::Ref<BBBulletin>&);
    const std::vector<runtime::Ref<SBBulletinListSection>>& sections() const { return m_sections; }
    // Every bulletin in the list, newest first.
    std::vector<runtime::Ref<BBBulletin>> bulletinsNewestFirst() const;
    // Where the n-th newest bulletin sits in the table.
    std::optional<uikit::NSIndexPath> indexPathOfNewest(size_t index) const;

    void showListView(bool animated);
    void hideListView(bool animated);
    bool listViewIsActive() const { return m_window && !m_window->isHidden(); }
    runtime::Ref<uikit::UITableView> tableView() const { return m_tableView; }
    runtime::Ref<uikit::UIWindow> window() const { return m_window; }

    // The table's delegate and data source.
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    int64_t numberOfSections(const runtime::Id& tableView) const;
    int64_t numberOfRows(const runtime::Id& tableView, int64_t section) const;
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    std::string titleForHeader(const runtime::Id& tableView, int64_t section) const;

private:
    runtime::Ref<SBBulletinListSection> sectionAt(int64_t index) const;

    std::vector<runtime::Ref<SBBulletinListSection>> m_sections;
    runtime::Ref<uikit::UIWindow> m_window;
    runtime::Ref<uikit::UITableView> m_tableView;
};

} // namespace springboard
