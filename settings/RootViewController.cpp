#include "RootViewController.h"

#include "BugReport.h"
#include "ColorChoiceViewController.h"
#include "FavoritesViewController.h"
#include "PLVSettings.h"
#include "ThemeChoiceViewController.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/DevicePath.h>
#include <foundation/NotificationCenter.h>
#include <uikit/UIAlertView.h>
#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UINavigationBar.h>
#include <uikit/UINavigationController.h>
#include <uikit/UIScreen.h>

namespace plvsettings {

using runtime::Id;
using runtime::Ref;
using namespace uikit;
using kelvane::KelvanePreferenceManager;

namespace {

    // MFMailComposeResultFailed.
    constexpr int64_t MailResultFailed = 3;

    Id makeByName(const char* className)
    {
        runtime::Class* cls = runtime::classNamed(className);
        if (!cls)
            return runtime::nil;
        return runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init");
    }

} // namespace

void postReloadNotification()
{
    notify_post(std::string(kelvane::PLVReloadNotification).c_str());
}

void RootViewController::registerMethods(runtime::ClassBuilder<RootViewController>& b)
{
    b.method("numberOfSectionsInTableView:", [](RootViewController&, const Id&) -> int64_t { return RootSectionCount; });
    b.method("tableView:titleForHeaderInSection:", [](RootViewController&, const Id&, int64_t section) -> std::string { return headerTitle(section); });
    b.method("tableView:numberOfRowsInSection:", [](RootViewController& self, const Id&, int64_t section) -> int64_t { return self.numberOfRows(section); });
    b.method<&RootViewController::cellForRow>("tableView:cellForRowAtIndexPath:");
    b.method<&RootViewController::didSelectRow>("tableView:didSelectRowAtIndexPath:");
    b.method<&RootViewController::switchChanged>("switchChanged:");
    b.method<&RootViewController::mailComposeFinished>("mailComposeController:didFinishWithResult:error:");
}

void RootViewController::loadView()
{
    // The application creates the folder; the store never does.
    if (!foundation::deviceDirectoryExists("/var/mobile/Library/PLV"))
        foundation::createDeviceDirectory("/var/mobile/Library/PLV", foundation::Intermediates::No);

    m_prefsManager = std::make_shared<KelvanePreferenceManager>(KelvanePreferenceManager::Variant::Settings);
    m_prefsManager->setAppName(kelvane::PLVApplicationName);
    m_prefsManager->reloadPreferences();

    m_toAddress = std::string(SupportAddress);

    auto view = makeView<UIView>(UIScreen::mainScreen()->applicationFrame());
    view->setBackgroundColor(UIColor::underPageBackgroundColor());
    setView(view);
    setTitle("PLV");
    if (auto navigation = navigationController())
        navigation->navigationBar()->setTintColor(UIColor::colorWithRed(0, 0.3, 0.8, 0.5));

    m_rows = RootRows::make();

    m_theTableView = UITableView::withFrame(CGRectMake(0, 0, 320, 416), UITableViewStyleGrouped);
    m_theTableView->setName("settingsTable");
    m_theTableView->setBackgroundColor(UIColor::clearColor());
    m_theTableView->setDelegate(self());
    m_theTableView->setDataSource(self());
    view->addSubview(m_theTableView);
}

int64_t RootViewController::numberOfRows(int64_t section) const
{
    auto* list = m_rows.section(section);
    return list ? static_cast<int64_t>(list->size()) : 0;
}

Id RootViewController::cellForRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto table = runtime::cast<UITableView>(tableView);
    auto cell = table ? table->dequeueReusableCell(std::string(CellIdentifier)) : nullptr;
    if (!cell) {
        cell = UITableViewCell::withStyle(UITableViewCellStyleSubtitle, std::string(CellIdentifier));
        cell->setBackgroundColor(UIColor::grayColor());
        cell->textLabel()->setBackgroundColor(UIColor::clearColor());
        cell->textLabel()->setTextColor(UIColor::whiteColor());
        cell->textLabel()->setFont(UIFont::systemFontOfSize(14));
        cell->detailTextLabel()->setBackgroundColor(UIColor::clearColor());
        cell->detailTextLabel()->setTextColor(UIColor::whiteColor());
        cell->detailTextLabel()->setFont(UIFont::systemFontOfSize(10));
        cell->setSelectionStyle(UITableViewCellSelectionStyleBlue);
        cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    }
    const RowDescription* row = m_rows.row(indexPath.section, indexPath.row);
    if (!row)
        return cell;
    cell->setName(cellName(*row));
    cell->textLabel()->setText(row->label);
    cell->detailTextLabel()->setText(row->subtitle.value_or(""));

    if (row->type == RowType::Switch) {
        configureSwitch(*cell, *row, indexPath.row);
    } else {
        // A cell that showed a switch before it was reused shows the indicator again.
        if (runtime::cast<UISwitch>(cell->accessoryView()))
            cell->setAccessoryView(nullptr);
        cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    }
    return cell;
}

Ref<UISwitch>* RootViewController::switchReference(int64_t row)
{
    switch (row) {
    case 0:
        return &m_ncqr;
    case 1:
        return &m_lsqr;
    case 4:
        return &m_eic;
    default:
        return nullptr;
    }
}

void RootViewController::configureSwitch(UITableViewCell& cell, const RowDescription& row, int64_t rowIndex)
{
    auto preferences = m_prefsManager ? m_prefsManager->preferences() : nullptr;
    const foundation::PlistValue* stored = preferences ? preferences->find(row.key) : nullptr;
    std::string value;
    if (stored) {
        // Only the text "1" is on; a number or any other value shows off.
        const std::string* text = stored->asString();
        value = text ? *text : std::string();
    } else {
        value = row.defaultValue.value_or("0");
        preferences->set(std::string(kelvane::Key::Bug), foundation::PlistValue("new"));
        m_prefsManager->writePreferences();
    }

    auto control = runtime::cast<UISwitch>(cell.accessoryView());
    if (!control) {
        cell.setAccessoryType(UITableViewCellAccessoryNone);
        control = makeView<UISwitch>(CGRectMake(0, 10, 50, 30));
        cell.setAccessoryView(control);
    }
    // A reused cell brings the switch of another row along: the switch now
    // belongs to this row only, so a change is never written under the key
    // of the row it showed before.
    for (auto* reference : { &m_ncqr, &m_lsqr, &m_eic }) {
        if (*reference == control)
            *reference = nullptr;
    }
    if (auto* reference = switchReference(rowIndex))
        *reference = control;
    control->setName("switch-" + row.key);
    control->addTarget(self(), "switchChanged:", UIControlEventValueChanged);
    control->setOn(value == "1");
}

void RootViewController::switchChanged(const Id& sender)
{
    std::string value = std::to_string(runtime::send<bool>(sender, "isOn") ? 1 : 0);
    int64_t row = -1;
    if (sender && sender == m_ncqr)
        row = 0;
    else if (sender && sender == m_lsqr)
        row = 1;
    else if (sender && sender == m_eic)
        row = 4;
    const RowDescription* description = m_rows.row(static_cast<int64_t>(RootSection::General), row);
    auto preferences = m_prefsManager ? m_prefsManager->preferences() : nullptr;
    if (!description || !preferences)
        return;
    preferences->set(description->key, foundation::PlistValue(value));
    m_prefsManager->writePreferences();
    postReloadNotification();
}

void RootViewController::didSelectRow(const Id& tableView, const NSIndexPath& indexPath)
{
    auto keepAlive = self();
    if (auto table = runtime::cast<UITableView>(tableView))
        table->deselectRow(indexPath, true);
    const RowDescription* row = m_rows.row(indexPath.section, indexPath.row);
    if (!row)
        return;
    switch (row->type) {
    case RowType::BugReport:
        composeBugReport();
        break;
    case RowType::Favorites: {
        Id favorites = runtime::send<Id>(runtime::send<Id>(FavoritesViewController::classObject(), "alloc"), "initWithNibName:bundle:", std::string(), runtime::nil);
        runtime::send(favorites, "setDelegate:", self());
        runtime::send(favorites, "setModalTransitionStyle:", int64_t(UIModalTransitionStyleFlipHorizontal));
        runtime::send(self(), "presentModalViewController:animated:", favorites, true);
        break;
    }
    case RowType::Switch:
        break;
    case RowType::QuickComposeSkin:
    case RowType::QuickReplySkin: {
        Id theme = makeByName("ThemeChoiceViewController");
        namespace Key = kelvane::Key;
        std::vector<std::string> keys = row->type == RowType::QuickComposeSkin
            ? std::vector<std::string> { std::string(Key::QuickComposeColors), std::string(Key::QuickComposeTextField), std::string(Key::QuickComposeText) }
            : std::vector<std::string> { std::string(Key::QuickReplyColors), std::string(Key::QuickReplyTextField), std::string(Key::QuickReplyText) };
        runtime::send(theme, "setDelegate:", self());
        runtime::send(theme, "setKeys:", keys);
        pushEditor(theme);
        break;
    }
    case RowType::Color: {
        Id editor = makeByName("ColorChoiceViewController");
        runtime::send(editor, "setPreferenceKey:", row->key);
        runtime::send(editor, "setDelegate:", self());
        pushEditor(editor);
        break;
    }
    }
}

void RootViewController::pushEditor(const Id& editor)
{
    if (auto navigation = navigationController())
        runtime::send(navigation, "pushViewController:animated:", editor, true);
}

void RootViewController::composeBugReport()
{
    runtime::Class* composerClass = runtime::classNamed("MFMailComposeViewController");
    if (!composerClass || !runtime::send<bool>(composerClass, "canSendMail")) {
        tellUser("Cannot send mail", "Set up a mail account on this device to send the bug report.");
        return;
    }
    Id composer = makeByName("MFMailComposeViewController");
    BugReportMail mail = makeBugReportMail(m_toAddress);
    runtime::send(composer, "setToRecipients:", mail.toRecipients);
    runtime::send(composer, "setSubject:", mail.subject);
    if (mail.logAttachment)
        runtime::send(composer, "addAttachmentData:mimeType:fileName:", *mail.logAttachment, std::string("text/plain"), std::string(LogAttachmentName));
    runtime::send(composer, "setMessageBody:isHTML:", mail.htmlBody, true);
    runtime::send(composer, "setMailComposeDelegate:", self());
    runtime::send(composer, "setModalTransitionStyle:", int64_t(UIModalTransitionStyleFlipHorizontal));
    runtime::send(self(), "presentModalViewController:animated:", composer, true);
}

void RootViewController::mailComposeFinished(const Id&, int64_t result, const Id&)
{
    runtime::send(self(), "dismissModalViewControllerAnimated:", true);
    // A mail that did not leave must not look sent.
    if (result == MailResultFailed)
        tellUser("Bug report not sent", "The mail could not be sent. Please try again.");
}

void RootViewController::tellUser(const std::string& title, const std::string& message)
{
    Id alert = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIAlertView"), "alloc"), "initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:",
        title, message, runtime::nil, std::string("OK"), std::vector<std::string> {});
    runtime::send(alert, "show");
}

} // namespace plvsettings
