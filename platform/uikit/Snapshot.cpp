#include "Snapshot.h"

#include "JsonTextWriter.h"
#include "Keyboard.h"
#include "SnapshotKinds.h"
#include "UIActionSheet.h"
#include "UIAlertView.h"
#include "UIApplication.h"
#include "UIButton.h"
#include "UIImageView.h"
#include "UIKitContext.h"
#include "UIMenuController.h"
#include "UINavigationBar.h"
#include "UIScreen.h"
#include "UISlider.h"
#include "UISwitch.h"
#include "UITableView.h"
#include "UITextField.h"
#include "UITextView.h"
#include "UIViewController.h"
#include "UIWindow.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace uikit {

using nlohmann::json;
using runtime::Ref;

namespace {

    double stable(double value)
    {
        if (!std::isfinite(value))
            return 0;
        double rounded = std::round(value * 1e6) / 1e6;
        return rounded == 0 ? 0 : rounded;
    }

    void rect(JsonTextWriter& out, const CGRect& r)
    {
        out.beginArray();
        out.number(stable(r.origin.x));
        out.number(stable(r.origin.y));
        out.number(stable(r.size.width));
        out.number(stable(r.size.height));
        out.endArray();
    }

    void point(JsonTextWriter& out, double x, double y)
    {
        out.beginArray();
        out.number(stable(x));
        out.number(stable(y));
        out.endArray();
    }

    void color(JsonTextWriter& out, const Ref<UIColor>& c)
    {
        if (!c)
            return out.null();
        out.beginArray();
        out.number(stable(c->red()));
        out.number(stable(c->green()));
        out.number(stable(c->blue()));
        out.number(stable(c->alpha()));
        out.endArray();
    }

    void font(JsonTextWriter& out, const Ref<UIFont>& f)
    {
        if (!f)
            return out.null();
        out.beginObject();
        out.member("bold", f->isBold());
        out.member("name", f->fontName());
        out.member("size", stable(f->pointSize()));
        out.endObject();
    }

    void image(JsonTextWriter& out, const Ref<UIImage>& i)
    {
        if (!i)
            return out.null();
        out.string(i->path() ? std::string_view(*i->path()) : std::string_view());
    }

    void optionalText(JsonTextWriter& out, const std::optional<std::string>& text)
    {
        if (text)
            out.string(*text);
        else
            out.null();
    }

    // What a view is besides a view, looked up once. A view that is a label,
    // a text view, a field, a button, an image view, a sheet or an alert is
    // described as the first of those it is.
    struct Facets {
        explicit Facets(UIView& view)
            : control(dynamic_cast<UIControl*>(&view))
            , window(dynamic_cast<UIWindow*>(&view))
            , toggle(dynamic_cast<UISwitch*>(&view))
            , slider(dynamic_cast<UISlider*>(&view))
            , bar(dynamic_cast<UINavigationBar*>(&view))
            , cell(dynamic_cast<UITableViewCell*>(&view))
            , indicator(dynamic_cast<UITableViewCellAccessoryIndicator*>(&view))
            , scroll(dynamic_cast<UIScrollView*>(&view))
            , table(dynamic_cast<UITableView*>(&view))
        {
            if ((label = dynamic_cast<UILabel*>(&view)))
                return;
            if ((textView = dynamic_cast<UITextView*>(&view)))
                return;
            if ((field = dynamic_cast<UITextField*>(&view)))
                return;
            if ((button = dynamic_cast<UIButton*>(&view)))
                return;
            if ((imageView = dynamic_cast<UIImageView*>(&view)))
                return;
            if ((sheet = dynamic_cast<UIActionSheet*>(&view)))
                return;
            alert = dynamic_cast<UIAlertView*>(&view);
        }

        UIControl* control;
        UIWindow* window;
        UISwitch* toggle;
        UISlider* slider;
        UINavigationBar* bar;
        UITableViewCell* cell;
        UITableViewCellAccessoryIndicator* indicator;
        UIScrollView* scroll;
        UITableView* table;
        UILabel* label { nullptr };
        UITextView* textView { nullptr };
        UITextField* field { nullptr };
        UIButton* button { nullptr };
        UIImageView* imageView { nullptr };
        UIActionSheet* sheet { nullptr };
        UIAlertView* alert { nullptr };
    };

    void writeView(UIView& view, JsonTextWriter& out);

    void writeRows(UITableView& table, const std::vector<std::pair<NSIndexPath, Ref<UITableViewCell>>>& rows, JsonTextWriter& out)
    {
        out.beginArray();
        for (auto& [indexPath, cell] : rows) {
            out.beginObject();
            out.key("cell");
            if (cell)
                writeView(*cell, out);
            else
                out.null();
            out.key("frame");
            rect(out, table.rectForRow(indexPath));
            out.key("indexPath");
            out.beginArray();
            out.write(indexPath.section);
            out.write(indexPath.row);
            out.endArray();
            out.endObject();
        }
        out.endArray();
    }

    void writeHeaders(UITableView& table, JsonTextWriter& out)
    {
        out.beginArray();
        for (auto& header : table.headers()) {
            out.beginObject();
            out.key("frame");
            rect(out, header.frame);
            out.member("section", header.section);
            out.member("title", header.title);
            out.endObject();
        }
        out.endArray();
    }

    // A view's members are written in key order, the order the text keeps,
    // so the writer never has to reorder them: every key below comes after
    // the one before it. A member that only some views have is written only
    // for them; the few that every view has start as null.
    void writeView(UIView& view, JsonTextWriter& out)
    {
        const Facets is(view);
        const CALayer* layer = view.layerIfCreated();
        auto controller = view.viewController();
        if (controller && controller->viewIfLoaded().get() != &view)
            controller = nullptr;
        // The rows are asked for before the headers: asking may load the table.
        std::vector<std::pair<NSIndexPath, Ref<UITableViewCell>>> rows;

        out.beginObject();
        if (is.indicator)
            out.member("accessoryType", is.indicator->accessoryType());
        else if (is.cell)
            out.member("accessoryType", is.cell->accessoryType());
        out.member("alpha", stable(view.alpha()));
        out.key("backgroundColor");
        color(out, view.backgroundColor());
        out.key("backgroundImage");
        if (is.button)
            image(out, is.button->currentBackgroundImage());
        else
            out.null();
        if (is.bar)
            out.member("barStyle", is.bar->barStyle());
        out.key("borderColor");
        if (layer && layer->borderWidth() > 0)
            color(out, layer->borderColor());
        else
            out.null();
        if (is.field)
            out.member("borderStyle", is.field->borderStyle());
        out.member("borderWidth", stable(layer ? layer->borderWidth() : 0));
        out.key("bounds");
        rect(out, view.bounds());
        if (is.button)
            out.member("buttonType", is.button->buttonType());
        if (is.cell)
            out.member("cellStyle", is.cell->style());
        out.key("center");
        point(out, view.center().x, view.center().y);
        out.member("class", view.runtimeClassName());
        out.member("contentMode", view.contentMode());
        if (is.scroll) {
            out.key("contentOffset");
            point(out, is.scroll->contentOffset().x, is.scroll->contentOffset().y);
            out.key("contentSize");
            point(out, is.scroll->contentSize().width, is.scroll->contentSize().height);
        }
        out.member("cornerRadius", stable(layer ? layer->cornerRadius() : 0));
        if (is.textView)
            out.member("editable", is.textView->isEditable());
        if (is.table)
            out.member("editing", is.table->isEditing());
        else if (is.cell)
            out.member("editing", is.cell->isEditing());
        if (is.cell)
            out.member("editingStyle", is.cell->editingStyle());
        out.key("enabled");
        if (is.control)
            out.boolean(is.control->isEnabled());
        else
            out.null();
        out.member("firstResponder", view.isFirstResponder());
        out.key("font");
        if (is.label)
            font(out, is.label->font());
        else if (is.textView)
            font(out, is.textView->font());
        else if (is.field)
            font(out, is.field->font());
        else if (is.button)
            font(out, is.button->font());
        else
            out.null();
        out.key("frame");
        rect(out, view.frame());
        if (is.table) {
            rows = is.table->visibleRows();
            out.key("headers");
            writeHeaders(*is.table, out);
        }
        out.member("hidden", view.isHidden());
        out.key("image");
        if (is.button)
            image(out, is.button->currentImage());
        else if (is.imageView)
            image(out, is.imageView->image());
        else
            out.null();
        if (is.window)
            out.member("key", is.window->isKeyWindow());
        out.member("kind", snapshotKind(view.isa()));
        if (is.window)
            out.member("level", stable(is.window->windowLevel()));
        if (is.slider) {
            out.member("maximumValue", stable(is.slider->maximumValue()));
            out.member("minimumValue", stable(is.slider->minimumValue()));
        }
        if (controller && controller->presentingViewController())
            out.member("modalTransitionStyle", controller->modalTransitionStyle());
        out.key("name");
        optionalText(out, view.name());
        if (is.label)
            out.member("numberOfLines", is.label->numberOfLines());
        if (is.toggle)
            out.member("on", is.toggle->isOn());
        out.key("placeholder");
        if (is.field && !is.field->placeholder().empty())
            out.string(is.field->placeholder());
        else
            out.null();
        if (is.textView)
            out.member("returnKeyType", is.textView->returnKeyType());
        else if (is.field)
            out.member("returnKeyType", is.field->returnKeyType());
        if (is.cell)
            out.member("reuseIdentifier", is.cell->reuseIdentifier());
        out.member("rotation", stable(rotationAngle(view.transform())));
        if (is.table) {
            out.key("rows");
            writeRows(*is.table, rows, out);
        }
        out.key("screenFrame");
        rect(out, view.screenFrame());
        if (is.cell)
            out.member("selected", is.cell->isSelected());
        else if (is.control)
            out.member("selected", is.control->isSelected());
        if (is.cell) {
            out.member("selectionStyle", is.cell->selectionStyle());
            out.member("showingDeleteConfirmation", is.cell->showingDeleteConfirmation());
        }
        if (is.button)
            out.member("showsTouchWhenHighlighted", is.button->showsTouchWhenHighlighted());
        if (is.table)
            out.member("style", is.table->style());

        out.key("subviews");
        out.beginArray();
        auto subviews = view.subviews();
        for (auto& child : subviews) {
            auto isRowCell = [&](const auto& row) { return row.second == child; };
            if (std::find_if(rows.begin(), rows.end(), isRowCell) != rows.end())
                continue;
            writeView(*child, out);
        }
        out.endArray();

        out.key("text");
        if (is.label)
            out.string(is.label->text());
        else if (is.textView)
            out.string(is.textView->text());
        else if (is.field)
            out.string(is.field->text());
        else if (is.alert)
            out.string(is.alert->message());
        else
            out.null();
        if (is.label)
            out.member("textAlignment", is.label->textAlignment());
        else if (is.textView)
            out.member("textAlignment", is.textView->textAlignment());
        else if (is.field)
            out.member("textAlignment", is.field->textAlignment());
        out.key("textColor");
        if (is.label)
            color(out, is.label->textColor());
        else if (is.textView)
            color(out, is.textView->textColor());
        else if (is.field)
            color(out, is.field->textColor());
        else if (is.button)
            color(out, is.button->currentTitleColor());
        else
            out.null();
        if (is.bar) {
            out.key("tintColor");
            color(out, is.bar->tintColor());
        }
        out.key("title");
        if (is.button)
            optionalText(out, is.button->currentTitle());
        else if (is.sheet)
            out.string(is.sheet->title());
        else if (is.alert)
            out.string(is.alert->title());
        else
            out.null();
        // The transform's offset moves the drawn view away from its centre (a
        // panel slid up by its own height keeps its centre).
        out.key("translation");
        point(out, view.transform().tx, view.transform().ty);
        out.member("userInteractionEnabled", view.isUserInteractionEnabled());
        if (is.slider)
            out.member("value", stable(is.slider->value()));
        if (controller)
            out.member("viewController", controller->runtimeClassName());
        out.endObject();
    }

} // namespace

std::string snapshotViewJSON(UIView& view)
{
    std::string text;
    JsonTextWriter out(text);
    writeView(view, out);
    return text;
}

json snapshotView(UIView& view) { return json::parse(snapshotViewJSON(view)); }

std::string snapshotScreenJSON()
{
    std::string text;
    snapshotScreenJSON(text);
    return text;
}

void snapshotScreenJSON(std::string& text)
{
    auto windows = visibleWindows();
    for (auto& window : windows)
        window->layoutIfNeeded();
    // Room for a screen as big as the last one, in one allocation: growing
    // a string of a few hundred kilobytes by doubling copies it each time.
    static std::atomic<size_t> lastSize { 64 * 1024 };
    text.clear();
    text.reserve(lastSize.load(std::memory_order_relaxed) + 4 * 1024);
    JsonTextWriter out(text);
    // In key order, as every object here (see writeView).
    out.beginObject();
    bool keyboard = isKeyboardVisible();
    out.key("keyboard");
    out.beginObject();
    out.key("frame");
    if (keyboard)
        rect(out, keyboardFrame());
    else
        out.null();
    out.member("visible", keyboard);
    out.endObject();
    auto menu = UIMenuController::sharedMenuController();
    out.key("menu");
    out.beginObject();
    out.key("items");
    out.beginArray();
    for (auto& item : menu->menuItems())
        out.string(item->title());
    out.endArray();
    out.member("visible", menu->isMenuVisible());
    out.endObject();
    out.member("orientation", UIApplication::sharedApplication()->statusBarOrientation());
    out.key("screen");
    out.beginObject();
    auto screen = UIScreen::mainScreen();
    out.key("applicationFrame");
    rect(out, screen->applicationFrame());
    out.key("bounds");
    rect(out, screen->bounds());
    out.endObject();
    out.key("windows");
    out.beginArray();
    for (auto& window : windows)
        writeView(*window, out);
    out.endArray();
    out.endObject();
    lastSize.store(text.size(), std::memory_order_relaxed);
}

json snapshotScreen() { return json::parse(snapshotScreenJSON()); }

} // namespace uikit
