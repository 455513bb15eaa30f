#include "FavoritesViewController.h"

#include "PLVSettings.h"

#include <addressbook/ABPerson.h>
#include <foundation/SystemLog.h>
#include <uikit/UIActionSheet.h>
#include <uikit/UIAlertView.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>

namespace plvsettings {

using runtime::Id;
using namespace uikit;

void FavoritesViewController::registerMethods(runtime::ClassBuilder<FavoritesViewController>& b)
{
    b.method<&FavoritesViewController::initWithNibName>("initWithNibName:bundle:");
    b.method<&FavoritesViewController::delegate>("delegate");
    b.method<&FavoritesViewController::setDelegate>("setDelegate:");
    b.method("tableView:numberOfRowsInSection:", [](FavoritesViewController& self, const Id&, int64_t) -> int64_t { return self.numberOfRows(); });
    b.method<&FavoritesViewController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&FavoritesViewController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
    b.method<&FavoritesViewController::commitEditingStyle>("tableView:commitEditingStyle:forRowAtIndexPath:");
    b.method<&FavoritesViewController::openAddressBook>("openAddressBook:");
    b.method<&FavoritesViewController::shouldContinueAfterSelectingPerson>("peoplePickerNavigationController:shouldContinueAfterSelectingPerson:");
    b.method("peoplePickerNavigationController:shouldContinueAfterSelectingPerson:property:identifier:",
        [](FavoritesViewController&, const Id&, const Id&, int64_t, int64_t) -> bool { return false; });
    b.method("peoplePickerNavigationControllerDidCancel:", [](FavoritesViewController& self, const Id&) {
        runtime::send(self.self(), "dismissModalViewControllerAnimated:", true);
    });
    b.method<&FavoritesViewController::addSelectedPersonToFavorites>("addSelectedPersonToFavorites:");
    b.method<&FavoritesViewController::chooseAnumber>("chooseAnumber:forThisPerson:");
    b.method<&FavoritesViewController::actionSheetClicked>("actionSheet:clickedButtonAtIndex:");
    b.method<&FavoritesViewController::alertClicked>("alertView:clickedButtonAtIndex:");
    b.method<&FavoritesViewController::saveFavorites>("saveFavorites");
    b.method<&FavoritesViewController::dismiss>("dismiss");
}

Id FavoritesViewController::initWithNibName(const std::string& nibName, const Id& bundle)
{
    UIViewController::initWithNibName(nibName, bundle);
    m_navBar = makeView<UINavigationBar>(CGRectMake(0, 0, 320, 44));
    m_navBar->setName("favoritesNavigationBar");
    m_favorites = loadFavorites();
    return self();
}

void FavoritesViewController::viewDidLoad()
{
    auto item = navigationItem();
    item->setTitle("Favorites");
    auto done = UIBarButtonItem::withSystemItem(UIBarButtonSystemItemDone, self(), "dismiss");
    done->setAccessibilityIdentifier("doneButton");
    item->setLeftBarButtonItem(done);
    auto add = UIBarButtonItem::withSystemItem(UIBarButtonSystemItemAdd, self(), "openAddressBook:");
    add->setAccessibilityIdentifier("addButton");
    item->setRightBarButtonItem(add);
    if (!m_navBar)
        m_navBar = makeView<UINavigationBar>(CGRectMake(0, 0, 320, 44));
    m_navBar->setItems({ item });

    m_favoritesTable = UITableView::withFrame(CGRectMake(0, 44, 320, 416), UITableViewStylePlain);
    m_favoritesTable->setName("favoritesTable");
    m_favoritesTable->setDelegate(self());
    m_favoritesTable->setDataSource(self());
    view()->setBackgroundColor(UIColor::whiteColor());
    view()->addSubview(m_navBar);
    view()->addSubview(m_favoritesTable);
    m_favoritesTable->reloadData();
}

Id FavoritesViewController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto table = runtime::cast<UITableView>(tableView);
    auto cell = table ? table->dequeueReusableCell(std::string(CellIdentifier)) : nullptr;
    if (!cell) {
        cell = UITableViewCell::withStyle(UITableViewCellStyleSubtitle, std::string(CellIdentifier));
        cell->textLabel()->setTextColor(UIColor::blackColor());
        cell->textLabel()->setFont(UIFont::boldSystemFontOfSize(14));
        cell->textLabel()->setBackgroundColor(UIColor::clearColor());
        cell->detailTextLabel()->setTextColor(UIColor::blackColor());
        cell->detailTextLabel()->setFont(UIFont::systemFontOfSize(12));
        cell->detailTextLabel()->setBackgroundColor(UIColor::clearColor());
    }
    if (indexPath.row >= 0 && indexPath.row < numberOfRows()) {
        const auto& entry = m_favorites[static_cast<size_t>(indexPath.row)];
        cell->setName("favorite-" + std::to_string(indexPath.row));
        cell->textLabel()->setText(entry.name);
        cell->detailTextLabel()->setText(entry.number);
    }
    return cell;
}

void FavoritesViewController::didSelectRow(const Id& tableView, const NSIndexPath&)
{
    auto table = runtime::cast<UITableView>(tableView);
    if (table && !table->isEditing())
        table->setEditing(true, true);
}

void FavoritesViewController::commitEditingStyle(const Id& tableView, int64_t style, const NSIndexPath& indexPath)
{
    if (style != UITableViewCellEditingStyleDelete || indexPath.row < 0 || indexPath.row >= numberOfRows())
        return;
    m_favorites.erase(m_favorites.begin() + indexPath.row);
    if (auto table = runtime::cast<UITableView>(tableView)) {
        table->reloadData();
        table->setEditing(false, true);
    }
}

void FavoritesViewController::openAddressBook(const Id&)
{
    runtime::Class* pickerClass = runtime::classNamed("ABPeoplePickerNavigationController");
    if (!pickerClass)
        return;
    Id picker = runtime::send<Id>(runtime::send<Id>(pickerClass, "alloc"), "init");
    runtime::send(picker, "setPeoplePickerDelegate:", self());
    runtime::send(picker, "setModalTransitionStyle:", int64_t(UIModalTransitionStyleCoverVertical));
    runtime::send(self(), "presentModalViewController:animated:", picker, true);
}

bool FavoritesViewController::shouldContinueAfterSelectingPerson(const Id&, const Id& person)
{
    auto keepAlive = self();
    runtime::send(self(), "addSelectedPersonToFavorites:", person);
    runtime::send(self(), "dismissModalViewControllerAnimated:", true);
    return false;
}

void FavoritesViewController::addSelectedPersonToFavorites(const Id& person)
{
    auto record = runtime::cast<addressbook::ABPerson>(person);
    if (!record)
        return;
    std::string name = favoriteDisplayName(addressbook::ABRecordCopyValue(record, addressbook::kABPersonFirstNameProperty),
        addressbook::ABRecordCopyValue(record, addressbook::kABPersonLastNameProperty));
    auto phones = addressbook::ABRecordCopyValue(record, addressbook::kABPersonPhoneProperty);
    std::vector<std::string> numbers;
    for (addressbook::CFIndex index = 0; index < addressbook::ABMultiValueGetCount(phones); ++index) {
        if (auto number = addressbook::ABMultiValueCopyValueAtIndex(phones, index))
            numbers.push_back(*number);
    }
    if (numbers.empty())
        return;
    runtime::send(self(), "chooseAnumber:forThisPerson:", numbers, name);
}

void FavoritesViewController::chooseAnumber(const std::vector<std::string>& numbers, const std::string& displayName)
{
    Id sheet = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIActionSheet"), "alloc"),
        "initWithTitle:delegate:cancelButtonTitle:destructiveButtonTitle:otherButtonTitles:", displayName, self(), std::string(), std::string(), numbers);
    int64_t cancel = runtime::send<int64_t>(sheet, "addButtonWithTitle:", std::string("Cancel"));
    runtime::send(sheet, "setCancelButtonIndex:", cancel);
    m_sheet = sheet;
    runtime::send(sheet, "showInView:", Id(view()));
}

void FavoritesViewController::actionSheetClicked(const Id& sheet, int64_t index)
{
    // The cancel button is known by its place, so a number stored as the
    // text "Cancel" can still be chosen.
    if (index == runtime::send<int64_t>(sheet, "cancelButtonIndex") || index < 0)
        return;
    std::string number = runtime::send<std::string>(sheet, "buttonTitleAtIndex:", index);
    std::string name = runtime::send<std::string>(sheet, "title");
    m_favorites.push_back({ name, number });
    if (m_favoritesTable)
        m_favoritesTable->reloadData();
}

std::vector<FavoriteEntry> FavoritesViewController::loadFavorites()
{
    auto loaded = readFavoritesFile();
    m_fileUnreadable = loaded.unreadable;
    foundation::NSLog("caricati {} preferiti", loaded.entries.size());
    return std::move(loaded.entries);
}

bool FavoritesViewController::saveFavorites()
{
    foundation::NSLog("{} preferiti da salvare", m_favorites.size());
    bool saved = writeFavoritesFile(m_favorites, m_fileUnreadable);
    foundation::NSLog("preferiti salvati: {}", saved ? "YES" : "NO");
    return saved;
}

void FavoritesViewController::dismiss()
{
    if (saveFavorites()) {
        close();
        return;
    }
    // The changes stay in the editor until they are saved or given up.
    Id alert = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIAlertView"), "alloc"), "initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:",
        std::string(SaveFailedTitle), std::string("The favorites could not be written. Press Done to try again, or discard the changes."), self(),
        std::string(KeepEditingTitle), std::vector<std::string> { std::string(DiscardTitle) });
    runtime::send(alert, "show");
}

void FavoritesViewController::alertClicked(const Id& alert, int64_t index)
{
    if (index != runtime::send<int64_t>(alert, "cancelButtonIndex"))
        close();
}

void FavoritesViewController::close()
{
    runtime::send(self(), "dismissModalViewControllerAnimated:", true);
}

} // namespace plvsettings
