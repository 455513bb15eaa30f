// The step table: every action of the vocabulary with its fields and the
// handler that performs it on the phone.

#include "DemoPictures.h"
#include "Dump.h"
#include "PreferenceWriter.h"
#include "ScenarioRunner.h"

#include <foundation/DevicePath.h>
#include <foundation/NotificationCenter.h>
#include <phone/Phone.h>
#include <uikit/UIMenuController.h>

#include <algorithm>
#include <cmath>

namespace simulator {

namespace {

    using nlohmann::json;
    using phone::ActionResult;

    constexpr auto Required = Presence::Required;
    constexpr auto Optional = Presence::Optional;

    // A virtual week is as far as one step may move the clock; further is
    // almost certainly a typo, and repeating timers would spin for it.
    constexpr double MaximumAdvance = 7 * 24 * 3600;

    StepResult from(const ActionResult& result)
    {
        if (result)
            return StepOutput {};
        return foundation::Error(result.reason().empty() ? "the phone refused the action" : result.reason());
    }

    std::string text(const json& step, const char* name) { return step.at(name).get<std::string>(); }
    double number(const json& step, const char* name) { return step.at(name).get<double>(); }
    int64_t integer(const json& step, const char* name, int64_t fallback)
    {
        auto field = step.find(name);
        return field == step.end() ? fallback : static_cast<int64_t>(field->get<double>());
    }
    bool has(const json& step, const char* name) { return step.contains(name); }

    // Either a view by name or a screen point.
    std::optional<std::string> viewOrPoint(const json& step)
    {
        bool view = has(step, "view");
        bool x = has(step, "x"), y = has(step, "y");
        if (view && (x || y))
            return std::string("give either \"view\" or \"x\" and \"y\", not both");
        if (!view && !(x && y))
            return std::string("needs \"view\" or both \"x\" and \"y\"");
        return std::nullopt;
    }

    // MARK: Checks

    std::optional<std::string> checkIndex(const json& step)
    {
        if (integer(step, "index", 0) < 0)
            return std::string("\"index\" must be 0 or more (0 is the newest)");
        return std::nullopt;
    }

    std::optional<std::string> checkCount(const json& step)
    {
        int64_t count = integer(step, "count", 1);
        if (count < 1 || count > 100000)
            return std::string("\"count\" must be from 1 to 100000");
        return std::nullopt;
    }

    std::optional<std::string> checkOrientation(const json& step)
    {
        int64_t orientation = integer(step, "orientation", 0);
        if (orientation < 1 || orientation > 4)
            return std::string("\"orientation\" must be 1 (portrait), 2 (upside down), 3 or 4 (landscape)");
        return std::nullopt;
    }

    std::optional<std::string> checkSeconds(const json& step)
    {
        double seconds = number(step, "seconds");
        if (seconds < 0 || seconds > MaximumAdvance)
            return std::string("\"seconds\" must be from 0 to 604800 (a week)");
        return std::nullopt;
    }

    std::optional<std::string> checkProduct(const json& step)
    {
        if (has(step, "product") && !isPreferenceProduct(text(step, "product")))
            return std::string("\"product\" must be \"PLV\" or \"RDL\"");
        if (text(step, "key").empty())
            return std::string("\"key\" must not be empty");
        return std::nullopt;
    }

    // MARK: Handlers

    StepResult receiveSMS(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().receiveSMS(text(step, "from"), text(step, "text")));
    }

    StepResult receiveIMessage(ScenarioRunner& runner, const json& step)
    {
        std::optional<std::string> picture;
        if (has(step, "picture")) {
            picture = photoLibraryPath(text(step, "picture"));
            bool present = false;
            runner.phone().performOnMain([&] { present = foundation::deviceFileExists(*picture); });
            if (!present)
                return foundation::Error("no picture " + *picture + " on the phone");
        }
        return from(runner.phone().receiveIMessage(text(step, "from"), text(step, "text"), picture));
    }

    StepResult receiveMail(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().receiveMail(text(step, "from"), text(step, "subject"), text(step, "body")));
    }

    StepResult tap(ScenarioRunner& runner, const json& step)
    {
        if (has(step, "view"))
            return from(runner.phone().tapView(text(step, "view")));
        return from(runner.phone().tap({ number(step, "x"), number(step, "y") }));
    }

    StepResult type(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().type(text(step, "text")));
    }

    StepResult backspace(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().backspace(static_cast<int>(integer(step, "count", 1))));
    }

    // A finger holds on the text being edited until the edit menu opens, then
    // chooses one of its items.
    StepResult editMenu(ScenarioRunner& runner, const json& step)
    {
        std::string title = text(step, "item");
        std::optional<std::string> error;
        runner.phone().performOnMain([&] {
            auto menu = uikit::UIMenuController::sharedMenuController();
            if (!menu->showForFirstResponder()) {
                error = "nothing is being edited: no text field or text view to open the edit menu on";
                return;
            }
            const auto& items = menu->menuItems();
            if (std::none_of(items.begin(), items.end(), [&](const auto& item) { return item && item->title() == title; })) {
                error = "the edit menu has no item \"" + title + "\"";
                return;
            }
            if (!menu->performItemTitled(title))
                error = "nothing on screen takes the edit menu's item \"" + title + "\"";
        });
        if (error)
            return foundation::Error(*error);
        return StepOutput {};
    }

    StepResult swipe(ScenarioRunner& runner, const json& step)
    {
        const json& velocity = step.at("velocity");
        uikit::CGPoint speed { velocity.at("x").get<double>(), velocity.at("y").get<double>() };
        if (has(step, "view"))
            return from(runner.phone().swipe(text(step, "view"), speed));
        return from(runner.phone().swipe(uikit::CGPoint { number(step, "x"), number(step, "y") }, speed));
    }

    StepResult rotate(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().rotate(integer(step, "orientation", 0)));
    }

    StepResult lock(ScenarioRunner& runner, const json&) { return from(runner.phone().lock()); }

    StepResult unlockBulletin(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().unlockBulletin(static_cast<size_t>(integer(step, "index", 0))));
    }

    StepResult openNotificationCenter(ScenarioRunner& runner, const json&) { return from(runner.phone().openNotificationCenter()); }

    StepResult tapNotification(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().tapNotification(static_cast<size_t>(integer(step, "index", 0))));
    }

    StepResult activator(ScenarioRunner& runner, const json& step) { return from(runner.phone().activator(text(step, "listener"))); }

    StepResult openApp(ScenarioRunner& runner, const json& step) { return from(runner.phone().openApp(text(step, "bundle"))); }

    StepResult quitApp(ScenarioRunner& runner, const json& step) { return from(runner.phone().quitApp(text(step, "bundle"))); }

    StepResult home(ScenarioRunner& runner, const json&) { return from(runner.phone().home()); }

    StepResult advance(ScenarioRunner& runner, const json& step)
    {
        return from(runner.phone().advance(number(step, "seconds")));
    }

    std::optional<foundation::PlistValue> plistScalar(const json& value)
    {
        if (value.is_string())
            return foundation::PlistValue(value.get<std::string>());
        if (value.is_boolean())
            return foundation::PlistValue(value.get<bool>());
        if (value.is_number_integer())
            return foundation::PlistValue(value.get<int64_t>());
        if (value.is_number())
            return foundation::PlistValue(value.get<double>());
        return std::nullopt; // null: the key goes
    }

    StepResult writePreferenceStep(ScenarioRunner& runner, const json& step)
    {
        std::string product = has(step, "product") ? text(step, "product") : "PLV";
        std::optional<std::string> error;
        runner.phone().performOnMain([&] {
            error = writePreference(product, text(step, "key"), plistScalar(step.at("value")));
            if (!error)
                foundation::NotificationCenter::darwin().post(reloadNotificationName(product));
        });
        if (error)
            return foundation::Error(*error);
        // Delivers the notification before the next step, without moving time.
        return from(runner.phone().advance(0));
    }

    StepResult dump(ScenarioRunner& runner, const json&)
    {
        return StepOutput { dumpPhone(runner.phone()) };
    }

    // MARK: The table

    constexpr StepField receiveSMSFields[] = {
        { "from", FieldType::String, Required, "the sender's number" },
        { "text", FieldType::String, Required, "the message" },
    };
    constexpr StepField receiveIMessageFields[] = {
        { "from", FieldType::String, Required, "the sender's number or e-mail address" },
        { "text", FieldType::String, Required, "the message" },
        { "picture", FieldType::String, Optional, "a file of the photo library (IMG_0002.JPG) or a device path" },
    };
    constexpr StepField receiveMailFields[] = {
        { "from", FieldType::String, Required, "the sender" },
        { "subject", FieldType::String, Required, "the subject" },
        { "body", FieldType::String, Required, "the text" },
    };
    constexpr StepField pointFields[] = {
        { "view", FieldType::String, Optional, "the name of a view on screen (its centre is touched)" },
        { "x", FieldType::Number, Optional, "a screen point, with y" },
        { "y", FieldType::Number, Optional, "a screen point, with x" },
    };
    constexpr StepField typeFields[] = {
        { "text", FieldType::String, Required, "typed into the first responder" },
    };
    constexpr StepField backspaceFields[] = {
        { "count", FieldType::Integer, Optional, "how many times (1)" },
    };
    constexpr StepField editMenuFields[] = {
        { "item", FieldType::String, Required, "the title of the item chosen (\"Attach picture\")" },
    };
    constexpr StepField swipeFields[] = {
        { "view", FieldType::String, Optional, "the view the finger starts on" },
        { "x", FieldType::Number, Optional, "the screen point the finger starts at, with y" },
        { "y", FieldType::Number, Optional, "the screen point the finger starts at, with x" },
        { "velocity", FieldType::Velocity, Required, "{\"x\", \"y\"} in points per second" },
    };
    constexpr StepField rotateFields[] = {
        { "orientation", FieldType::Integer, Required, "1 portrait, 2 upside down, 3 and 4 landscape" },
    };
    constexpr StepField indexFields[] = {
        { "index", FieldType::Integer, Optional, "newest first, from 0 (0)" },
    };
    constexpr StepField activatorFields[] = {
        { "listener", FieldType::String, Required, "the listener's registered name" },
    };
    constexpr StepField openAppFields[] = {
        { "bundle", FieldType::String, Required, "the application's bundle identifier" },
    };
    constexpr StepField advanceFields[] = {
        { "seconds", FieldType::Number, Required, "how far the clock moves (at most a week)" },
    };
    constexpr StepField writePreferenceFields[] = {
        { "key", FieldType::String, Required, "the preference key" },
        { "value", FieldType::Scalar, Required, "a string (as the settings application writes), number or boolean; null removes the key" },
        { "product", FieldType::String, Optional, "\"PLV\" (default) or \"RDL\"" },
    };

    constexpr StepDefinition table[] = {
        { "receive_sms", receiveSMSFields, receiveSMS, "an SMS arrives" },
        { "receive_imessage", receiveIMessageFields, receiveIMessage, "an iMessage arrives, optionally with a picture" },
        { "receive_mail", receiveMailFields, receiveMail, "an e-mail arrives" },
        { "tap", pointFields, tap, "a finger taps a named view or a screen point", viewOrPoint },
        { "type", typeFields, type, "the keyboard types text" },
        { "backspace", backspaceFields, backspace, "the keyboard deletes backwards", checkCount },
        { "edit_menu", editMenuFields, editMenu, "the edit menu opens on the text being edited and an item is chosen" },
        { "swipe", swipeFields, swipe, "a finger swipes from a view or a point", viewOrPoint },
        { "rotate", rotateFields, rotate, "the device turns", checkOrientation },
        { "lock", {}, lock, "the sleep button locks the phone" },
        { "unlock_bulletin", indexFields, unlockBulletin, "the lock bar of a lock-screen bulletin slides", checkIndex },
        { "open_notification_center", {}, openNotificationCenter, "the notification centre is pulled down" },
        { "tap_notification", indexFields, tapNotification, "a notification-centre row is tapped", checkIndex },
        { "activator", activatorFields, activator, "the Activator event for a listener fires" },
        { "open_app", openAppFields, openApp, "an application comes to the front" },
        { "quit_app", openAppFields, quitApp, "a running application is quit from the app switcher" },
        { "home", {}, home, "the home button" },
        { "advance", advanceFields, advance, "time passes", checkSeconds },
        { "write_preference", writePreferenceFields, writePreferenceStep, "the settings application changes a preference and posts the reload notification", checkProduct },
        { "dump", {}, dump, "prints the phone's state as one line of JSON" },
    };

} // namespace

std::span<const StepDefinition> ScenarioRunner::vocabulary()
{
    return table;
}

} // namespace simulator
