#include "PlistReader.h"

#include "AtomicFile.h"
#include "BinaryPlistReader.h"
#include "XmlPlistReader.h"

#include <fmt/format.h>

#include <cstring>

namespace foundation {

PlistReadResult readXmlPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    auto value = parseXmlPlist(bytes, limits);
    if (!value)
        return PlistReadResult::failure(value.reason());
    return { value.releaseValue(), {} };
}

PlistReadResult readPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    if (bytes.empty())
        return PlistReadResult::failure("empty property list");
    if (bytes.size() > limits.maxBytes)
        return PlistReadResult::failure(fmt::format("property list is larger than {} bytes", limits.maxBytes));
    if (bytes.size() >= 6 && std::memcmp(bytes.data(), "bplist", 6) == 0)
        return readBinaryPlist(bytes, limits);
    return readXmlPlist(bytes, limits);
}

PlistReadResult readPlist(std::string_view bytes, const PlistReadLimits& limits)
{
    return readPlist(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), limits);
}

PlistReadResult readPlistFile(const std::filesystem::path& hostPath, const PlistReadLimits& limits)
{
    auto file = readWholeFile(hostPath, limits.maxBytes);
    if (!file)
        return PlistReadResult::failure(std::move(file.error));
    auto result = readPlist(std::span<const uint8_t>(*file.bytes), limits);
    if (!result)
        result.error = fmt::format("{}: {}", hostPath.string(), result.error);
    return result;
}

static PlistReadResult requireDictionary(PlistReadResult result)
{
    if (result && !result.value->isDictionary())
        return PlistReadResult::failure("property list root is not a dictionary");
    return result;
}

PlistReadResult readPlistDictionary(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    return requireDictionary(readPlist(bytes, limits));
}

PlistReadResult readPlistDictionaryFile(const std::filesystem::path& hostPath, const PlistReadLimits& limits)
{
    return requireDictionary(readPlistFile(hostPath, limits));
}

}
