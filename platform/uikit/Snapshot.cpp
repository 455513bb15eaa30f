#include "Snapshot.h"

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

    json rect(const CGRect& r) { return json::array({ stable(r.origin.x), stable(r.origin.y), stable(r.size.width), stable(r.size.height) }); }
    json point(const CGPoint& p) { return json::array({ stable(p.x), stable(p.y) }); }

    json color(const Ref<UIColor>& c)
    {
        if (!c)
            return nullptr;
        return json::array({ stable(c->red()), stable(c->green()), stable(c->blue()), stable(c->alpha()) });
    }

    json font(const Ref<UIFont>& f)
    {
        if (!f)
            return nullptr;
        return { { "name", f->fontName() }, { "size", stable(f->pointSize()) }, { "bold", f->isBold() } };
    }

    json image(const Ref<UIImage>& i)
    {
        if (!i)
            return nullptr;
        if (i->path())
            return *i->path();
        return "";
    }

    json optionalText(const std::optional<std::string>& text) { return text ? json(*text) : json(nullptr); }

    void describeControl(UIView& view, json& out)
    {
        auto* control = dynamic_cast<UIControl*>(&view);
        if (!control)
            return;
        out["enabled"] = control->isEnabled();
        out["selected"] = control->isSelected();
    }

    void describeText(UIView& view, json& out)
    {
        if (auto* label = dynamic_cast<UILabel*>(&view)) {
            out["text"] = label->text();
            out["font"] = font(label->font());
            out["textColor"] = color(label->textColor());
            out["textAlignment"] = label->textAlignment();
            out["numberOfLines"] = label->numberOfLines();
        } else if (auto* textView = dynamic_cast<UITextView*>(&view)) {
            out["text"] = textView->text();
            out["font"] = font(textView->font());
            out["textColor"] = color(textView->textColor());
            out["textAlignment"] = textView->textAlignment();
            out["editable"] = textView->isEditable();
            out["returnKeyType"] = textView->returnKeyType();
        } else if (auto* field = dynamic_cast<UITextField*>(&view)) {
            out["text"] = field->text();
            out["placeholder"] = field->placeholder().empty() ? json(nullptr) : json(field->placeholder());
            out["font"] = font(field->font());
            out["textColor"] = color(field->textColor());
            out["textAlignment"] = field->textAlignment();
            out["borderStyle"] = field->borderStyle();
            out["returnKeyType"] = field->returnKeyType();
        } else if (auto* button = dynamic_cast<UIButton*>(&view)) {
            out["title"] = optionalText(button->currentTitle());
            out["font"] = font(button->font());
            out["textColor"] = color(button->currentTitleColor());
            out["image"] = image(button->currentImage());
            out["backgroundImage"] = image(button->currentBackgroundImage());
            out["buttonType"] = button->buttonType();
            out["showsTouchWhenHighlighted"] = button->showsTouchWhenHighlighted();
        } else if (auto* imageView = dynamic_cast<UIImageView*>(&view)) {
            out["image"] = image(imageView->image());
        } else if (auto* sheet = dynamic_cast<UIActionSheet*>(&view)) {
            out["title"] = sheet->title();
        } else if (auto* alert = dynamic_cast<UIAlertView*>(&view)) {
            out["title"] = alert->title();
            out["text"] = alert->message();
        }
    }

    void describeExtras(UIView& view, json& out)
    {
        if (auto* window = dynamic_cast<UIWindow*>(&view)) {
            out["level"] = stable(window->windowLevel());
            out["key"] = window->isKeyWindow();
        }
        if (auto* toggle = dynamic_cast<UISwitch*>(&view))
            out["on"] = toggle->isOn();
        if (auto* slider = dynamic_cast<UISlider*>(&view)) {
            out["value"] = stable(slider->value());
            out["minimumValue"] = stable(slider->minimumValue());
            out["maximumValue"] = stable(slider->maximumValue());
        }
        if (auto* bar = dynamic_cast<UINavigationBar*>(&view)) {
            out["tintColor"] = color(bar->tintColor());
            out["barStyle"] = bar->barStyle();
        }
        if (auto* cell = dynamic_cast<UITableViewCell*>(&view)) {
            out["reuseIdentifier"] = cell->reuseIdentifier();
            out["cellStyle"] = cell->style();
            out["accessoryType"] = cell->accessoryType();
            out["selectionStyle"] = cell->selectionStyle();
            out["selected"] = cell->isSelected();
            out["editing"] = cell->isEditing();
            out["editingStyle"] = cell->editingStyle();
            out["showingDeleteConfirmation"] = cell->showingDeleteConfirmation();
        }
        if (auto* indicator = dynamic_cast<UITableViewCellAccessoryIndicator*>(&view))
            out["accessoryType"] = indicator->accessoryType();
        if (auto* scroll = dynamic_cast<UIScrollView*>(&view)) {
            out["contentOffset"] = point(scroll->contentOffset());
            out["contentSize"] = json::array({ stable(scroll->contentSize().width), stable(scroll->contentSize().height) });
        }
        if (auto controller = view.viewController(); controller && controller->viewIfLoaded().get() == &view) {
            out["viewController"] = controller->runtimeClassName();
            if (controller->presentingViewController())
                out["modalTransitionStyle"] = controller->modalTransitionStyle();
        }
    }

} // namespace

json snapshotView(UIView& view)
{
    json out;
    out["class"] = view.runtimeClassName();
    out["kind"] = snapshotKind(view.isa());
    out["name"] = optionalText(view.name());
    out["frame"] = rect(view.frame());
    out["bounds"] = rect(view.bounds());
    out["center"] = point(view.center());
    out["screenFrame"] = rect(view.screenFrame());
    out["rotation"] = stable(rotationAngle(view.transform()));
    // The transform's offset moves the drawn view away from its centre (a
    // panel slid up by its own height keeps its centre).
    out["translation"] = json::array({ stable(view.transform().tx), stable(view.transform().ty) });
    out["hidden"] = view.isHidden();
    out["alpha"] = stable(view.alpha());
    out["backgroundColor"] = color(view.backgroundColor());
    const CALayer* layer = view.layerIfCreated();
    out["cornerRadius"] = stable(layer ? layer->cornerRadius() : 0);
    out["borderWidth"] = stable(layer ? layer->borderWidth() : 0);
    out["borderColor"] = layer && layer->borderWidth() > 0 ? color(layer->borderColor()) : json(nullptr);
    out["contentMode"] = view.contentMode();
    out["userInteractionEnabled"] = view.isUserInteractionEnabled();
    for (const char* key : { "text", "placeholder", "textColor", "font", "title", "image", "backgroundImage", "enabled" })
        out[key] = nullptr;
    out["firstResponder"] = view.isFirstResponder();
    describeControl(view, out);
    describeText(view, out);
    describeExtras(view, out);

    std::vector<Ref<UIView>> rowCells;
    if (auto* table = dynamic_cast<UITableView*>(&view)) {
        out["style"] = table->style();
        out["editing"] = table->isEditing();
        json rows = json::array();
        for (auto& [indexPath, cell] : table->visibleRows()) {
            json row;
            row["indexPath"] = json::array({ indexPath.section, indexPath.row });
            row["frame"] = rect(table->rectForRow(indexPath));
            row["cell"] = cell ? snapshotView(*cell) : json(nullptr);
            rows.push_back(std::move(row));
            if (cell)
                rowCells.push_back(cell);
        }
        out["rows"] = std::move(rows);
        json headers = json::array();
        for (auto& header : table->headers())
            headers.push_back({ { "section", header.section }, { "title", header.title }, { "frame", rect(header.frame) } });
        out["headers"] = std::move(headers);
    }

    json children = json::array();
    auto subviews = view.subviews();
    for (auto& child : subviews) {
        if (std::find(rowCells.begin(), rowCells.end(), child) != rowCells.end())
            continue;
        children.push_back(snapshotView(*child));
    }
    out["subviews"] = std::move(children);
    return out;
}

json snapshotScreen()
{
    auto windows = visibleWindows();
    for (auto& window : windows)
        window->layoutIfNeeded();
    json out;
    auto screen = UIScreen::mainScreen();
    out["screen"] = { { "bounds", rect(screen->bounds()) }, { "applicationFrame", rect(screen->applicationFrame()) } };
    out["orientation"] = UIApplication::sharedApplication()->statusBarOrientation();
    json list = json::array();
    for (auto& window : windows)
        list.push_back(snapshotView(*window));
    out["windows"] = std::move(list);
    bool keyboard = isKeyboardVisible();
    out["keyboard"] = { { "visible", keyboard }, { "frame", keyboard ? rect(keyboardFrame()) : json(nullptr) } };
    auto menu = UIMenuController::sharedMenuController();
    json items = json::array();
    for (auto& item : menu->menuItems())
        items.push_back(item->title());
    out["menu"] = { { "visible", menu->isMenuVisible() }, { "items", std::move(items) } };
    return out;
}

} // namespace uikit
