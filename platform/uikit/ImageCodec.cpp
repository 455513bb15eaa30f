#include "ImageCodec.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace uikit {

namespace {

    // Pictures larger than this are refused rather than allocated.
    constexpr uint64_t MaxPixels = 64ull * 1024 * 1024;

    struct JpegError {
        jpeg_error_mgr manager;
        std::jmp_buf jump;
    };

    void jpegErrorExit(j_common_ptr info)
    {
        auto* error = reinterpret_cast<JpegError*>(info->err);
        std::longjmp(error->jump, 1);
    }

    void jpegSilence(j_common_ptr, int) { }

    bool sizeAcceptable(uint64_t width, uint64_t height)
    {
        return width > 0 && height > 0 && width * height <= MaxPixels;
    }

    // libjpeg reports errors by jumping back here; nothing with a destructor
    // lives between the jump and its target.
    bool decodeJpegInto(std::span<const uint8_t> bytes, bool headerOnly, ImageHeader& header, std::vector<uint8_t>& rgba)
    {
        jpeg_decompress_struct info;
        JpegError error;
        info.err = jpeg_std_error(&error.manager);
        error.manager.error_exit = jpegErrorExit;
        error.manager.emit_message = jpegSilence;
        if (setjmp(error.jump)) {
            jpeg_destroy_decompress(&info);
            return false;
        }
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || !sizeAcceptable(info.image_width, info.image_height)) {
            jpeg_destroy_decompress(&info);
            return false;
        }
        header = { info.image_width, info.image_height };
        if (headerOnly) {
            jpeg_destroy_decompress(&info);
            return true;
        }
        info.out_color_space = JCS_EXT_RGBA;
        jpeg_start_decompress(&info);
        rgba.resize(static_cast<size_t>(info.output_width) * info.output_height * 4);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = rgba.data() + static_cast<size_t>(info.output_scanline) * info.output_width * 4;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        return true;
    }

    bool decodePngInto(std::span<const uint8_t> bytes, bool headerOnly, ImageHeader& header, std::vector<uint8_t>& rgba)
    {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
            return false;
        if (!sizeAcceptable(image.width, image.height)) {
            png_image_free(&image);
            return false;
        }
        header = { image.width, image.height };
        if (headerOnly) {
            png_image_free(&image);
            return true;
        }
        image.format = PNG_FORMAT_RGBA;
        rgba.resize(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
            png_image_free(&image);
            return false;
        }
        return true;
    }

    bool decode(std::span<const uint8_t> bytes, bool headerOnly, ImageHeader& header, std::vector<uint8_t>& rgba)
    {
        switch (sniffImageFormat(bytes)) {
        case ImageFormat::Jpeg:
            return decodeJpegInto(bytes, headerOnly, header, rgba);
        case ImageFormat::Png:
            return decodePngInto(bytes, headerOnly, header, rgba);
        case ImageFormat::Unknown:
            break;
        }
        return false;
    }

    bool encodeJpegInto(const Bitmap& bitmap, int quality, unsigned char*& buffer, unsigned long& size, const std::vector<uint8_t>& rgb)
    {
        jpeg_compress_struct info;
        JpegError error;
        info.err = jpeg_std_error(&error.manager);
        error.manager.error_exit = jpegErrorExit;
        error.manager.emit_message = jpegSilence;
        if (setjmp(error.jump)) {
            jpeg_destroy_compress(&info);
            return false;
        }
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = bitmap.width;
        info.image_height = bitmap.height;
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            auto* row = const_cast<JSAMPLE*>(rgb.data() + static_cast<size_t>(info.next_scanline) * bitmap.width * 3);
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        return true;
    }

} // namespace

ImageFormat sniffImageFormat(std::span<const uint8_t> bytes)
{
    static constexpr uint8_t pngSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    if (bytes.size() >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff)
        return ImageFormat::Jpeg;
    if (bytes.size() >= 8 && std::equal(pngSignature, pngSignature + 8, bytes.begin()))
        return ImageFormat::Png;
    return ImageFormat::Unknown;
}

std::optional<ImageHeader> readImageHeader(std::span<const uint8_t> bytes)
{
    ImageHeader header;
    std::vector<uint8_t> unused;
    if (!decode(bytes, true, header, unused))
        return std::nullopt;
    return header;
}

std::optional<Bitmap> decodeImage(std::span<const uint8_t> bytes)
{
    ImageHeader header;
    Bitmap bitmap;
    if (!decode(bytes, false, header, bitmap.rgba))
        return std::nullopt;
    bitmap.width = header.width;
    bitmap.height = header.height;
    return bitmap;
}

std::optional<std::vector<uint8_t>> encodeJpeg(const Bitmap& bitmap, double quality)
{
    if (!sizeAcceptable(bitmap.width, bitmap.height) || bitmap.rgba.size() != static_cast<size_t>(bitmap.width) * bitmap.height * 4)
        return std::nullopt;
    double q = std::isnan(quality) ? 0 : std::clamp(quality, 0.0, 1.0);
    int libjpegQuality = std::max(1, static_cast<int>(std::lround(q * 100)));
    std::vector<uint8_t> rgb(static_cast<size_t>(bitmap.width) * bitmap.height * 3);
    for (size_t pixel = 0, count = static_cast<size_t>(bitmap.width) * bitmap.height; pixel < count; ++pixel) {
        rgb[pixel * 3] = bitmap.rgba[pixel * 4];
        rgb[pixel * 3 + 1] = bitmap.rgba[pixel * 4 + 1];
        rgb[pixel * 3 + 2] = bitmap.rgba[pixel * 4 + 2];
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = encodeJpegInto(bitmap, libjpegQuality, buffer, size, rgb);
    std::optional<std::vector<uint8_t>> result;
    if (ok && buffer)
        result.emplace(buffer, buffer + size);
    std::free(buffer);
    return result;
}

std::optional<std::vector<uint8_t>> encodePng(const Bitmap& bitmap)
{
    if (!sizeAcceptable(bitmap.width, bitmap.height) || bitmap.rgba.size() != static_cast<size_t>(bitmap.width) * bitmap.height * 4)
        return std::nullopt;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = bitmap.width;
    image.height = bitmap.height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, bitmap.rgba.data(), 0, nullptr))
        return std::nullopt;
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, bitmap.rgba.data(), 0, nullptr))
        return std::nullopt;
    out.resize(size);
    return out;
}

} // namespace uikit
