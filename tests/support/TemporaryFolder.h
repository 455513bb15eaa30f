// A fresh, empty folder of its own for the life of a test, removed with
// everything in it at the end. Named uniquely (mkdtemp), so tests running in
// parallel processes never share one.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix = "plv-test")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            std::abort(); // no temporary folder: nothing a test could do would mean anything
        m_path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path file(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

} // namespace testsupport
