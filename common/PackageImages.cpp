#include "PackageImages.h"

#include <foundation/DevicePath.h>

#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>

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
        FileIdentity file;
        runtime::Ref<uikit::UIImage> image;
    };

    struct Cache {
        std::mutex lock;
        // By host path: a device root set anew (another phone) never meets
        // the images of the last one.
        std::map<std::string, Kept, std::less<>> images;
    };

    Cache& cache()
    {
        static auto* kept = new Cache; // never destroyed: images may outlive static destruction
        return *kept;
    }

} // namespace

runtime::Ref<uikit::UIImage> packageImage(std::string_view devicePath)
{
    auto host = foundation::hostPath(devicePath);
    struct stat info { };
    if (host.empty() || ::stat(host.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    FileIdentity file { info.st_dev, info.st_ino, info.st_size, info.st_mtim };
    auto& c = cache();
    std::lock_guard guard(c.lock);
    if (auto it = c.images.find(host.native()); it != c.images.end() && it->second.file == file)
        return it->second.image;
    auto image = uikit::UIImage::imageWithContentsOfFile(std::string(devicePath));
    if (image)
        c.images[host.native()] = Kept { file, image };
    else
        c.images.erase(host.native());
    return image;
}

} // namespace common
