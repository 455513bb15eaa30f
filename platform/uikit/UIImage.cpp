#include "UIImage.h"

#include <foundation/DevicePath.h>

#include <fmt/format.h>

namespace uikit {

using runtime::Class;
using runtime::Id;
using runtime::Ref;

namespace {

    // Camera pictures of the era are a few megabytes; anything far larger is not one.
    constexpr uint64_t MaxImageFileBytes = 64ull * 1024 * 1024;

} // namespace

void UIImage::registerMethods(runtime::ClassBuilder<UIImage>& b)
{
    b.classMethod("imageWithContentsOfFile:", [](Class&, const std::string& path) -> Id { return imageWithContentsOfFile(path); });
    b.classMethod("imageWithData:", [](Class&, const std::vector<uint8_t>& bytes) -> Id { return imageWithData(bytes); });
    b.method("initWithContentsOfFile:", [](UIImage& self, const std::string& path) -> Id {
        return self.loadContentsOfFile(path) ? self.self() : runtime::nil;
    });
    b.method("initWithData:", [](UIImage& self, const std::vector<uint8_t>& bytes) -> Id {
        return self.loadData(bytes) ? self.self() : runtime::nil;
    });
    b.method<&UIImage::size>("size");
    b.method<&UIImage::scale>("scale");
}

bool UIImage::loadContentsOfFile(const std::string& devicePath)
{
    auto read = foundation::readDeviceFile(devicePath, MaxImageFileBytes);
    if (!read)
        return false;
    if (!loadData(read.releaseValue()))
        return false;
    m_path = devicePath;
    return true;
}

bool UIImage::loadData(std::vector<uint8_t> bytes)
{
    auto header = readImageHeader(bytes);
    if (!header)
        return false;
    m_header = *header;
    m_encoded = std::move(bytes);
    m_bitmap.reset();
    m_decodeFailed = false;
    m_path.reset();
    return true;
}

Ref<UIImage> UIImage::imageWithContentsOfFile(const std::string& devicePath)
{
    auto image = runtime::make<UIImage>();
    return image->loadContentsOfFile(devicePath) ? image : nullptr;
}

Ref<UIImage> UIImage::imageWithData(const std::vector<uint8_t>& bytes)
{
    auto image = runtime::make<UIImage>();
    return image->loadData(bytes) ? image : nullptr;
}

Ref<UIImage> UIImage::imageWithBitmap(Bitmap bitmap)
{
    if (bitmap.width == 0 || bitmap.height == 0 || bitmap.rgba.size() != static_cast<size_t>(bitmap.width) * bitmap.height * 4)
        return nullptr;
    auto image = runtime::make<UIImage>();
    image->m_header = { bitmap.width, bitmap.height };
    image->m_bitmap = std::move(bitmap);
    return image;
}

const Bitmap* UIImage::bitmap() const
{
    if (!m_bitmap && !m_decodeFailed) {
        m_bitmap = decodeImage(m_encoded);
        m_decodeFailed = !m_bitmap;
    }
    return m_bitmap ? &*m_bitmap : nullptr;
}

std::string UIImage::description() const
{
    return fmt::format("<UIImage: {}x{}{}>", m_header.width, m_header.height, m_path ? " " + *m_path : std::string());
}

std::vector<uint8_t> UIImageJPEGRepresentation(const Ref<UIImage>& image, double quality)
{
    if (!image)
        return {};
    const Bitmap* bitmap = image->bitmap();
    if (!bitmap)
        return {};
    return encodeJpeg(*bitmap, quality).value_or(std::vector<uint8_t> {});
}

std::vector<uint8_t> UIImagePNGRepresentation(const Ref<UIImage>& image)
{
    if (!image)
        return {};
    const Bitmap* bitmap = image->bitmap();
    if (!bitmap)
        return {};
    return encodePng(*bitmap).value_or(std::vector<uint8_t> {});
}

} // namespace uikit
