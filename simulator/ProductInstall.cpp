#include "ProductInstall.h"

#include <foundation/AtomicFile.h>
#include <foundation/DevicePath.h>
#include <foundation/PlistWriter.h>
#include <foundation/PropertyList.h>

#include <algorithm>

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
        std::string folder = std::string(applicationSupportDevicePath) + "/" + std::string(product);
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

foundation::Result<std::vector<InstallStep>> installExtensions(const std::vector<std::filesystem::path>& searchDirs)
{
    std::vector<InstallStep> steps;
    if (!foundation::createDeviceDirectory(dynamicLibrariesDevicePath, foundation::Intermediates::Yes))
        return foundation::Error("cannot create " + std::string(dynamicLibrariesDevicePath));
    for (std::string_view name : extensionNames) {
        std::string library = std::string(name) + ".so";
        std::filesystem::path found;
        for (const auto& folder : searchDirs) {
            std::error_code ec;
            if (!folder.empty() && std::filesystem::is_regular_file(folder / library, ec)) {
                found = folder / library;
                break;
            }
        }
        if (found.empty()) {
            steps.push_back({ InstallStep::Outcome::Skipped, library, "not built" });
            continue;
        }
        std::string devicePath = std::string(dynamicLibrariesDevicePath) + "/" + library;
        TRY(copyIntoDevice(found, devicePath));
        steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });

        std::string filterPath = std::string(dynamicLibrariesDevicePath) + "/" + std::string(name) + ".plist";
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

} // namespace simulator
