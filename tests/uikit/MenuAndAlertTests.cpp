#include "UIKitTestSupport.h"

namespace uikit_test {

class Menus : public UIKitTest { };

TEST_F(Menus, CustomItemsReachTheControllerBehindTheFirstResponder)
{
    auto window = screenWindow();
    auto controller = runtime::make<RecordingController>();
    window->addSubview(controller->view());
    auto reply = makeView<UITextView>(CGRectMake(20, 92, 280, 88));
    controller->view()->addSubview(reply);
    controller->trace.clear();

    auto menu = runtime::send<Id>(runtime::classNamed("UIMenuController"), "sharedMenuController");
    auto item = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIMenuItem"), "alloc"), "initWithTitle:action:", std::string("Attach picture"), runtime::sel("presentImageChoice"));
    runtime::send(menu, "setMenuItems:", std::vector<Id> { item });
    auto shared = UIMenuController::sharedMenuController();
    EXPECT_FALSE(shared->performItemTitled("Attach picture")) << "nothing is being edited";
    reply->becomeFirstResponder();
    EXPECT_TRUE(shared->showForFirstResponder());
    EXPECT_FALSE(shared->performItemTitled("Remove attachment"));
    EXPECT_TRUE(shared->performItemTitled("Attach picture"));
    EXPECT_EQ(controller->trace, "presentImageChoice");
    EXPECT_FALSE(shared->isMenuVisible());
}

// Answers the sheet and the alert as the favourites editor does: it reads the clicked button's title.
class SheetDelegate : public runtime::Object {
    PLV_CLASS(SheetDelegate, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SheetDelegate>& b)
    {
        b.method("actionSheet:clickedButtonAtIndex:", [](SheetDelegate& self, const Id& sheet, int64_t index) {
            self.clicked.push_back(runtime::send<std::string>(sheet, "buttonTitleAtIndex:", index));
        });
        b.method("alertView:clickedButtonAtIndex:", [](SheetDelegate& self, const Id& alert, int64_t index) {
            self.clicked.push_back(runtime::send<std::string>(alert, "buttonTitleAtIndex:", index));
        });
    }
    std::vector<std::string> clicked;
};

TEST_F(Menus, ActionSheetListsButtonsWithCancelLast)
{
    auto window = screenWindow();
    auto delegate = runtime::make<SheetDelegate>();
    auto sheet = runtime::cast<UIActionSheet>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIActionSheet"), "alloc"),
        "initWithTitle:delegate:cancelButtonTitle:destructiveButtonTitle:otherButtonTitles:", std::string("Anna Rossi"), Id(delegate), std::string(), std::string(), std::vector<std::string> {}));
    runtime::send<int64_t>(sheet, "addButtonWithTitle:", std::string("+39 333 1234567"));
    runtime::send<int64_t>(sheet, "addButtonWithTitle:", std::string("06 5551234"));
    int64_t cancel = runtime::send<int64_t>(sheet, "addButtonWithTitle:", std::string("Cancel"));
    runtime::send(sheet, "setCancelButtonIndex:", cancel);
    EXPECT_EQ(cancel, 2);
    runtime::send(sheet, "showInView:", Id(window));
    ASSERT_EQ(visibleWindows().size(), 2u);
    EXPECT_EQ(visibleWindows().back()->windowLevel(), UIWindowLevelAlert);
    EXPECT_EQ(hitTestScreen({ 160, 100 }), visibleWindows().back()) << "the sheet covers the screen";
    auto buttons = sheet->subviews();
    auto second = buttons[2]; // after the title label
    tapScreen({ second->screenFrame().midX(), second->screenFrame().midY() });
    EXPECT_EQ(delegate->clicked, (std::vector<std::string> { "06 5551234" }));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(visibleWindows().size(), 1u);
    sheet->clickButtonAtIndex(0);
    EXPECT_EQ(delegate->clicked.size(), 1u) << "a closed sheet takes no clicks";
}

TEST_F(Menus, ALongActionSheetScrollsSoEveryButtonCanBeTapped)
{
    auto window = screenWindow();
    auto delegate = runtime::make<SheetDelegate>();
    std::vector<std::string> numbers;
    for (int i = 0; i < 50; ++i)
        numbers.push_back("+39 02 " + std::to_string(1000 + i));
    auto sheet = runtime::make<UIActionSheet>();
    sheet->initWithTitle("Numeri Tanti", delegate, "Cancel", "", numbers);
    sheet->showInView(window);
    EXPECT_LE(sheet->frame().size.height, 480);
    EXPECT_GE(sheet->frame().origin.y, 0);
    auto scroll = runtime::cast<UIScrollView>(sheet->viewNamed("actionSheetButtons"));
    ASSERT_TRUE(scroll);
    auto last = sheet->viewNamed("actionSheetButton49");
    ASSERT_TRUE(last);
    EXPECT_GT(last->screenFrame().maxY(), 480) << "the 50th number starts below the screen";
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    dragScreen({ 160, 400 }, { 160, 100 }, 0.1);
    ASSERT_LT(last->screenFrame().maxY(), 480);
    tapScreen({ last->screenFrame().midX(), last->screenFrame().midY() });
    EXPECT_EQ(delegate->clicked, (std::vector<std::string> { "+39 02 1049" }));
}

TEST_F(Menus, AlertPutsCancelFirst)
{
    auto delegate = runtime::make<SheetDelegate>();
    auto alert = runtime::make<UIAlertView>();
    alert->initWithTitle("PLV", "No Service", delegate, "OK", { "Retry" });
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    alert->show();
    alert->clickButtonAtIndex(7);
    EXPECT_TRUE(alert->isVisible());
    alert->clickButtonAtIndex(1);
    EXPECT_EQ(delegate->clicked, (std::vector<std::string> { "Retry" }));
    EXPECT_TRUE(visibleWindows().empty());
}

} // namespace uikit_test
