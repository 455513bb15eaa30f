#include "UIKitTestSupport.h"

#include <uikit/JsonTextWriter.h>
#include <uikit/SnapshotKinds.h>

#include <cmath>
#include <limits>

namespace uikit_test {

class Snapshots : public UIKitTest { };

TEST_F(Snapshots, DescribesWindowsByLevelWithTheirViews)
{
    auto app = screenWindow();
    auto overlay = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
    overlay->setWindowLevel(UIWindowLevelStatusBar + 100);
    overlay->makeKeyAndVisible();
    auto root = makeView<UIView>(CGRectMake(0, 44, 320, 120));
    root->layer()->setCornerRadius(8);
    root->setBackgroundColor(UIColor::clearColor());
    overlay->addSubview(root);
    auto send = UIButton::buttonWithType(UIButtonTypeCustom);
    send->setName("sendButton");
    send->setFrame(CGRectMake(243, 87, 57, 32));
    send->setTitle("Reply", UIControlStateNormal);
    send->setFont(UIFont::fontWithName("Helvetica-Bold", 16));
    root->addSubview(send);

    auto json = snapshotScreen();
    ASSERT_EQ(json["windows"].size(), 2u);
    EXPECT_EQ(json["windows"][0]["level"], 0.0);
    auto& top = json["windows"][1];
    EXPECT_EQ(top["class"], "UIWindow");
    EXPECT_EQ(top["level"], 1100.0);
    EXPECT_EQ(top["key"], true);
    auto& button = top["subviews"][0]["subviews"][0];
    EXPECT_EQ(button["class"], "UIButton");
    EXPECT_EQ(button["name"], "sendButton");
    EXPECT_EQ(button["frame"], nlohmann::json::array({ 243, 87, 57, 32 }));
    EXPECT_EQ(button["screenFrame"], nlohmann::json::array({ 243, 131, 57, 32 }));
    EXPECT_EQ(button["title"], "Reply");
    EXPECT_EQ(button["font"], (nlohmann::json { { "name", "Helvetica-Bold" }, { "size", 16 }, { "bold", true } }));
    EXPECT_EQ(button["enabled"], true);
    EXPECT_TRUE(button["text"].is_null());
    EXPECT_EQ(top["subviews"][0]["cornerRadius"], 8);
    EXPECT_EQ(top["subviews"][0]["backgroundColor"], nlohmann::json::array({ 0, 0, 0, 0 }));
    EXPECT_EQ(json["keyboard"]["visible"], false);
    EXPECT_EQ(json["screen"]["applicationFrame"], nlohmann::json::array({ 0, 20, 320, 460 }));
}

TEST_F(Snapshots, RotatedViewsReportTheirRotationAndScreenBox)
{
    auto window = screenWindow();
    auto panel = makeView<UIView>(CGRectMake(0, 0, 320, 120));
    window->addSubview(panel);
    panel->setTransform(CGAffineTransformMakeRotation(-M_PI / 2));
    panel->setFrame(CGRectMake(44, 0, 112, 480));
    auto json = snapshotView(*panel);
    EXPECT_EQ(json["frame"], nlohmann::json::array({ 44, 0, 112, 480 }));
    EXPECT_EQ(json["bounds"], nlohmann::json::array({ 0, 0, 480, 112 }));
    EXPECT_EQ(json["center"], nlohmann::json::array({ 100, 240 }));
    EXPECT_DOUBLE_EQ(json["rotation"].get<double>(), std::round(-M_PI / 2 * 1e6) / 1e6);
}

TEST_F(Snapshots, ATranslatedViewKeepsItsCentreAndReportsTheOffset)
{
    auto window = screenWindow();
    auto panel = makeView<UIView>(CGRectMake(10, 50, 300, 100));
    window->addSubview(panel);
    panel->setTransform(CGAffineTransformTranslate(CGAffineTransformMakeRotation(M_PI / 2), 0, -100));
    auto json = snapshotView(*panel);
    EXPECT_EQ(json["center"], nlohmann::json::array({ 160, 100 }));
    EXPECT_EQ(json["translation"], nlohmann::json::array({ 100, 0 }));
    // Drawn at centre + translation, turned: the box the frame reports.
    EXPECT_EQ(json["frame"], nlohmann::json::array({ 210, -50, 100, 300 }));
}

TEST_F(Snapshots, KeyboardFirstResponderAndMenuShow)
{
    auto window = screenWindow();
    auto reply = makeView<UITextView>(CGRectMake(20, 92, 280, 88));
    reply->setName("replyField");
    window->addSubview(reply);
    reply->becomeFirstResponder();
    typeText("Ciao");
    auto menu = UIMenuController::sharedMenuController();
    menu->setMenuItems({ UIMenuItem::withTitle("Attach picture", "presentImageChoice") });
    menu->showForFirstResponder();
    auto json = snapshotScreen();
    EXPECT_EQ(json["keyboard"], (nlohmann::json { { "visible", true }, { "frame", { 0, 264, 320, 216 } } }));
    auto& view = json["windows"][0]["subviews"][0];
    EXPECT_EQ(view["firstResponder"], true);
    EXPECT_EQ(view["text"], "Ciao");
    EXPECT_EQ(view["editable"], true);
    EXPECT_EQ(json["menu"], (nlohmann::json { { "visible", true }, { "items", { "Attach picture" } } }));
}

TEST_F(Snapshots, TablesListTheirVisibleRowsWithCells)
{
    class Source : public runtime::Object {
    };
    auto window = screenWindow();
    auto table = UITableView::withFrame(CGRectMake(0, 0, 320, 100), UITableViewStylePlain);
    window->addSubview(table);
    auto json = snapshotView(*table);
    EXPECT_TRUE(json["rows"].empty()) << "no data source, no rows";
    EXPECT_EQ(json["style"], 0);
}

TEST_F(Snapshots, PresentedControllersAreNamedWithTheirTransition)
{
    auto window = screenWindow();
    auto root = runtime::make<RecordingController>();
    window->addSubview(root->view());
    auto editor = runtime::make<RecordingController>();
    editor->setModalTransitionStyle(UIModalTransitionStyleFlipHorizontal);
    root->presentModalViewController(editor, true);
    auto json = snapshotScreen();
    auto& subviews = json["windows"][0]["subviews"];
    ASSERT_EQ(subviews.size(), 2u);
    EXPECT_EQ(subviews[0]["viewController"], "RecordingController");
    EXPECT_FALSE(subviews[0].contains("modalTransitionStyle"));
    EXPECT_EQ(subviews[1]["modalTransitionStyle"], 1);
}

TEST_F(Snapshots, StaysTheSameWhenNothingChanges)
{
    auto window = screenWindow();
    window->addSubview(makeView<UISwitch>(CGRectMake(0, 10, 50, 30)));
    window->addSubview(makeView<UISlider>(CGRectMake(20, 280, 280, 10)));
    auto first = snapshotScreen().dump();
    EXPECT_EQ(snapshotScreen().dump(), first);
}

TEST_F(Snapshots, EveryViewTellsItsKindFromItsNearestClassWithOne)
{
    auto window = screenWindow();
    auto field = makeView<UITextView>(CGRectMake(0, 0, 100, 40));
    auto toggle = makeView<UISwitch>(CGRectMake(0, 50, 79, 27));
    auto plain = makeView<UIView>(CGRectMake(0, 90, 10, 10));
    auto bar = makeView<UILabel>(CGRectMake(0, 100, 10, 10));
    for (auto& view : std::vector<runtime::Ref<UIView>> { field, toggle, plain, bar })
        window->addSubview(view);
    // A class a product defines on top of UIKit's is drawn as its superclass
    // (a text view is a scroll view, and still a "textView"); a class given
    // a kind of its own keeps it for its subclasses too.
    auto* custom = runtime::defineClass("SnapshotKindsTestLabel", UILabel::classObject());
    runtime::setClassOf(*bar, custom);
    EXPECT_EQ(snapshotView(*bar)["kind"], "label");
    registerSnapshotKind("SnapshotKindsTestLabel", "badge");
    auto* sub = runtime::defineClass("SnapshotKindsTestLabelChild", custom);
    runtime::setClassOf(*bar, sub);

    auto json = snapshotView(*window);
    EXPECT_EQ(json["kind"], "window");
    EXPECT_EQ(json["subviews"][0]["kind"], "textView");
    EXPECT_EQ(json["subviews"][1]["kind"], "switch");
    EXPECT_EQ(json["subviews"][2]["kind"], "view");
    EXPECT_EQ(json["subviews"][3]["kind"], "badge");
    EXPECT_EQ(json["subviews"][3]["class"], "SnapshotKindsTestLabelChild");
    EXPECT_EQ(snapshotKind(nullptr), "view");
}

// The web page and the scenario dumps send the text; tests and older callers
// dump the tree. Both must be the same bytes, whatever the views hold.
std::string dumpedTree(const std::string& text) { return nlohmann::json::parse(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace); }

TEST_F(Snapshots, TheTextIsWhatDumpingTheTreeWrites)
{
    auto window = screenWindow();
    auto panel = makeView<UIView>(CGRectMake(0.5, 10.25, 300, 120));
    panel->setBackgroundColor(UIColor::colorWithRed(0.1, 0.95, 1.0 / 3, 0.5));
    panel->layer()->setBorderWidth(1.5);
    panel->layer()->setBorderColor(UIColor::colorWithWhite(0.2, 1));
    window->addSubview(panel);
    panel->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    auto label = makeView<UILabel>(CGRectMake(-3, 1e-7, 1e9, 17.123456789));
    label->setText("Sei gi\u00e0 uscito? \"Ti aspetto\" \\ al bar \U0001F642\n\t\x01");
    panel->addSubview(label);
    auto broken = makeView<UILabel>(CGRectMake(0, 0, 10, 10));
    broken->setText(std::string("cut \xE2\x82 short \xFF"));
    panel->addSubview(broken);
    auto field = makeView<UITextField>(CGRectMake(0, 40, 200, 31));
    field->setPlaceholder("To:");
    panel->addSubview(field);
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setTitle("Invia", UIControlStateNormal);
    button->setEnabled(false);
    panel->addSubview(button);
    auto slider = makeView<UISlider>(CGRectMake(20, 280, 280, 10));
    slider->setValue(0.7);
    window->addSubview(slider);
    window->addSubview(makeView<UISwitch>(CGRectMake(0, 10, 50, 30)));
    auto reply = makeView<UITextView>(CGRectMake(20, 92, 280, 88));
    window->addSubview(reply);
    reply->becomeFirstResponder();

    auto text = snapshotScreenJSON();
    EXPECT_EQ(text, dumpedTree(text));
    EXPECT_EQ(text, snapshotScreen().dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    auto json = nlohmann::json::parse(text);
    auto& labels = json["windows"][0]["subviews"][0]["subviews"];
    EXPECT_EQ(labels[0]["text"], "Sei gi\u00e0 uscito? \"Ti aspetto\" \\ al bar \U0001F642\n\t\x01");
    // Broken UTF-8 is replaced as the tree's dump replaces it, never thrown on.
    EXPECT_EQ(text.find("\xFF"), std::string::npos);
    EXPECT_EQ(labels[1]["text"], "cut \uFFFD short \uFFFD");
    EXPECT_EQ(snapshotViewJSON(*panel), dumpedTree(snapshotViewJSON(*panel)));
}

TEST_F(Snapshots, TheWriterOrdersMembersAsTheTreeDoes)
{
    std::string text;
    JsonTextWriter out(text);
    out.beginObject();
    out.member("zeta", 1);
    out.key("nested");
    out.beginObject();
    out.member("b", nullptr);
    out.member("a", -0.5);
    out.member("b", "later");
    out.endObject();
    out.key("list");
    out.beginArray();
    out.beginObject();
    out.endObject();
    out.write(320.0);
    out.write(1e21);
    out.write(std::numeric_limits<double>::quiet_NaN());
    out.endArray();
    out.member("alpha", true);
    out.member("zeta", "last wins");
    out.endObject();
    nlohmann::json tree { { "zeta", "last wins" }, { "nested", { { "a", -0.5 }, { "b", "later" } } },
        { "list", { nlohmann::json::object(), 320.0, 1e21, nullptr } }, { "alpha", true } };
    EXPECT_EQ(text, tree.dump());
    EXPECT_EQ(text, R"({"alpha":true,"list":[{},320.0,1e+21,null],"nested":{"a":-0.5,"b":"later"},"zeta":"last wins"})");
}

// Whole numbers take a shorter road than other numbers: both must come out
// as the tree writes them, around the switch to exponents too.
TEST_F(Snapshots, TheWriterWritesNumbersAsTheTreeDoes)
{
    std::vector<double> values { 0.0, -0.0, 1.0, -1.0, 0.5, -0.25, 1.0 / 3, 106.666667, 320.0, 480.0, -20.0, 1e-7, 4503599627370496.0,
        999999999999999.0, -999999999999999.0, 1e15, -1e15, 1e15 + 2, 1e16, 1e21, 1e22, 123456789012345.0, 12345678901234.5,
        std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(), std::numeric_limits<double>::denorm_min() };
    for (double whole = -100000; whole <= 100000; whole += 7)
        values.push_back(whole);
    for (double power = 1; power < 1e23; power *= 10) {
        values.push_back(power - 1);
        values.push_back(-power);
    }
    for (double value : values) {
        std::string text;
        JsonTextWriter out(text);
        out.number(value);
        EXPECT_EQ(text, nlohmann::json(value).dump()) << value;
    }
}

} // namespace uikit_test
