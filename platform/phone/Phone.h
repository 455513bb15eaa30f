// The whole phone behind one object, and the one place that knows every
// library of it: it boots the platform (device root, main run loop, system
// log, every library's classes, the Address Book behind message names, the
// extension libraries, the installed applications, SpringBoard and its home
// screen; Boot.cpp) and offers one method per thing a person can do to a
// phone (Phone.cpp). The simulator
// and the scenario tests drive the phone only through this class.
//
// Every action answers an ActionResult: done, or a short English reason saying
// why the action made no sense on the phone as it is ("no view named
// \"sendButton\" on screen", "the phone is not locked"). An action never
// throws. The phone's state belongs to its main run loop: an action called
// from another thread (the simulator's web server) is carried over to the
// main run loop and waits there until it has run.
//
// One phone lives in a process at a time, because the runtime's classes and
// the UI globals are the process's own.
#pragma once

#include <foundation/Result.h>
#include <springboard/InstalledApplications.h>
#include <foundation/RunLoop.h>
#include <uikit/Geometry.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phone {

struct BootOptions {
    // The host folder that holds the device's files (<root>/var/mobile/...).
    std::filesystem::path deviceRoot {};
    // Virtual for tests and scenarios (time moves only through advance()),
    // System for the interactive simulator.
    foundation::ClockKind clock { foundation::ClockKind::Virtual };
    // Load the extension libraries found in
    // /Library/MobileSubstrate/DynamicLibraries whose filter names SpringBoard.
    bool loadExtensions { true };
    // Extensions installed in-process (tests): each runs at the moment the
    // libraries load, in order, before SpringBoard finishes launching.
    std::vector<std::function<void()>> inProcessExtensions {};
    // Applications whose code is linked into the process (tests), installed
    // beside the bundles found in /Applications (a bundle of the same
    // identifier gives way to them).
    std::vector<springboard::ApplicationBundle> inProcessApplications {};
};

struct ActionDone {
    // The database row a receive action wrote (sms.db ROWID), when there is one.
    std::optional<int64_t> recordID {};
};
using ActionResult = foundation::Result<ActionDone>;

class Phone {
public:
    // Boots a phone over the device root: sets the root, configures the main
    // run loop with the clock (the calling thread becomes the main thread),
    // sends the runtime's diagnostics to the system log, registers every
    // platform library's classes, names message senders from the Address
    // Book, loads the extensions (so their hooks are in place), creates
    // SpringBoard, the screen and the home screen, and sends SpringBoard
    // `applicationDidFinishLaunching:`. Fails when another phone is running
    // or the device root cannot be used.
    static foundation::Result<std::unique_ptr<Phone>> boot(BootOptions);

    // Shuts the phone down: windows, shared objects and pending timers go.
    // Loaded extension libraries stay in the process (they cannot be
    // unloaded safely), as do the hooks they installed.
    ~Phone();
    Phone(const Phone&) = delete;
    Phone& operator=(const Phone&) = delete;

    // Incoming traffic. Each writes the message through the data layer
    // (sms.db, or the mail store) and posts the bulletin the phone posts, so
    // it reaches the banner, the notification centre and, when locked, the
    // lock screen. `picture` is a device path to a JPEG or PNG file.
    ActionResult receiveSMS(const std::string& from, const std::string& text);
    ActionResult receiveIMessage(const std::string& from, const std::string& text, const std::optional<std::string>& picture = std::nullopt);
    ActionResult receiveMail(const std::string& from, const std::string& subject, const std::string& body);

    // Touches. A point is in screen coordinates (portrait, 320 × 480); a view
    // is found by its name among the visible windows, front first, and
    // tapped at its centre.
    ActionResult tap(uikit::CGPoint);
    ActionResult tapView(std::string_view name);
    // The keyboard: into the first responder. Fails when nothing is editing.
    ActionResult type(const std::string& text);
    ActionResult backspace(int count = 1);
    // A swipe starting on the named view (at its centre) or at a screen
    // point, with a velocity in screen points per second.
    ActionResult swipe(std::string_view viewName, uikit::CGPoint velocity);
    ActionResult swipe(uikit::CGPoint start, uikit::CGPoint velocity);

    // The device. Orientation 1 portrait, 2 upside down, 3 and 4 landscape.
    ActionResult rotate(int64_t orientation);
    // The sleep button: the screen locks (SBAwayController `lock`).
    ActionResult lock();
    // Slides the lock bar of a lock-screen bulletin, newest first (index 0).
    ActionResult unlockBulletin(size_t index);
    // Pulls the notification centre down; tapNotification taps one of its
    // rows, newest first.
    ActionResult openNotificationCenter();
    ActionResult tapNotification(size_t index);
    // Raises the Activator event for a listener registered under this name.
    ActionResult activator(const std::string& listenerName);
    // Brings an application to the front ("com.apple.MobileSMS",
    // "com.apple.mobilemail"); home() goes back to the home screen.
    ActionResult openApp(const std::string& bundleID);
    ActionResult home();
    // Quits a running application from the app switcher (SBApplication
    // `kill`); one in front goes to the background first, as the home button
    // that opens the switcher sends it.
    ActionResult quitApp(const std::string& bundleID);
    // Moves the clock on, running every timer that falls due. With the
    // system clock it waits that long while the main run loop turns.
    ActionResult advance(double seconds);

    // SpringBoard's state (springboard/SpringBoardSnapshot.h gives the format).
    nlohmann::json springboardState();
    // The visible windows and their view trees as UIKit's snapshot gives them.
    nlohmann::json screenSnapshot();
    // The same snapshot as compact JSON text, written without the tree.
    std::string screenSnapshotJSON();
    // Both: {"springboard": springboardState(), "screen": screenSnapshot()}.
    nlohmann::json state();

    foundation::RunLoop& runLoop();
    // Runs `work` on the main run loop and waits for it (at once when called
    // on the main thread).
    void performOnMain(const std::function<void()>& work);

    const BootOptions& options() const { return m_options; }

private:
    explicit Phone(BootOptions);
    foundation::Result<void> start();
    ActionResult onMain(const std::function<ActionResult()>&);

    struct State;
    BootOptions m_options;
    std::unique_ptr<State> m_state;
};

} // namespace phone
