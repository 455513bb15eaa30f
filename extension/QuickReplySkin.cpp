#include "QuickReplySkin.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>

#include <fmt/format.h>

#include <optional>

namespace parlivo::quickreply {

namespace {

    using foundation::RgbaColour;

    constexpr RgbaColour LightGrey { 0.95, 0.95, 0.95, 1 };
    constexpr RgbaColour Black { 0, 0, 0, 1 };
    constexpr RgbaColour White { 1, 1, 1, 1 };

    enum class Reading {
        Missing,
        Unusable,
        Usable,
    };

    struct SkinValue {
        Reading reading { Reading::Missing };
        RgbaColour colour;
    };

    SkinValue read(const foundation::PlistDictionary* preferences, std::string_view key)
    {
        const foundation::PlistValue* value = preferences ? preferences->find(key) : nullptr;
        if (!value)
            return { Reading::Missing, {} };
        const std::string* text = value->asString();
        // Kept as written, so that the log says what the preferences hold.
        std::optional<RgbaColour> colour = text ? foundation::parsedColourString(*text) : std::nullopt;
        if (!colour)
            return { Reading::Unusable, {} };
        return { Reading::Usable, *colour };
    }

    std::string describe(const char* label, const RgbaColour& colour)
    {
        return fmt::format("{} {:f} {:f} {:f}", label, colour.red, colour.green, colour.blue);
    }

} // namespace

RgbaColour panelColour(const foundation::PlistDictionary* preferences)
{
    auto value = read(preferences, kelvane::Key::QuickReplyColors);
    switch (value.reading) {
    case Reading::Missing:
        kelvane::KelvaneLogger::log("NO QR COLORS", kelvane::KelvaneLogger::Severe);
        return LightGrey;
    case Reading::Unusable:
        return LightGrey;
    case Reading::Usable:
        break;
    }
    kelvane::KelvaneLogger::log(describe("BGVIEW COLOR IS", value.colour), kelvane::KelvaneLogger::Development);
    return foundation::clampedForDisplay(value.colour);
}

RgbaColour replyTextColour(const foundation::PlistDictionary* preferences)
{
    auto value = read(preferences, kelvane::Key::QuickReplyText);
    return value.reading == Reading::Usable ? foundation::clampedForDisplay(value.colour) : Black;
}

RgbaColour replyFieldColour(const foundation::PlistDictionary* preferences)
{
    auto value = read(preferences, kelvane::Key::QuickReplyTextField);
    switch (value.reading) {
    case Reading::Missing:
        kelvane::KelvaneLogger::log("NO QRCOLORS", kelvane::KelvaneLogger::Severe);
        return White;
    case Reading::Unusable:
        kelvane::KelvaneLogger::log("NIL TEXTFIELD COMPONENTS", kelvane::KelvaneLogger::Severe);
        return White;
    case Reading::Usable:
        break;
    }
    kelvane::KelvaneLogger::log(describe("REPLYFIELD COLOR IS", value.colour), kelvane::KelvaneLogger::Development);
    return foundation::clampedForDisplay(value.colour);
}

} // namespace parlivo::quickreply
