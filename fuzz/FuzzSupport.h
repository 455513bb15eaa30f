// What the fuzz programs share. `fuzzRequire` stops the run when a property
// that must hold for every input does not (libFuzzer then keeps the input as
// a crash file), so a target finds wrong answers as well as crashes.
// `fuzzDeviceRoot` gives a program a device root of its own under the
// temporary folder, removed when the program ends normally.
#pragma once

#include <foundation/DevicePath.h>
#include <foundation/PropertyList.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzzing {

inline void fuzzRequire(bool condition, std::string_view what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

inline const std::filesystem::path& fuzzDeviceRoot()
{
    static const std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "plv-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            fuzzRequire(false, "cannot make a temporary device root");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(fuzzDeviceRoot(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return root;
}

// Whether a value holds a keyed archive's object reference, which the XML
// form spells as a {CF$UID: n} dictionary and so reads back as one.
inline bool holdsUid(const foundation::PlistValue& value)
{
    if (value.isUid())
        return true;
    if (auto* array = value.asArray()) {
        for (const auto& element : *array) {
            if (holdsUid(element))
                return true;
        }
    }
    if (auto* dictionary = value.asDictionary()) {
        for (const auto& [key, element] : *dictionary) {
            if (holdsUid(element))
                return true;
        }
    }
    return false;
}

// Whether a value holds a real that is not a number: NaN never equals itself,
// so a round trip of such a value cannot compare equal.
inline bool holdsNaN(const foundation::PlistValue& value)
{
    if (auto real = value.asReal())
        return std::isnan(*real);
    if (auto date = value.asDate())
        return std::isnan(date->secondsSince2001);
    if (auto* array = value.asArray()) {
        for (const auto& element : *array) {
            if (holdsNaN(element))
                return true;
        }
    }
    if (auto* dictionary = value.asDictionary()) {
        for (const auto& [key, element] : *dictionary) {
            if (holdsNaN(element))
                return true;
        }
    }
    return false;
}

}
