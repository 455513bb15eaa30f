#include "DemoPictures.h"

#include <uikit/ImageCodec.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace simulator {

namespace {

    struct Rgb {
        double r { 0 };
        double g { 0 };
        double b { 0 };
    };

    Rgb mix(Rgb a, Rgb b, double t)
    {
        t = std::clamp(t, 0.0, 1.0);
        return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
    }

    // x and y run from 0 to 1 across the picture.
    using Painter = std::function<Rgb(double x, double y)>;

    uikit::Bitmap paint(uint32_t width, uint32_t height, const Painter& painter)
    {
        uikit::Bitmap bitmap { width, height, std::vector<uint8_t>(size_t(width) * height * 4) };
        for (uint32_t row = 0; row < height; ++row) {
            for (uint32_t column = 0; column < width; ++column) {
                Rgb colour = painter((column + 0.5) / width, (row + 0.5) / height);
                uint8_t* pixel = &bitmap.rgba[(size_t(row) * width + column) * 4];
                pixel[0] = static_cast<uint8_t>(std::lround(std::clamp(colour.r, 0.0, 1.0) * 255));
                pixel[1] = static_cast<uint8_t>(std::lround(std::clamp(colour.g, 0.0, 1.0) * 255));
                pixel[2] = static_cast<uint8_t>(std::lround(std::clamp(colour.b, 0.0, 1.0) * 255));
                pixel[3] = 255;
            }
        }
        return bitmap;
    }

    Rgb sunset(double x, double y)
    {
        const double horizon = 0.62;
        if (y < horizon) {
            Rgb sky = mix({ 0.29, 0.17, 0.45 }, { 1.0, 0.55, 0.25 }, y / horizon);
            double dx = (x - 0.5) * 4.0 / 3.0, dy = y - 0.52;
            double distance = std::sqrt(dx * dx + dy * dy);
            if (distance < 0.09)
                return mix({ 1.0, 0.93, 0.6 }, { 1.0, 0.75, 0.35 }, distance / 0.09);
            return mix(sky, { 1.0, 0.8, 0.5 }, 0.35 - distance);
        }
        double depth = (y - horizon) / (1 - horizon);
        Rgb sea = mix({ 0.85, 0.45, 0.3 }, { 0.08, 0.15, 0.3 }, depth);
        double glitter = std::max(0.0, 1 - std::abs(x - 0.5) * 8) * (0.5 + 0.5 * std::sin(y * 180));
        return mix(sea, { 1.0, 0.8, 0.5 }, glitter * (1 - depth) * 0.6);
    }

    Rgb mountains(double x, double y)
    {
        Rgb colour = mix({ 0.45, 0.7, 0.95 }, { 0.85, 0.93, 1.0 }, y / 0.7);
        auto peak = [&](double centre, double top, double halfWidth, Rgb rock) {
            double ridge = top + std::abs(x - centre) / halfWidth * (0.75 - top);
            if (y >= ridge) {
                bool snow = y < top + 0.08;
                colour = snow ? Rgb { 0.97, 0.97, 1.0 } : mix(rock, { 0.15, 0.2, 0.15 }, (y - ridge) * 2);
            }
        };
        peak(0.3, 0.28, 0.35, { 0.45, 0.45, 0.5 });
        peak(0.72, 0.36, 0.3, { 0.38, 0.4, 0.45 });
        if (y > 0.75)
            colour = mix({ 0.3, 0.6, 0.25 }, { 0.15, 0.4, 0.1 }, (y - 0.75) * 4);
        return colour;
    }

    Rgb colourWheel(double x, double y)
    {
        double dx = x - 0.5, dy = (y - 0.5) * 4.0 / 3.0;
        double radius = std::sqrt(dx * dx + dy * dy) * 2.2;
        if (radius > 1)
            return { 0.12, 0.12, 0.14 };
        double hue = (std::atan2(dy, dx) / (2 * M_PI) + 0.5) * 6;
        double part = hue - std::floor(hue);
        Rgb pure;
        switch (static_cast<int>(hue) % 6) {
        case 0:
            pure = { 1, part, 0 };
            break;
        case 1:
            pure = { 1 - part, 1, 0 };
            break;
        case 2:
            pure = { 0, 1, part };
            break;
        case 3:
            pure = { 0, 1 - part, 1 };
            break;
        case 4:
            pure = { part, 0, 1 };
            break;
        default:
            pure = { 1, 0, 1 - part };
            break;
        }
        return mix({ 1, 1, 1 }, pure, radius);
    }

    Rgb tiles(double x, double y)
    {
        bool dark = (static_cast<int>(x * 8) + static_cast<int>(y * 6)) % 2;
        Rgb base = mix({ 0.95, 0.35, 0.35 }, { 0.3, 0.45, 0.95 }, (x + y) / 2);
        return dark ? mix(base, { 0, 0, 0 }, 0.35) : base;
    }

    Rgb stripes(double x, double y)
    {
        int band = static_cast<int>(y * 12);
        static constexpr Rgb palette[] = { { 0.98, 0.85, 0.3 }, { 0.95, 0.55, 0.3 }, { 0.85, 0.3, 0.45 }, { 0.45, 0.3, 0.7 } };
        return mix(palette[band % 4], { 1, 1, 1 }, x * 0.3);
    }

    struct Recipe {
        const char* fileName;
        uint32_t width;
        uint32_t height;
        Rgb (*painter)(double, double);
    };

    constexpr Recipe recipes[] = {
        { "IMG_0001.JPG", 640, 480, sunset },
        { "IMG_0002.JPG", 640, 480, mountains },
        { "IMG_0003.JPG", 480, 640, colourWheel },
        { "IMG_0004.JPG", 640, 480, tiles },
        { "IMG_0005.PNG", 320, 480, stripes },
    };

} // namespace

std::vector<DemoPicture> demoPictures()
{
    std::vector<DemoPicture> pictures;
    for (const Recipe& recipe : recipes) {
        uikit::Bitmap bitmap = paint(recipe.width, recipe.height, recipe.painter);
        std::string name = recipe.fileName;
        bool png = name.ends_with(".PNG");
        auto bytes = png ? uikit::encodePng(bitmap) : uikit::encodeJpeg(bitmap, 0.85);
        if (!bytes)
            return {};
        pictures.push_back({ std::move(name), recipe.width, recipe.height, std::move(*bytes) });
    }
    return pictures;
}

std::string photoLibraryPath(std::string_view nameOrPath)
{
    if (nameOrPath.starts_with('/'))
        return std::string(nameOrPath);
    return std::string(PhotoLibraryDevicePath) + "/" + std::string(nameOrPath);
}

} // namespace simulator
