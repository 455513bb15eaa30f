#include "InstalledApplications.h"

#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>
#include <foundation/SystemLog.h>
#include <uikit/UIApplication.h>

#include <algorithm>
#include <dlfcn.h>
#include <mutex>
#include <set>

namespace springboard {

using runtime::Id;

namespace {

    std::string stringFor(const foundation::PlistValue& info, std::string_view key)
    {
        const foundation::PlistValue* value = info.find(key);
        const std::string* text = value ? value->asString() : nullptr;
        return text ? *text : std::string();
    }

    // An executable is opened once per process and never closed: its classes
    // stay registered with the runtime.
    bool openExecutable(const std::string& devicePath)
    {
        static std::mutex mutex;
        static std::set<std::string> opened;
        std::lock_guard lock(mutex);
        if (opened.contains(devicePath))
            return true;
        auto host = foundation::hostPath(devicePath);
        if (host.empty() || !::dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            const char* reason = host.empty() ? nullptr : ::dlerror();
            foundation::NSLog("SpringBoard: cannot open {}: {}", devicePath, reason ? reason : "no such file");
            return false;
        }
        opened.insert(devicePath);
        return true;
    }

    class HostedApplication final : public ApplicationContent {
    public:
        explicit HostedApplication(const ApplicationBundle& bundle)
        {
            if (!bundle.executable.empty() && !openExecutable(bundle.executable))
                return;
            m_application = uikit::launchApplication(bundle.principalClass, bundle.principalClass, uikit::SharedApplication::Keep);
            if (!m_application)
                foundation::NSLog("SpringBoard: {} has no application class {}", bundle.bundleIdentifier, bundle.principalClass);
        }

        ~HostedApplication() override
        {
            if (!m_application)
                return;
            if (auto shown = window())
                shown->setHidden(true);
            Id delegate = m_application->delegate();
            if (runtime::respondsTo(delegate, "applicationWillTerminate:"))
                runtime::send(delegate, "applicationWillTerminate:", Id(m_application));
        }

        runtime::Ref<uikit::UIWindow> window() override
        {
            Id delegate = m_application ? m_application->delegate() : runtime::nil;
            if (!runtime::respondsTo(delegate, "window"))
                return nullptr;
            return runtime::cast<uikit::UIWindow>(runtime::send<Id>(delegate, "window"));
        }

        // The application keeps its own screens up to date.
        void refresh() override { }

    private:
        runtime::Ref<uikit::UIApplication> m_application;
    };

} // namespace

std::vector<ApplicationBundle> findInstalledApplications()
{
    std::vector<ApplicationBundle> bundles;
    auto folder = foundation::hostPath(ApplicationsFolder);
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec))
        return bundles;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".app" && entry.is_directory(ec))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        std::string bundlePath = std::string(ApplicationsFolder) + "/" + name;
        auto skip = [&](std::string_view reason) { foundation::NSLog("SpringBoard: not installing {}: {}", bundlePath, reason); };
        // A folder without an Info.plist holds only what the phone keeps for
        // a stock application (its icon), and is no bundle to install.
        if (!foundation::deviceFileExists(bundlePath + "/Info.plist"))
            continue;
        auto info = foundation::readPlistDictionaryFile(foundation::hostPath(bundlePath + "/Info.plist"));
        if (!info) {
            skip("no readable Info.plist");
            continue;
        }
        ApplicationBundle bundle;
        bundle.bundleIdentifier = stringFor(*info, "CFBundleIdentifier");
        bundle.displayName = stringFor(*info, "CFBundleDisplayName");
        if (bundle.displayName.empty())
            bundle.displayName = stringFor(*info, "CFBundleName");
        if (auto principal = stringFor(*info, "NSPrincipalClass"); !principal.empty())
            bundle.principalClass = principal;
        std::string executable = stringFor(*info, "CFBundleExecutable");
        if (bundle.bundleIdentifier.empty()) {
            skip("Info.plist names no CFBundleIdentifier");
            continue;
        }
        if (executable.empty() || executable.find('/') != std::string::npos) {
            skip("Info.plist names no executable in the bundle");
            continue;
        }
        bundle.executable = bundlePath + "/" + executable;
        if (!foundation::deviceFileExists(bundle.executable)) {
            skip("the executable " + executable + " is missing");
            continue;
        }
        if (bundle.displayName.empty())
            bundle.displayName = executable;
        bundles.push_back(std::move(bundle));
    }
    return bundles;
}

runtime::Ref<SBApplication> makeHostedApplication(ApplicationBundle bundle)
{
    std::string identifier = bundle.bundleIdentifier;
    std::string name = bundle.displayName;
    return SBApplication::withIdentifier(std::move(identifier), std::move(name), [bundle = std::move(bundle)] {
        return std::make_unique<HostedApplication>(bundle);
    });
}

} // namespace springboard
