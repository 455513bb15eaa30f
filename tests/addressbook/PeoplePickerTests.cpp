#include "AddressBookTestSupport.h"

#include <addressbook/ABMembersViewController.h>
#include <addressbook/ABPeoplePickerNavigationController.h>
#include <addressbook/ABPersonViewController.h>
#include <addressbook/AddressBookClasses.h>
#include <addressbook/DemoContacts.h>
#include <foundation/DevicePath.h>
#include <foundation/RunLoop.h>
#include <uikit/UIKit.h>

using namespace addressbook;
using namespace addressbook_test;
using runtime::Id;
using runtime::Ref;

namespace {

// Answers the picker's questions from flags and writes what it was asked as a trace.
class PickerDelegate : public runtime::Object {
    PLV_CLASS(PickerDelegate, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<PickerDelegate>& b)
    {
        b.method("peoplePickerNavigationController:shouldContinueAfterSelectingPerson:", [](PickerDelegate& self, const Id&, const Id& person) -> bool {
            self.note("person " + ABRecordCopyCompositeName(runtime::cast<ABPerson>(person)).value_or("?"));
            if (self.dismissOnPerson)
                self.dismissOnPerson();
            return self.continueAfterPerson;
        });
        b.method("peoplePickerNavigationController:shouldContinueAfterSelectingPerson:property:identifier:",
            [](PickerDelegate& self, const Id&, const Id& person, int64_t property, int64_t identifier) -> bool {
                self.note("value " + std::to_string(ABRecordGetRecordID(runtime::cast<ABPerson>(person))) + " " + std::to_string(property) + " " + std::to_string(identifier));
                return self.continueAfterValue;
            });
        b.method("peoplePickerNavigationControllerDidCancel:", [](PickerDelegate& self, const Id&) { self.note("cancel"); });
    }

    void note(const std::string& line) { trace += (trace.empty() ? "" : "|") + line; }

    std::string trace;
    bool continueAfterPerson { false };
    bool continueAfterValue { false };
    std::function<void()> dismissOnPerson;
};

// Knows nothing of the picker's questions.
class SilentDelegate : public runtime::Object {
    PLV_CLASS(SilentDelegate, runtime::Object)
};

class PeoplePicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        uikit::resetUIKit();
        uikit::registerUIKitClasses();
        registerAddressBookClasses();
        m_loop = &foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        foundation::setDeviceRoot(m_folder.path());
        m_window = uikit::makeView<uikit::UIWindow>(uikit::CGRectMake(0, 0, 320, 480));
        m_window->makeKeyAndVisible();
        m_presenter = runtime::make<uikit::UIViewController>();
        m_window->addSubview(m_presenter->view());
    }
    void TearDown() override
    {
        uikit::resetUIKit();
        foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        foundation::setDeviceRoot({});
    }

    void seedDemoBook() { ASSERT_TRUE(writeDemoAddressBook(foundation::hostPath(AddressBookDevicePath), 40, 3)); }

    // As the settings application opens it: by class name, then presented modally.
    Ref<ABPeoplePickerNavigationController> presentPicker(const Id& delegate)
    {
        auto cls = runtime::classNamed("ABPeoplePickerNavigationController");
        auto picker = runtime::cast<ABPeoplePickerNavigationController>(runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init"));
        EXPECT_TRUE(picker);
        runtime::send(picker, "setPeoplePickerDelegate:", delegate);
        runtime::send(m_presenter, "presentModalViewController:animated:", Id(picker), true);
        m_loop->advance(1);
        return picker;
    }

    Ref<ABMembersViewController> list(const Ref<ABPeoplePickerNavigationController>& picker)
    {
        return runtime::cast<ABMembersViewController>(picker->viewControllers().at(0));
    }

    // A finger on the row, wherever the table has put it on screen.
    void tapRow(const Ref<uikit::UITableView>& table, int64_t section, int64_t row)
    {
        auto path = uikit::NSIndexPathMake(section, row);
        table->scrollToRow(path, 0);
        auto cell = table->cellForRow(path);
        ASSERT_TRUE(cell);
        auto frame = cell->screenFrame();
        uikit::tapScreen({ frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2 });
        m_loop->advance(1);
    }

    // Finds a person's row in the list.
    std::optional<uikit::NSIndexPath> rowOf(const Ref<ABMembersViewController>& members, const std::string& name)
    {
        for (size_t s = 0; s < members->sections().size(); ++s) {
            const auto& people = members->sections()[s].people;
            for (size_t r = 0; r < people.size(); ++r) {
                if (pickerDisplayName(people[r]) == name)
                    return uikit::NSIndexPathMake(static_cast<int64_t>(s), static_cast<int64_t>(r));
            }
        }
        return std::nullopt;
    }

    std::vector<std::string> cardRows(const Ref<ABPersonViewController>& card)
    {
        std::vector<std::string> rows;
        auto table = card->tableView();
        for (int64_t s = 0; s < card->numberOfSections(); ++s) {
            for (int64_t r = 0; r < card->numberOfRows(s); ++r) {
                auto cell = runtime::cast<uikit::UITableViewCell>(card->cellForRow(table, uikit::NSIndexPathMake(s, r)));
                rows.push_back(std::to_string(s) + " " + cell->textLabel()->text() + " " + cell->detailTextLabel()->text());
            }
        }
        return rows;
    }

    Ref<ABPersonViewController> openCard(const Ref<ABPeoplePickerNavigationController>& picker, const std::string& name)
    {
        auto members = list(picker);
        auto path = rowOf(members, name);
        EXPECT_TRUE(path) << name;
        if (!path)
            return nullptr;
        tapRow(members->tableView(), path->section, path->row);
        return runtime::cast<ABPersonViewController>(picker->topViewController());
    }

    std::vector<std::string> openedURLs() { return uikit::UIApplication::sharedApplication()->openedURLs(); }

    testsupport::TemporaryFolder m_folder { "plv-addressbook" };
    foundation::RunLoop* m_loop { nullptr };
    Ref<uikit::UIWindow> m_window;
    Ref<uikit::UIViewController> m_presenter;
};

TEST_F(PeoplePicker, ListsEveryPersonUnderTheirIndexLetter)
{
    seedDemoBook();
    auto delegate = runtime::make<PickerDelegate>();
    auto picker = presentPicker(delegate);
    auto members = list(picker);
    EXPECT_EQ(picker->topViewController(), members);
    EXPECT_EQ(members->navigationItem()->title(), "All Contacts");
    ASSERT_TRUE(members->navigationItem()->rightBarButtonItem());
    EXPECT_EQ(members->navigationItem()->rightBarButtonItem()->systemItem(), uikit::UIBarButtonSystemItemCancel);

    size_t rows = 0;
    std::vector<std::string> titles;
    for (const auto& section : members->sections()) {
        titles.push_back(section.title);
        rows += section.people.size();
    }
    EXPECT_EQ(rows, 40u) << "everyone, the nameless included";
    EXPECT_EQ(titles.front(), "B");
    EXPECT_EQ(titles.back(), "#");
    auto table = members->tableView();
    EXPECT_EQ(table->numberOfSections(), static_cast<int64_t>(titles.size()));
    auto first = table->cellForRow(uikit::NSIndexPathMake(0, 0));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->textLabel()->text(), pickerDisplayName(members->sections()[0].people[0]));
    EXPECT_TRUE(rowOf(members, "No Name"));
    EXPECT_TRUE(rowOf(members, "Pizzeria Da Mario"));
}

TEST_F(PeoplePicker, ChoosingAPersonAsksTheDelegateBeforeShowingTheCard)
{
    seedDemoBook();
    auto delegate = runtime::make<PickerDelegate>();
    auto picker = presentPicker(delegate);
    EXPECT_EQ(openCard(picker, "Anna Rossi"), nullptr) << "a delegate that says no keeps the list";
    EXPECT_EQ(delegate->trace, "person Anna Rossi");

    delegate->continueAfterPerson = true;
    auto card = openCard(picker, "Anna Rossi");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->title(), "Anna Rossi");
    EXPECT_EQ(cardRows(card), (std::vector<std::string> { "0 mobile +39 347 123 4567", "0 home 06 1234 5678", "1 home anna.rossi@example.it" }));
}

TEST_F(PeoplePicker, ChoosingAValueAsksWithItsPropertyAndIdentifier)
{
    seedDemoBook();
    auto delegate = runtime::make<PickerDelegate>();
    delegate->continueAfterPerson = true;
    auto picker = presentPicker(delegate);
    auto card = openCard(picker, "Anna Rossi");
    ASSERT_TRUE(card);
    int64_t anna = ABRecordGetRecordID(card->displayedPerson());
    delegate->trace.clear();

    tapRow(card->tableView(), 0, 1);
    tapRow(card->tableView(), 1, 0);
    EXPECT_EQ(delegate->trace, "value " + std::to_string(anna) + " 3 1|value " + std::to_string(anna) + " 4 0");
    EXPECT_TRUE(openedURLs().empty()) << "no means no default action";

    delegate->continueAfterValue = true;
    tapRow(card->tableView(), 0, 0);
    tapRow(card->tableView(), 1, 0);
    EXPECT_EQ(openedURLs(), (std::vector<std::string> { "tel:+393471234567", "mailto:anna.rossi@example.it" }));
}

TEST_F(PeoplePicker, DisplayedPropertiesLimitTheCard)
{
    seedDemoBook();
    auto delegate = runtime::make<PickerDelegate>();
    delegate->continueAfterPerson = true;
    auto picker = presentPicker(delegate);
    runtime::send(picker, "setDisplayedProperties:", std::vector<int64_t> { kABPersonPhoneProperty });
    auto card = openCard(picker, "Luca Ferrari");
    ASSERT_TRUE(card);
    EXPECT_EQ(cardRows(card),
        (std::vector<std::string> { "0 mobile +393381112222", "0 iPhone 338.111.3333", "0 work (02) 4455 6677", "0 Ufficio Milano 02/44556678" }));
    picker->popViewControllerAnimated(false);
    auto mailOnly = openCard(picker, "Giulia Bianchi");
    ASSERT_TRUE(mailOnly);
    EXPECT_EQ(mailOnly->numberOfSections(), 0) << "only e-mail addresses: nothing to show";
}

TEST_F(PeoplePicker, CancelGoesToTheDelegateOrClosesThePicker)
{
    seedDemoBook();
    auto delegate = runtime::make<PickerDelegate>();
    auto picker = presentPicker(delegate);
    list(picker)->navigationItem()->rightBarButtonItem()->performAction();
    EXPECT_EQ(delegate->trace, "cancel");
    EXPECT_EQ(m_presenter->modalViewController(), picker) << "closing is the delegate's business";

    runtime::send(picker, "setPeoplePickerDelegate:", Id(runtime::make<SilentDelegate>()));
    list(picker)->navigationItem()->rightBarButtonItem()->performAction();
    m_loop->advance(1);
    EXPECT_EQ(m_presenter->modalViewController(), nullptr) << "nobody to tell: the picker closes itself";
}

TEST_F(PeoplePicker, DelegateMayCloseAndDropThePickerWhileAnswering)
{
    seedDemoBook();
    auto delegate = runtime::make<PickerDelegate>();
    auto picker = presentPicker(delegate);
    runtime::Weak<ABPeoplePickerNavigationController> weakPicker = picker;
    auto members = list(picker);
    auto path = rowOf(members, "ROSSANA");
    ASSERT_TRUE(path);
    auto table = members->tableView();
    members.reset();
    picker.reset();
    // As the favourites editor does: note the person, then dismiss the picker animated.
    delegate->dismissOnPerson = [this] { runtime::send(m_presenter, "dismissModalViewControllerAnimated:", true); };
    tapRow(table, path->section, path->row);
    EXPECT_EQ(delegate->trace, "person ROSSANA");
    EXPECT_EQ(m_presenter->modalViewController(), nullptr);
    m_loop->advance(1);
    EXPECT_TRUE(weakPicker.expired()) << "nothing keeps a closed picker alive";
}

TEST_F(PeoplePicker, WithoutADelegateTheCardStillOpensButValuesDoNothing)
{
    seedDemoBook();
    auto picker = presentPicker(nullptr);
    auto card = openCard(picker, "ROSSANA");
    ASSERT_TRUE(card);
    tapRow(card->tableView(), 0, 0);
    EXPECT_TRUE(openedURLs().empty());
}

TEST_F(PeoplePicker, MissingBookShowsAnEmptyListAndCreatesNothing)
{
    auto delegate = runtime::make<PickerDelegate>();
    auto picker = presentPicker(delegate);
    EXPECT_TRUE(list(picker)->sections().empty());
    EXPECT_EQ(list(picker)->tableView()->numberOfSections(), 0);
    EXPECT_FALSE(std::filesystem::exists(foundation::hostPath(AddressBookDevicePath)));
}

TEST_F(PeoplePicker, UsesTheBookItIsGiven)
{
    auto path = m_folder.file("other.sqlitedb");
    ASSERT_TRUE(writeDemoAddressBook(path, 5, 1));
    auto cls = runtime::classNamed("ABPeoplePickerNavigationController");
    auto picker = runtime::cast<ABPeoplePickerNavigationController>(runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init"));
    runtime::send(picker, "setAddressBook:", Id(addressBookAtHostPath(path)));
    runtime::send(m_presenter, "presentModalViewController:animated:", Id(picker), false);
    size_t rows = 0;
    for (const auto& section : list(picker)->sections())
        rows += section.people.size();
    EXPECT_EQ(rows, 5u);
}

TEST_F(PeoplePicker, ClassesAreFoundByNameAndCanBeAbsent)
{
    for (auto name : { "ABPeoplePickerNavigationController", "ABMembersViewController", "ABPersonViewController" })
        EXPECT_TRUE(runtime::classNamed(name)) << name;
    EXPECT_TRUE(runtime::classNamed("ABPeoplePickerNavigationController")->isSubclassOf(runtime::classNamed("UINavigationController")));
    runtime::ScopedClassRemoval absent("ABPeoplePickerNavigationController");
    EXPECT_EQ(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("ABPeoplePickerNavigationController"), "alloc"), "init"), nullptr);
}

} // namespace
