#include "ProductInstall.h"

#include <foundation/AtomicFile.h>
#include <foundation/DevicePath.h>
#include <foundation/PlistWriter.h>
#include <foundation/PropertyList.h>

#include <algorithm>

namespace simulator {

namespace {

    constexpr uint64_t maxInstalledFile = 256 * 1024 * 1024;

    bool copyIntoDevice(const std::filesystem::path& source, const std::string& devicePath, std::string& error)
    {
        auto bytes = foundation::readWholeFile(source, maxInstalledFile);
        if (!bytes) {
            error = "cannot read " + bytes.error; // the error names the file
            return false;
        }
        if (!foundation::writeDeviceFileAtomically(devicePath, *bytes.bytes)) {
            error = "cannot write " + devicePath;
            return false;
        }
        return true;
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

InstallResult installImages(const std::filesystem::path& resourcesDir)
{
    InstallResult result;
    for (std::string_view product : { "PLV", "RDL" }) {
        auto images = imagesIn(resourcesDir / product);
        if (images.empty()) {
            result.ok = false;
            result.error = "no " + std::string(product) + " images in " + (resourcesDir / product).string() + " (build the plv_resources target)";
            return result;
        }
        std::string folder = std::string(ApplicationSupportDevicePath) + "/" + std::string(product);
        if (!foundation::createDeviceDirectory(folder, foundation::Intermediates::Yes)) {
            result.ok = false;
            result.error = "cannot create " + folder;
            return result;
        }
        for (const auto& image : images) {
            std::string devicePath = folder + "/" + image.filename().string();
            if (!copyIntoDevice(image, devicePath, result.error)) {
                result.ok = false;
                return result;
            }
            result.steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });
        }
    }
    // The home screen's icons, each into its application's bundle. A build
    // without them shows plain tiles, so none is no failure.
    for (const auto& image : imagesIn(resourcesDir / "Applications")) {
        std::string bundle = "/Applications/" + image.stem().string() + ".app";
        std::string devicePath = bundle + "/Icon.png";
        if (!foundation::createDeviceDirectory(bundle, foundation::Intermediates::Yes)) {
            result.ok = false;
            result.error = "cannot create " + bundle;
            return result;
        }
        if (!copyIntoDevice(image, devicePath, result.error)) {
            result.ok = false;
            return result;
        }
        result.steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });
    }
    return result;
}

InstallResult installExtensions(const std::vector<std::filesystem::path>& searchDirs)
{
    InstallResult result;
    if (!foundation::createDeviceDirectory(DynamicLibrariesDevicePath, foundation::Intermediates::Yes)) {
        result.ok = false;
        result.error = "cannot create " + std::string(DynamicLibrariesDevicePath);
        return result;
    }
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
            result.steps.push_back({ InstallStep::Outcome::Skipped, library, "not built" });
            continue;
        }
        std::string devicePath = std::string(DynamicLibrariesDevicePath) + "/" + library;
        if (!copyIntoDevice(found, devicePath, result.error)) {
            result.ok = false;
            return result;
        }
        result.steps.push_back({ InstallStep::Outcome::Installed, devicePath, {} });

        std::string filterPath = std::string(DynamicLibrariesDevicePath) + "/" + std::string(name) + ".plist";
        std::filesystem::path filterBeside = found.parent_path() / (std::string(name) + ".plist");
        std::error_code ec;
        bool written = std::filesystem::is_regular_file(filterBeside, ec)
            ? copyIntoDevice(filterBeside, filterPath, result.error)
            : foundation::writeDeviceFileAtomically(filterPath, foundation::writeXmlPlist(springBoardFilter()));
        if (!written) {
            result.ok = false;
            if (result.error.empty())
                result.error = "cannot write " + filterPath;
            return result;
        }
        result.steps.push_back({ InstallStep::Outcome::Installed, filterPath, {} });
    }
    return result;
}

} // namespace simulator
