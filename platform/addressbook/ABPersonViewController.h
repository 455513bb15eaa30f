// A person's card: their phone numbers and then their e-mail addresses in a
// grouped table, each row with its label ("mobile") and value, under the
// person's name as title. Inside the people picker a tap goes to the picker;
// on its own the card asks its `personViewDelegate` through the runtime:
//
//   personViewController:shouldPerformDefaultActionForPerson:property:identifier:
//       bool(Id controller, Id person, int64 property, int64 identifier)
//
// and runs the default action (call or write) on YES.
#pragma once

#include "ABPerson.h"

#include <uikit/UITableView.h>
#include <uikit/UIViewController.h>

namespace addressbook {

class ABPeoplePickerNavigationController;

class ABPersonViewController : public uikit::UIViewController {
    PLV_CLASS(ABPersonViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<ABPersonViewController>&);

    static constexpr std::string_view CellIdentifier = "ABPersonValueCell";

    const ABRecordRef& displayedPerson() const { return m_person; }
    void setDisplayedPerson(ABRecordRef);
    const std::vector<int64_t>& displayedProperties() const { return m_displayedProperties; }
    void setDisplayedProperties(std::vector<int64_t>);
    runtime::Id personViewDelegate() const { return m_delegate.lock(); }
    void setPersonViewDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    void setPicker(const runtime::Ref<ABPeoplePickerNavigationController>& picker) { m_picker = picker; }
    runtime::Ref<uikit::UITableView> tableView() const { return m_tableView; }

    void loadView() override;

    int64_t numberOfSections() const { return static_cast<int64_t>(m_sections.size()); }
    int64_t numberOfRows(int64_t section) const;
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);

private:
    struct Row {
        ABPropertyID property;
        CFIndex index;
    };
    void rebuildRows();
    const Row* rowAt(const uikit::NSIndexPath&) const;

    ABRecordRef m_person;
    std::vector<int64_t> m_displayedProperties { kABPersonPhoneProperty, kABPersonEmailProperty };
    runtime::WeakId m_delegate;
    runtime::Weak<ABPeoplePickerNavigationController> m_picker;
    runtime::Ref<uikit::UITableView> m_tableView;
    std::vector<std::vector<Row>> m_sections;
};

// The platform's default action for a value: a call for a phone number, a
// new e-mail for an address, through `-[UIApplication openURL:]`.
void performPersonDefaultAction(const ABRecordRef&, ABPropertyID, ABMultiValueIdentifier);

} // namespace addressbook
