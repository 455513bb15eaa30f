#include "ServeFiles.h"

#include <algorithm>
#include <array>
#include <utility>

namespace simulator {

namespace {

    bool isInside(const std::filesystem::path& root, const std::filesystem::path& candidate)
    {
        auto rootEnd = root.end();
        auto [rootAt, candidateAt] = std::mismatch(root.begin(), rootEnd, candidate.begin(), candidate.end());
        // An empty last component is what a trailing separator leaves.
        return rootAt == rootEnd || (std::next(rootAt) == rootEnd && rootAt->empty());
    }

    std::string lowercaseExtension(const std::filesystem::path& path)
    {
        std::string extension = path.extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return extension;
    }

    constexpr std::array<std::pair<std::string_view, std::string_view>, 10> contentTypes { {
        { ".html", "text/html; charset=utf-8" },
        { ".css", "text/css; charset=utf-8" },
        { ".js", "text/javascript; charset=utf-8" },
        { ".mjs", "text/javascript; charset=utf-8" },
        { ".json", "application/json" },
        { ".svg", "image/svg+xml" },
        { ".png", "image/png" },
        { ".jpg", "image/jpeg" },
        { ".jpeg", "image/jpeg" },
        { ".gif", "image/gif" },
    } };

} // namespace

std::optional<std::filesystem::path> resolveServedFile(const std::filesystem::path& root, std::string_view relative)
{
    if (relative.empty() || relative.front() == '/')
        return std::nullopt;
    if (relative.find('\\') != std::string_view::npos || relative.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string_view rest = relative;
    while (true) {
        size_t slash = rest.find('/');
        std::string_view segment = rest.substr(0, slash);
        if (segment.empty() || segment == "." || segment == "..")
            return std::nullopt;
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }

    std::error_code ec;
    auto canonicalRoot = std::filesystem::canonical(root, ec);
    if (ec)
        return std::nullopt;
    auto canonicalFile = std::filesystem::canonical(canonicalRoot / std::filesystem::path(relative), ec);
    if (ec || !isInside(canonicalRoot, canonicalFile))
        return std::nullopt;
    if (!std::filesystem::is_regular_file(canonicalFile, ec))
        return std::nullopt;
    return canonicalFile;
}

std::optional<std::string> servedContentType(const std::filesystem::path& path)
{
    std::string extension = lowercaseExtension(path);
    for (const auto& [known, type] : contentTypes) {
        if (extension == known)
            return std::string(type);
    }
    return std::nullopt;
}

bool isServedPicture(const std::filesystem::path& path)
{
    std::string extension = lowercaseExtension(path);
    return extension == ".png" || extension == ".jpg" || extension == ".jpeg" || extension == ".gif";
}

} // namespace simulator
