// The favourites editor, presented modally from the root table: its own
// navigation bar ("Favorites", Done on the left, Add on the right) over a
// plain table of the favourites, name above number. Add opens the people
// picker; the chosen person's phone numbers are offered in an action sheet
// (title: the person's display name, last button "Cancel"), and the number
// picked is appended. Tapping a row puts the table into editing mode, where
// a row can be deleted. Done writes the whole list to the favourites file
// and closes the editor; when the file cannot be written the editor stays
// open with the changes and an alert offers to keep editing (Done retries)
// or to discard them.
//
// Snapshot names: "favoritesNavigationBar", "doneButton", "addButton",
// "favoritesTable", rows "favorite-<index>"; the number sheet's buttons and
// the alert's are the platform's ("actionSheetButton<i>", "alertButton<i>").
#pragma once

#include "FavoritesFile.h"

#include <uikit/UINavigationBar.h>
#include <uikit/UITableView.h>
#include <uikit/UIViewController.h>

#include <string>
#include <vector>

namespace plvsettings {

class FavoritesViewController : public uikit::UIViewController {
    PLV_CLASS(FavoritesViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<FavoritesViewController>&);

    static constexpr std::string_view SaveFailedTitle = "Favorites not saved";
    static constexpr std::string_view KeepEditingTitle = "Keep editing";
    static constexpr std::string_view DiscardTitle = "Discard changes";

    runtime::Id initWithNibName(const std::string& nibName, const runtime::Id& bundle);
    void viewDidLoad() override;
    bool shouldAutorotateToInterfaceOrientation(int64_t orientation) override { return orientation == uikit::UIInterfaceOrientationPortrait; }

    const std::vector<FavoriteEntry>& favorites() const { return m_favorites; }
    const runtime::Ref<uikit::UINavigationBar>& navBar() const { return m_navBar; }
    const runtime::Ref<uikit::UITableView>& favoritesTable() const { return m_favoritesTable; }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    int64_t numberOfRows() const { return static_cast<int64_t>(m_favorites.size()); }
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void commitEditingStyle(const runtime::Id& tableView, int64_t style, const uikit::NSIndexPath&);

    void openAddressBook(const runtime::Id& sender);
    bool shouldContinueAfterSelectingPerson(const runtime::Id& picker, const runtime::Id& person);
    void addSelectedPersonToFavorites(const runtime::Id& person);
    void chooseAnumber(const std::vector<std::string>& numbers, const std::string& displayName);
    void actionSheetClicked(const runtime::Id& sheet, int64_t index);

    std::vector<FavoriteEntry> loadFavorites();
    // Answers whether the file was written.
    bool saveFavorites();
    // Done: save, then close; on failure stay open and ask.
    void dismiss();
    void alertClicked(const runtime::Id& alert, int64_t index);

private:
    void close();

    std::vector<FavoriteEntry> m_favorites;
    bool m_fileUnreadable { false };
    runtime::Ref<uikit::UINavigationBar> m_navBar;
    runtime::Ref<uikit::UITableView> m_favoritesTable;
    runtime::WeakId m_delegate;
    runtime::Id m_sheet;
};

} // namespace plvsettings
