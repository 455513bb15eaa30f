#include "ProductInstall.h"

#include <foundation/AtomicFile.h>
#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>
#include <foundation/PropertyList.h>
#include <foundation/Strings.h>

#include <algorithm>
#include <cctype>

namespace simulator {

namespace {

    constexpr uint64_t maxInstalledFile = 256 * 1024 * 1024;

    foundation::Result<void> copyIntoDevice(const std::filesystem::path& source, const std::string& devicePath)
    {
        auto bytes = foundation::readWholeFile(source, maxInstalledFile);
        if (!bytes)
            return bytes.error().prefixed("cannot read "); // the reason names the file
        if (!foundation::writeDeviceFileAtomically(devicePath, *bytes))
            return foundation::Error("cannot write " + devicePath);
        return foundation::success();
    }

    std::vector<std::filesystem::path> imagesIn(const std::filesystem::path& folder)
    {
        std::vector<std::filesystem::path> images;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
            if (entry.is_regular_file(ec) && entry.path().extension() == ".png")
                images.push_back(entry.path());
        }
        std::sort(images.begin(), images.end());
        return images;
    }

    std::filesystem::path firstFound(const std::vector<std::filesystem::path>& searchDirs, const std::string& file)
    {
        for (const auto& folder : searchDirs) {
            std::error_code ec;
            if (!folder.empty() && std::filesystem::is_regular_file(folder / file, ec))
                return folder / file;
        }
        return {};
    }

    foundation::PlistValue springBoardFilter()
    {
        return foundation::PlistDictionary {
            { "Filter", foundation::PlistDictionary { { "Bundles", foundation::PlistArray { "com.apple.springboard" } } } },
        };
    }

} // namespace

foundation::Result<std::vector<InstallStep>> installImages(const std::filesystem::path& resourcesDir)
{
    std::vector<InstallStep> steps;
    for (std::string_view product : { "PLV", "RDL" }) {
        auto images = imagesIn(resourcesDir / product);
        if (images.empty())
            return foundation::Error("no " + std::string(product) + " images in " + (resourcesDir / product).string() + " (build the plv_resources target)");
        std::string folder = std::string(ApplicationSupportDevicePath) + "/" + std::string(product);
        if (!foundation::createDeviceDirectory(folder, foundation::Intermediates::Yes))
            return foundation::Error("cannot create " + folder);
        for (const auto& image : images) {
            std::string devicePath = folder + "/" + image.filename().string();
            TRY(copyIntoDevice(image, devicePath));
            steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });
        }
    }
    // The home screen's icons, each into its application's bundle. A build
    // without them shows plain tiles, so none is no failure.
    for (const auto& image : imagesIn(resourcesDir / "Applications")) {
        std::string bundle = "/Applications/" + image.stem().string() + ".app";
        std::string devicePath = bundle + "/Icon.png";
        if (!foundation::createDeviceDirectory(bundle, foundation::Intermediates::Yes))
            return foundation::Error("cannot create " + bundle);
        TRY(copyIntoDevice(image, devicePath));
        steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });
    }
    return steps;
}

ExtensionChoice defaultExtensionChoice()
{
    return { std::string(ExtensionNames[0]) };
}

foundation::Result<ExtensionChoice> parseExtensionChoice(std::string_view list)
{
    std::vector<std::string> wanted;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string name = foundation::lowercase(foundation::trimmed(list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        bool known = std::any_of(std::begin(ExtensionNames), std::end(ExtensionNames), [&](std::string_view candidate) { return foundation::lowercase(candidate) == name; });
        if (!known) {
            std::string choices;
            for (auto candidate : ExtensionNames)
                choices += (choices.empty() ? "" : ", ") + foundation::lowercase(candidate);
            return foundation::Error(name.empty() ? "an empty extension name (choose from " + choices + ")" : "no extension \"" + name + "\" (choose from " + choices + ")");
        }
        wanted.push_back(name);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    ExtensionChoice choice;
    for (auto candidate : ExtensionNames) {
        if (std::find(wanted.begin(), wanted.end(), foundation::lowercase(candidate)) != wanted.end())
            choice.emplace_back(candidate);
    }
    return choice;
}

std::string describeExtensionChoice(const ExtensionChoice& choice)
{
    std::string text;
    for (const auto& name : choice)
        text += (text.empty() ? "" : ",") + foundation::lowercase(name);
    return text;
}

std::optional<ExtensionChoice> readExtensionChoice()
{
    auto plist = foundation::readPlistDictionaryFile(foundation::hostPath(ExtensionChoiceDevicePath));
    if (!plist)
        return std::nullopt;
    const auto* list = plist->find("extensions");
    if (!list || !list->asArray())
        return std::nullopt;
    std::string names;
    for (const auto& entry : *list->asArray()) {
        if (const auto* name = entry.asString())
            names += (names.empty() ? "" : ",") + *name;
    }
    auto choice = parseExtensionChoice(names);
    if (!choice)
        return std::nullopt;
    return choice.releaseValue();
}

bool writeExtensionChoice(const ExtensionChoice& choice)
{
    foundation::PlistArray names;
    for (const auto& name : choice)
        names.push_back(foundation::lowercase(name));
    foundation::PlistValue plist = foundation::PlistDictionary { { "extensions", names } };
    return foundation::writeDeviceFileAtomically(ExtensionChoiceDevicePath, foundation::writeXmlPlist(plist));
}

foundation::Result<std::vector<InstallStep>> installExtensions(const std::vector<std::filesystem::path>& searchDirs, const ExtensionChoice& choice)
{
    std::vector<InstallStep> steps;
    if (!foundation::createDeviceDirectory(DynamicLibrariesDevicePath, foundation::Intermediates::Yes))
        return foundation::Error("cannot create " + std::string(DynamicLibrariesDevicePath));
    if (auto kelvane = firstFound(searchDirs, std::filesystem::path(KelvaneLibraryDevicePath).filename().string()); !kelvane.empty()) {
        if (!foundation::createDeviceDirectory("/usr/lib", foundation::Intermediates::Yes))
            return foundation::Error("cannot create /usr/lib");
        TRY(copyIntoDevice(kelvane, std::string(KelvaneLibraryDevicePath)));
        steps.push_back({ InstallStep::Outcome::Installed, std::string(KelvaneLibraryDevicePath), {} });
    }
    for (std::string_view name : ExtensionNames) {
        std::string library = std::string(name) + ".so";
        if (std::find(choice.begin(), choice.end(), name) == choice.end()) {
            std::string folder = std::string(DynamicLibrariesDevicePath) + "/";
            for (const auto& file : { folder + library, folder + std::string(name) + ".plist" }) {
                if (foundation::deviceFileExists(file) && !foundation::removeDeviceFile(file))
                    return foundation::Error("cannot remove " + file);
            }
            steps.push_back({ InstallStep::Outcome::Skipped, library, "not chosen" });
            continue;
        }
        std::filesystem::path found = firstFound(searchDirs, library);
        if (found.empty()) {
            steps.push_back({ InstallStep::Outcome::Skipped, library, "not built" });
            continue;
        }
        std::string devicePath = std::string(DynamicLibrariesDevicePath) + "/" + library;
        TRY(copyIntoDevice(found, devicePath));
        steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });

        std::string filterPath = std::string(DynamicLibrariesDevicePath) + "/" + std::string(name) + ".plist";
        std::filesystem::path filterBeside = found.parent_path() / (std::string(name) + ".plist");
        std::error_code ec;
        if (std::filesystem::is_regular_file(filterBeside, ec))
            TRY(copyIntoDevice(filterBeside, filterPath));
        else if (!foundation::writeDeviceFileAtomically(filterPath, foundation::writeXmlPlist(springBoardFilter())))
            return foundation::Error("cannot write " + filterPath);
        steps.push_back({ InstallStep::Outcome::Installed, filterPath, {} });
    }
    return steps;
}

foundation::Result<std::vector<InstallStep>> installApplications(const std::vector<std::filesystem::path>& searchDirs)
{
    std::vector<InstallStep> steps;
    for (std::string_view name : ApplicationNames) {
        std::string executable = std::string(name) + ".so";
        std::filesystem::path found;
        for (const auto& folder : searchDirs) {
            std::error_code ec;
            if (!folder.empty() && std::filesystem::is_regular_file(folder / executable, ec) && std::filesystem::is_regular_file(folder / "Info.plist", ec)) {
                found = folder;
                break;
            }
        }
        if (found.empty()) {
            steps.push_back({ InstallStep::Outcome::Skipped, std::string(name) + ".app", "not built" });
            continue;
        }
        std::string bundle = std::string(ApplicationsDevicePath) + "/" + std::string(name) + ".app";
        if (!foundation::createDeviceDirectory(bundle, foundation::Intermediates::Yes))
            return foundation::Error("cannot create " + bundle);
        for (auto [source, target] : { std::pair { executable, std::string(name) }, std::pair { std::string("Info.plist"), std::string("Info.plist") } }) {
            std::string devicePath = bundle + "/" + target;
            TRY(copyIntoDevice(found / source, devicePath));
            steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });
        }
    }
    return steps;
}

} // namespace simulator
