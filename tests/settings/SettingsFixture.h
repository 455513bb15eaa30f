// A real phone with PLVSettings installed in-process (its code linked into
// the test) and opened from the home screen, on a fresh device. Helpers read
// the preferences and favourites files as the extensions would, count the
// reload notifications, and reach the application's controllers through the
// screen, as a person sees them.
#pragma once

#include "springboard/PhoneFixture.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/DevicePath.h>
#include <foundation/NotificationCenter.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>
#include <settings/PLVSettings.h>
#include <settings/RootViewController.h>
#include <uikit/UIKit.h>

#include <optional>
#include <string>

namespace settings_test {

using runtime::Id;
using runtime::Ref;
using runtime::send;

class SettingsTest : public springboard_test::PhoneWithOneContact {
protected:
    void TearDown() override
    {
        if (m_reloadObserver)
            foundation::NotificationCenter::darwin().removeObserver(*m_reloadObserver);
        springboard_test::PhoneWithOneContact::TearDown();
    }

    phone::Phone& bootPhone()
    {
        plvsettings::registerPLVSettingsClasses();
        phone::BootOptions options;
        options.loadExtensions = false;
        options.inProcessApplications.push_back({ std::string(plvsettings::BundleIdentifier), "PLVSettings", std::string(plvsettings::PrincipalClass), "" });
        auto& booted = boot(std::move(options));
        if (m_reloadObserver)
            foundation::NotificationCenter::darwin().removeObserver(*m_reloadObserver);
        m_reloadObserver = foundation::NotificationCenter::darwin().addObserver(std::string(kelvane::PLVReloadNotification), [this](const std::string&) { ++m_reloads; });
        return booted;
    }

    // Boots and taps the icon on the home screen.
    void openSettings()
    {
        bootPhone();
        auto opened = phone().tapView("icon-" + std::string(plvsettings::BundleIdentifier));
        ASSERT_TRUE(opened) << opened.reason();
        settle();
        // The screen is drawn, as a person sees it.
        phone().screenSnapshot();
    }

    // Lets animations and notifications finish.
    void settle() { phone().advance(1); }

    void tap(std::string_view name)
    {
        auto result = phone().tapView(name);
        ASSERT_TRUE(result) << result.reason();
        settle();
    }

    Ref<uikit::UIWindow> settingsWindow()
    {
        for (auto& window : uikit::visibleWindows()) {
            if (window->name() == std::optional<std::string>("plvSettings"))
                return window;
        }
        return nullptr;
    }

    Ref<uikit::UINavigationController> navigation()
    {
        auto window = settingsWindow();
        if (!window || window->subviews().empty())
            return nullptr;
        return runtime::cast<uikit::UINavigationController>(window->subviews().front()->viewController());
    }

    Ref<plvsettings::RootViewController> root()
    {
        auto nav = navigation();
        return nav && !nav->viewControllers().empty() ? runtime::cast<plvsettings::RootViewController>(nav->viewControllers().front()) : nullptr;
    }

    // What the application presents over its screens (the navigation
    // controller presents for the controllers inside it).
    Ref<uikit::UIViewController> presented()
    {
        auto nav = navigation();
        return nav ? nav->modalViewController() : nullptr;
    }

    template <class T>
    Ref<T> topController()
    {
        auto nav = navigation();
        return nav ? runtime::cast<T>(nav->topViewController()) : nullptr;
    }

    Ref<uikit::UIView> viewNamed(std::string_view name)
    {
        auto windows = uikit::visibleWindows();
        for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
            if (auto view = (*window)->viewNamed(name))
                return view;
        }
        return nullptr;
    }

    // The file as the extensions read it; nothing when it is not there.
    static std::optional<foundation::PlistDictionary> readDictionary(std::string_view devicePath)
    {
        auto file = foundation::readPlistDictionaryFile(foundation::hostPath(devicePath));
        if (!file)
            return std::nullopt;
        return *file->asDictionary();
    }
    static std::optional<foundation::PlistDictionary> preferencesFile() { return readDictionary(kelvane::PLVPreferencesPath); }

    static std::optional<std::string> preference(std::string_view key)
    {
        auto file = preferencesFile();
        const foundation::PlistValue* value = file ? file->find(key) : nullptr;
        const std::string* text = value ? value->asString() : nullptr;
        return text ? std::optional<std::string>(*text) : std::nullopt;
    }

    static void writeFile(std::string_view devicePath, const foundation::PlistValue& value)
    {
        foundation::createDeviceDirectory("/var/mobile/Library/PLV", foundation::Intermediates::Yes);
        ASSERT_TRUE(foundation::writeDeviceFileAtomically(devicePath, foundation::writeXmlPlist(value)));
    }

    int m_reloads { 0 };
    std::optional<foundation::NotificationCenter::Token> m_reloadObserver;
};

} // namespace settings_test
