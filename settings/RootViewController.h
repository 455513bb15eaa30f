// The root screen of PLVSettings: one grouped table under the navigation bar
// with the general switches and the two commands (bug report, favourites),
// the two skin choosers and the colour rows of both windows. It owns the
// application's preference store (settings variant, "PLV"): a switch change
// is written at once and announced with "it.kelvane.PLV.reloadPrefs"; the
// editors it opens reach the store through it (PreferencesDelegate).
//
// Snapshot names: the table "settingsTable", each cell "row-<key>" (the
// command rows "row-bug", "row-favorites"), each switch "switch-<key>".
#pragma once

#include "PreferencesDelegate.h"
#include "RootRows.h"

#include <uikit/UISwitch.h>
#include <uikit/UITableView.h>
#include <uikit/UIViewController.h>

#include <string>

namespace plvsettings {

class RootViewController : public uikit::UIViewController, public PreferencesDelegate {
    PLV_CLASS(RootViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<RootViewController>&);

    static constexpr std::string_view MailSubject = "PLV Bug report";
    static constexpr std::string_view LogAttachmentName = "PLV.log";

    std::shared_ptr<kelvane::KelvanePreferenceManager> prefsManager() const override { return m_prefsManager; }
    const RootRows& rows() const { return m_rows; }
    const runtime::Ref<uikit::UITableView>& theTableView() const { return m_theTableView; }
    const std::string& toAddress() const { return m_toAddress; }
    runtime::Ref<uikit::UISwitch> ncqr() const { return m_ncqr; }
    runtime::Ref<uikit::UISwitch> lsqr() const { return m_lsqr; }
    runtime::Ref<uikit::UISwitch> eic() const { return m_eic; }

    void loadView() override;

    int64_t numberOfRows(int64_t section) const;
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void switchChanged(const runtime::Id& sender);

    // The bug-report mail through the system's mail composer.
    void composeBugReport();
    void mailComposeFinished(const runtime::Id& composer, int64_t result, const runtime::Id& error);

private:
    void configureSwitch(uikit::UITableViewCell&, const RowDescription&, int64_t row);
    runtime::Ref<uikit::UISwitch>* switchReference(int64_t row);
    void pushEditor(const runtime::Id& editor);
    void tellUser(const std::string& title, const std::string& message);

    std::shared_ptr<kelvane::KelvanePreferenceManager> m_prefsManager;
    RootRows m_rows;
    runtime::Ref<uikit::UITableView> m_theTableView;
    std::string m_toAddress;
    runtime::Ref<uikit::UISwitch> m_ncqr;
    runtime::Ref<uikit::UISwitch> m_lsqr;
    runtime::Ref<uikit::UISwitch> m_eic;
};

} // namespace plvsettings
