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

    void describeControl(UIView& view, JsonTextWriter& out)
    {
        auto* control = dynamic_cast<UIControl*>(&view);
        if (!control)
            return;
        out.member("enabled", control->isEnabled());
        out.member("selected", control->isSelected());
    }

    void describeText(UIView& view, JsonTextWriter& out)
    {
        if (auto* label = dynamic_cast<UILabel*>(&view)) {
            out.member("text", label->text());
            out.key("font");
            font(out, label->font());
            out.key("textColor");
            color(out, label->textColor());
            out.member("textAlignment", label->textAlignment());
            out.member("numberOfLines", label->numberOfLines());
        } else if (auto* textView = dynamic_cast<UITextView*>(&view)) {
            out.member("text", textView->text());
            out.key("font");
            font(out, textView->font());
            out.key("textColor");
            color(out, textView->textColor());
            out.member("textAlignment", textView->textAlignment());
            out.member("editable", textView->isEditable());
            out.member("returnKeyType", textView->returnKeyType());
        } else if (auto* field = dynamic_cast<UITextField*>(&view)) {
            out.member("text", field->text());
            out.key("placeholder");
            if (field->placeholder().empty())
                out.null();
            else
                out.string(field->placeholder());
            out.key("font");
            font(out, field->font());
            out.key("textColor");
            color(out, field->textColor());
            out.member("textAlignment", field->textAlignment());
            out.member("borderStyle", field->borderStyle());
            out.member("returnKeyType", field->returnKeyType());
        } else if (auto* button = dynamic_cast<UIButton*>(&view)) {
            out.key("title");
            optionalText(out, button->currentTitle());
            out.key("font");
            font(out, button->font());
            out.key("textColor");
            color(out, button->currentTitleColor());
            out.key("image");
            image(out, button->currentImage());
            out.key("backgroundImage");
            image(out, button->currentBackgroundImage());
            out.member("buttonType", button->buttonType());
            out.member("showsTouchWhenHighlighted", button->showsTouchWhenHighlighted());
        } else if (auto* imageView = dynamic_cast<UIImageView*>(&view)) {
            out.key("image");
            image(out, imageView->image());
        } else if (auto* sheet = dynamic_cast<UIActionSheet*>(&view)) {
            out.member("title", sheet->title());
        } else if (auto* alert = dynamic_cast<UIAlertView*>(&view)) {
            out.member("title", alert->title());
            out.member("text", alert->message());
        }
    }

    void describeExtras(UIView& view, JsonTextWriter& out)
    {
        if (auto* window = dynamic_cast<UIWindow*>(&view)) {
            out.member("level", stable(window->windowLevel()));
            out.member("key", window->isKeyWindow());
        }
        if (auto* toggle = dynamic_cast<UISwitch*>(&view))
            out.member("on", toggle->isOn());
        if (auto* slider = dynamic_cast<UISlider*>(&view)) {
            out.member("value", stable(slider->value()));
            out.member("minimumValue", stable(slider->minimumValue()));
            out.member("maximumValue", stable(slider->maximumValue()));
        }
        if (auto* bar = dynamic_cast<UINavigationBar*>(&view)) {
            out.key("tintColor");
            color(out, bar->tintColor());
            out.member("barStyle", bar->barStyle());
        }
        if (auto* cell = dynamic_cast<UITableViewCell*>(&view)) {
            out.member("reuseIdentifier", cell->reuseIdentifier());
            out.member("cellStyle", cell->style());
            out.member("accessoryType", cell->accessoryType());
            out.member("selectionStyle", cell->selectionStyle());
            out.member("selected", cell->isSelected());
            out.member("editing", cell->isEditing());
            out.member("editingStyle", cell->editingStyle());
            out.member("showingDeleteConfirmation", cell->showingDeleteConfirmation());
        }
        if (auto* indicator = dynamic_cast<UITableViewCellAccessoryIndicator*>(&view))
            out.member("accessoryType", indicator->accessoryType());
        if (auto* scroll = dynamic_cast<UIScrollView*>(&view)) {
            out.key("contentOffset");
            point(out, scroll->contentOffset().x, scroll->contentOffset().y);
            out.key("contentSize");
            point(out, scroll->contentSize().width, scroll->contentSize().height);
        }
        if (auto controller = view.viewController(); controller && controller->viewIfLoaded().get() == &view) {
            out.member("viewController", controller->runtimeClassName());
            if (controller->presentingViewController())
                out.member("modalTransitionStyle", controller->modalTransitionStyle());
        }
    }

    void writeView(UIView& view, JsonTextWriter& out)
    {
        out.beginObject();
        out.member("class", view.runtimeClassName());
        out.member("kind", snapshotKind(view.isa()));
        out.key("name");
        optionalText(out, view.name());
        out.key("frame");
        rect(out, view.frame());
        out.key("bounds");
        rect(out, view.bounds());
        out.key("center");
        point(out, view.center().x, view.center().y);
        out.key("screenFrame");
        rect(out, view.screenFrame());
        out.member("rotation", stable(rotationAngle(view.transform())));
        // The transform's offset moves the drawn view away from its centre (a
        // panel slid up by its own height keeps its centre).
        out.key("translation");
        point(out, view.transform().tx, view.transform().ty);
        out.member("hidden", view.isHidden());
        out.member("alpha", stable(view.alpha()));
        out.key("backgroundColor");
        color(out, view.backgroundColor());
        const CALayer* layer = view.layerIfCreated();
        out.member("cornerRadius", stable(layer ? layer->cornerRadius() : 0));
        out.member("borderWidth", stable(layer ? layer->borderWidth() : 0));
        out.key("borderColor");
        if (layer && layer->borderWidth() > 0)
            color(out, layer->borderColor());
        else
            out.null();
        out.member("contentMode", view.contentMode());
        out.member("userInteractionEnabled", view.isUserInteractionEnabled());
        for (const char* key : { "text", "placeholder", "textColor", "font", "title", "image", "backgroundImage", "enabled" })
            out.member(key, nullptr);
        out.member("firstResponder", view.isFirstResponder());
        describeControl(view, out);
        describeText(view, out);
        describeExtras(view, out);

        std::vector<Ref<UIView>> rowCells;
        if (auto* table = dynamic_cast<UITableView*>(&view)) {
            out.member("style", table->style());
            out.member("editing", table->isEditing());
            out.key("rows");
            out.beginArray();
            for (auto& [indexPath, cell] : table->visibleRows()) {
                out.beginObject();
                out.key("indexPath");
                out.beginArray();
                out.write(indexPath.section);
                out.write(indexPath.row);
                out.endArray();
                out.key("frame");
                rect(out, table->rectForRow(indexPath));
                out.key("cell");
                if (cell)
                    writeView(*cell, out);
                else
                    out.null();
                out.endObject();
                if (cell)
                    rowCells.push_back(cell);
            }
            out.endArray();
            out.key("headers");
            out.beginArray();
            for (auto& header : table->headers()) {
                out.beginObject();
                out.member("section", header.section);
                out.member("title", header.title);
                out.key("frame");
                rect(out, header.frame);
                out.endObject();
            }
            out.endArray();
        }

        out.key("subviews");
        out.beginArray();
        auto subviews = view.subviews();
        for (auto& child : subviews) {
            if (std::find(rowCells.begin(), rowCells.end(), child) != rowCells.end())
                continue;
            writeView(*child, out);
        }
        out.endArray();
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
    auto windows = visibleWindows();
    for (auto& window : windows)
        window->layoutIfNeeded();
    std::string text;
    text.reserve(64 * 1024);
    JsonTextWriter out(text);
    out.beginObject();
    out.key("screen");
    out.beginObject();
    auto screen = UIScreen::mainScreen();
    out.key("bounds");
    rect(out, screen->bounds());
    out.key("applicationFrame");
    rect(out, screen->applicationFrame());
    out.endObject();
    out.member("orientation", UIApplication::sharedApplication()->statusBarOrientation());
    out.key("windows");
    out.beginArray();
    for (auto& window : windows)
        writeView(*window, out);
    out.endArray();
    bool keyboard = isKeyboardVisible();
    out.key("keyboard");
    out.beginObject();
    out.member("visible", keyboard);
    out.key("frame");
    if (keyboard)
        rect(out, keyboardFrame());
    else
        out.null();
    out.endObject();
    auto menu = UIMenuController::sharedMenuController();
    out.key("menu");
    out.beginObject();
    out.member("visible", menu->isMenuVisible());
    out.key("items");
    out.beginArray();
    for (auto& item : menu->menuItems())
        out.string(item->title());
    out.endArray();
    out.endObject();
    out.endObject();
    return text;
}

json snapshotScreen() { return json::parse(snapshotScreenJSON()); }

} // namespace uikit
