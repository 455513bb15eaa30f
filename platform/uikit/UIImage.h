// A picture loaded from a device file or from bytes. Loading reads the file
// and checks that it is a JPEG or PNG picture (a missing or unreadable file
// gives nil, as on the phone); the pixels are decoded only when someone asks
// for them, such as `UIImageJPEGRepresentation`. An image remembers the
// device path it came from, which is what the snapshot shows.
#pragma once

#include "Geometry.h"
#include "ImageCodec.h"

#include <runtime/Runtime.h>

#include <optional>
#include <string>
#include <vector>

namespace uikit {

class UIImage : public runtime::Object {
    PLV_CLASS(UIImage, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIImage>&);

    static runtime::Ref<UIImage> imageWithContentsOfFile(const std::string& devicePath);
    static runtime::Ref<UIImage> imageWithData(const std::vector<uint8_t>& bytes);
    // For images drawn in memory (tests, thumbnails).
    static runtime::Ref<UIImage> imageWithBitmap(Bitmap);

    // `initWithContentsOfFile:`: self, or nil when the file is not a picture.
    bool loadContentsOfFile(const std::string& devicePath);
    bool loadData(std::vector<uint8_t> bytes);

    CGSize size() const { return { static_cast<double>(m_header.width), static_cast<double>(m_header.height) }; }
    double scale() const { return 1; }
    // The device path the image was loaded from; empty for images made from data.
    const std::optional<std::string>& path() const { return m_path; }
    const std::vector<uint8_t>& encodedBytes() const { return m_encoded; }
    // Decoded on first use; null when the bytes do not decode after all.
    const Bitmap* bitmap() const;

    std::string description() const override;

private:
    std::optional<std::string> m_path;
    std::vector<uint8_t> m_encoded;
    ImageHeader m_header;
    mutable std::optional<Bitmap> m_bitmap;
    mutable bool m_decodeFailed { false };
};

// The JPEG bytes of the picture at quality 0…1; empty for nil or a picture
// that cannot be encoded.
std::vector<uint8_t> UIImageJPEGRepresentation(const runtime::Ref<UIImage>&, double quality);
std::vector<uint8_t> UIImagePNGRepresentation(const runtime::Ref<UIImage>&);

} // namespace uikit
