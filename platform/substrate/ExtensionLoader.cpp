#include "ExtensionLoader.h"

#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>
#include <foundation/SystemLog.h>
#include <runtime/Runtime.h>

#include <algorithm>
#include <dlfcn.h>
#include <mutex>

namespace substrate {

namespace {

    std::mutex s_loadedMutex;
    std::vector<std::string> s_loaded;

    bool listContains(const foundation::PlistValue* list, const std::function<bool(const std::string&)>& matches)
    {
        if (!list || !list->asArray())
            return false;
        for (auto& entry : *list->asArray()) {
            if (auto* text = entry.asString(); text && matches(*text))
                return true;
        }
        return false;
    }

    bool isLibraryName(const std::filesystem::path& path)
    {
        auto extension = path.extension().string();
        return extension == ".so" || extension == ".dylib";
    }

} // namespace

bool filterNamesHost(const foundation::PlistValue& filter, const HostProcess& host)
{
    if (!filter.isDictionary())
        return false;
    if (listContains(filter.find("Bundles"), [&](const std::string& bundle) { return bundle == host.bundleIdentifier; }))
        return true;
    if (listContains(filter.find("Executables"), [&](const std::string& executable) { return executable == host.executableName; }))
        return true;
    return listContains(filter.find("Classes"), [](const std::string& name) { return runtime::classNamed(name) != nullptr; });
}

LoadReport loadExtensions(const HostProcess& host)
{
    LoadReport report;
    auto folder = foundation::hostPath(DynamicLibrariesFolder);
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error))
        return report;

    std::vector<std::filesystem::path> libraries;
    for (auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) && isLibraryName(entry.path()))
            libraries.push_back(entry.path());
    }
    // The framework loads in name order; extensions that hook the same
    // method rely on it for the order of their chain.
    std::sort(libraries.begin(), libraries.end(), [](auto& a, auto& b) { return a.filename().string() < b.filename().string(); });

    for (auto& library : libraries) {
        std::string name = library.filename().string();
        std::string devicePath = std::string(DynamicLibrariesFolder) + "/" + name;
        auto skip = [&](std::string reason) {
            foundation::NSLog("Substrate: not loading {}: {}", devicePath, reason);
            report.skipped.push_back({ name, std::move(reason) });
        };

        auto filterFile = library;
        filterFile.replace_extension(".plist");
        auto plist = foundation::readPlistDictionaryFile(filterFile);
        if (!plist) {
            skip(std::filesystem::exists(filterFile, error) ? "unreadable filter (" + plist.reason() + ")" : "no filter property list");
            continue;
        }
        const foundation::PlistValue* filter = plist->find("Filter");
        if (!filter) {
            skip("the property list has no Filter");
            continue;
        }
        if (!filterNamesHost(*filter, host)) {
            skip("the filter does not name " + host.bundleIdentifier);
            continue;
        }

        foundation::NSLog("Substrate: loading {}", devicePath);
        void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_GLOBAL);
        if (!handle) {
            const char* reason = ::dlerror();
            skip(reason ? reason : "dlopen failed");
            continue;
        }
        // The handle is never closed: the library's hooks stay installed.
        report.loaded.push_back(name);
        std::lock_guard lock(s_loadedMutex);
        if (std::find(s_loaded.begin(), s_loaded.end(), devicePath) == s_loaded.end())
            s_loaded.push_back(devicePath);
    }
    return report;
}

std::vector<std::string> loadedExtensionPaths()
{
    std::lock_guard lock(s_loadedMutex);
    return s_loaded;
}

} // namespace substrate
