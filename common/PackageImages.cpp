#include "PackageImages.h"

#include <foundation/DevicePath.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace common {

namespace {

    // What identifies the file an image was read from: a file replaced or
    // rewritten since differs in one of these.
    struct FileIdentity {
        dev_t device {};
        ino_t inode {};
        off_t size {};
        struct timespec modified { };

        bool operator==(const FileIdentity& other) const
        {
            return device == other.device && inode == other.inode && size == other.size && modified.tv_sec == other.modified.tv_sec
                && modified.tv_nsec == other.modified.tv_nsec;
        }
    };

    struct Kept {
        std::string hostPath;
        FileIdentity file;
        runtime::Ref<uikit::UIImage> image;
    };

    struct Cache {
        std::mutex lock;
        // By device root and device path: a device root set anew (another
        // phone) never meets the images of the last one. A root once set is
        // never freed, so its address names it.
        std::map<std::pair<const std::filesystem::path*, std::string>, Kept, std::less<>> images;
    };

    Cache& cache()
    {
        static auto* kept = new Cache; // never destroyed: images may outlive static destruction
        return *kept;
    }

    std::optional<FileIdentity> identityOf(const std::string& hostPath)
    {
        struct stat info { };
        if (hostPath.empty() || ::stat(hostPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        return FileIdentity { info.st_dev, info.st_ino, info.st_size, info.st_mtim };
    }

} // namespace

runtime::Ref<uikit::UIImage> packageImage(std::string_view devicePath)
{
    auto& c = cache();
    std::lock_guard guard(c.lock);
    auto key = std::make_pair(&foundation::deviceRoot(), std::string(devicePath));
    auto it = c.images.find(key);
    if (it == c.images.end())
        it = c.images.emplace(key, Kept { foundation::hostPath(devicePath).native(), {}, nullptr }).first;
    Kept& kept = it->second;
    auto file = identityOf(kept.hostPath);
    if (!file)
        kept.image = nullptr;
    else if (!kept.image || !(kept.file == *file)) {
        kept.image = uikit::UIImage::imageWithContentsOfFile(std::string(devicePath));
        kept.file = *file;
    }
    return kept.image;
}

} // namespace common
