// A device root in a fresh temporary folder for the life of a test, so that
// the system's absolute paths land somewhere private; with helpers to put
// files on the device and read back what the system wrote.
#pragma once

#include "TemporaryFolder.h"

#include <foundation/DevicePath.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

class TemporaryDevice {
public:
    TemporaryDevice() { foundation::setDeviceRoot(root()); }
    TemporaryDevice(const TemporaryDevice&) = delete;
    TemporaryDevice& operator=(const TemporaryDevice&) = delete;

    const std::filesystem::path& root() const { return m_folder.path(); }
    std::filesystem::path host(std::string_view devicePath) const { return foundation::hostPath(devicePath); }

    void write(std::string_view devicePath, std::string_view bytes) const
    {
        auto path = host(devicePath);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string read(std::string_view devicePath) const
    {
        std::ifstream in(host(devicePath), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The entries a log file holds, without the leading space of a new file
    // and the session headers.
    std::vector<std::string> logEntries(std::string_view devicePath) const
    {
        std::vector<std::string> entries;
        std::istringstream text(read(devicePath));
        std::string line;
        while (std::getline(text, line)) {
            if (!line.empty() && line != " " && line != "=== NEW SESSION ===")
                entries.push_back(line);
        }
        return entries;
    }
    bool exists(std::string_view devicePath) const { return std::filesystem::exists(host(devicePath)); }
    void makeDirectory(std::string_view devicePath) const { std::filesystem::create_directories(host(devicePath)); }

private:
    TemporaryFolder m_folder { "plv-device" };
};

} // namespace testsupport
