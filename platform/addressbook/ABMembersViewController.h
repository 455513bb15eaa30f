// The people picker's list screen: every person of the picker's Address
// Book in a plain table, one section per index letter (see PeopleIndex.h),
// titled "All Contacts". A tap hands the person to the picker.
#pragma once

#include "PeopleIndex.h"

#include <uikit/UITableView.h>
#include <uikit/UIViewController.h>

namespace addressbook {

class ABPeoplePickerNavigationController;

class ABMembersViewController : public uikit::UIViewController {
    PLV_CLASS(ABMembersViewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<ABMembersViewController>&);

    static constexpr std::string_view CellIdentifier = "ABMemberCell";

    void setPicker(const runtime::Ref<ABPeoplePickerNavigationController>& picker) { m_picker = picker; }
    runtime::Ref<uikit::UITableView> tableView() const { return m_tableView; }
    const std::vector<PeopleSection>& sections() const { return m_sections; }
    // Reads the book again and redraws the list.
    void reloadPeople();

    void loadView() override;
    void viewDidLoad() override;

    int64_t numberOfSections() const { return static_cast<int64_t>(m_sections.size()); }
    int64_t numberOfRows(int64_t section) const;
    std::string titleForHeader(int64_t section) const;
    runtime::Id cellForRow(const runtime::Id& tableView, const uikit::NSIndexPath&);
    void didSelectRow(const runtime::Id& tableView, const uikit::NSIndexPath&);

private:
    ABRecordRef personAt(const uikit::NSIndexPath&) const;

    runtime::Weak<ABPeoplePickerNavigationController> m_picker;
    runtime::Ref<uikit::UITableView> m_tableView;
    std::vector<PeopleSection> m_sections;
};

} // namespace addressbook
