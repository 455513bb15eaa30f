#include "DevicePath.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <system_error>

namespace foundation {

namespace {

    // Every root ever set is kept, so that references from deviceRoot() never
    // dangle; a process sets it a handful of times at most.
    struct RootRegistry {
        std::mutex mutex;
        std::deque<std::filesystem::path> roots { std::filesystem::path() };
        std::atomic<const std::filesystem::path*> current { &roots.front() };
    };

    RootRegistry& registry()
    {
        static RootRegistry instance;
        return instance;
    }

}

void setDeviceRoot(std::filesystem::path root)
{
    auto& roots = registry();
    std::lock_guard lock(roots.mutex);
    roots.roots.push_back(std::move(root));
    roots.current.store(&roots.roots.back(), std::memory_order_release);
}

const std::filesystem::path& deviceRoot()
{
    return *registry().current.load(std::memory_order_acquire);
}

std::filesystem::path hostPath(std::string_view devicePath)
{
    auto& root = deviceRoot();
    if (root.empty() || devicePath.empty() || devicePath.front() != '/'
        || devicePath.find('\0') != std::string_view::npos)
        return {};
    std::vector<std::string_view> components;
    size_t i = 0;
    while (i < devicePath.size()) {
        size_t end = devicePath.find('/', i);
        if (end == std::string_view::npos)
            end = devicePath.size();
        auto component = devicePath.substr(i, end - i);
        i = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            if (components.empty())
                return {};
            components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    std::filesystem::path result = root;
    for (auto component : components)
        result /= component;
    return result;
}

bool deviceFileExists(std::string_view devicePath)
{
    auto path = hostPath(devicePath);
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

bool deviceDirectoryExists(std::string_view devicePath)
{
    auto path = hostPath(devicePath);
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::optional<uint64_t> deviceFileSize(std::string_view devicePath)
{
    auto path = hostPath(devicePath);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    auto size = std::filesystem::file_size(path, error);
    if (error)
        return std::nullopt;
    return size;
}

bool removeDeviceFile(std::string_view devicePath)
{
    auto path = hostPath(devicePath);
    std::error_code error;
    // Never the root itself: "/" maps onto it.
    if (path.empty() || path == deviceRoot())
        return false;
    return std::filesystem::remove(path, error) && !error;
}

bool createDeviceDirectory(std::string_view devicePath, Intermediates intermediates)
{
    auto path = hostPath(devicePath);
    if (path.empty())
        return false;
    std::error_code error;
    if (intermediates == Intermediates::Yes)
        std::filesystem::create_directories(path, error);
    else
        std::filesystem::create_directory(path, error);
    return std::filesystem::is_directory(path, error);
}

Result<std::vector<uint8_t>> readDeviceFile(std::string_view devicePath, uint64_t maxBytes)
{
    auto path = hostPath(devicePath);
    if (path.empty())
        return Error(std::string(devicePath) + ": not a device path");
    return readWholeFile(path, maxBytes);
}

bool writeDeviceFileAtomically(std::string_view devicePath, std::span<const uint8_t> bytes)
{
    auto path = hostPath(devicePath);
    return !path.empty() && writeFileAtomically(path, bytes);
}

bool writeDeviceFileAtomically(std::string_view devicePath, std::string_view bytes)
{
    auto path = hostPath(devicePath);
    return !path.empty() && writeFileAtomically(path, bytes);
}

}
