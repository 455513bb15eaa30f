#include "PlistReader.h"

#include "AtomicFile.h"
#include "BinaryPlistReader.h"
#include "XmlPlistReader.h"

#include <fmt/format.h>

#include <cstring>

namespace foundation {

Result<PlistValue> readXmlPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    return parseXmlPlist(bytes, limits);
}

Result<PlistValue> readPlist(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    if (bytes.empty())
        return Error("empty property list");
    if (bytes.size() > limits.maxBytes)
        return Error(fmt::format("property list is larger than {} bytes", limits.maxBytes));
    if (bytes.size() >= 6 && std::memcmp(bytes.data(), "bplist", 6) == 0)
        return readBinaryPlist(bytes, limits);
    return readXmlPlist(bytes, limits);
}

Result<PlistValue> readPlist(std::string_view bytes, const PlistReadLimits& limits)
{
    return readPlist(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), limits);
}

Result<PlistValue> readPlistFile(const std::filesystem::path& hostPath, const PlistReadLimits& limits)
{
    auto bytes = TRY(readWholeFile(hostPath, limits.maxBytes));
    auto result = readPlist(std::span<const uint8_t>(bytes), limits);
    if (!result)
        return result.error().prefixed(hostPath.string() + ": ");
    return result;
}

static Result<PlistValue> requireDictionary(Result<PlistValue> result)
{
    if (result && !result->isDictionary())
        return Error("property list root is not a dictionary");
    return result;
}

Result<PlistValue> readPlistDictionary(std::span<const uint8_t> bytes, const PlistReadLimits& limits)
{
    return requireDictionary(readPlist(bytes, limits));
}

Result<PlistValue> readPlistDictionaryFile(const std::filesystem::path& hostPath, const PlistReadLimits& limits)
{
    return requireDictionary(readPlistFile(hostPath, limits));
}

}
