// The phone's console: where `NSLog` messages and the runtime's complaints
// go. Each process keeps the last lines in memory (a bounded ring) so the
// simulator and tests can read them, and may mirror every line to a file
// under the device root so that two processes of one phone share a console.
// Every operation is safe from any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>

namespace foundation {

class SystemLog {
public:
    struct Entry {
        uint64_t sequence { 0 }; // 1 for the first line ever written, then counting up
        std::string text;
    };

    static constexpr size_t DefaultCapacity = 2000;

    // The process's console.
    static SystemLog& shared();

    explicit SystemLog(size_t capacity = DefaultCapacity);
    ~SystemLog();
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;

    void write(std::string_view text);

    // The kept lines, oldest first.
    std::vector<std::string> lines() const;
    // Kept entries written after `sequence` (0: all), for readers that poll.
    std::vector<Entry> entriesAfter(uint64_t sequence) const;
    // How many lines were ever written, kept or not.
    uint64_t totalWritten() const;
    bool contains(std::string_view text) const;
    void clear();

    // The name the mirror file puts before each line ("SpringBoard[pid]: ").
    void setProcessName(std::string);
    // Appends every later line to `hostFile` (created with its folder when
    // missing). Answers false, and keeps logging in memory only, when the
    // file cannot be opened.
    bool mirrorToFile(const std::filesystem::path& hostFile);
    void stopMirroring();

private:
    void appendToMirror(std::string_view text);

    mutable std::mutex m_mutex;
    size_t m_capacity;
    std::vector<Entry> m_ring;
    size_t m_head { 0 }; // index of the oldest entry once the ring is full
    uint64_t m_total { 0 };
    std::string m_processName;
    std::FILE* m_mirror { nullptr };
};

// `NSLog`: one line on the process's console, text used exactly as given.
void NSLog(std::string_view text);

void vNSLog(fmt::string_view format, fmt::format_args);

// `NSLog` with a format ("caricati {} preferiti"); the formatting itself
// happens inside the library.
template <class... Args>
requires(sizeof...(Args) > 0) void NSLog(fmt::format_string<Args...> format, Args&&... args)
{
    vNSLog(format, fmt::make_format_args(args...));
}

// Runs `work`; anything it throws is written to the console (with `where`,
// e.g. "timer callback") instead of escaping. Answers false when it threw.
bool callReportingExceptions(std::string_view where, const std::function<void()>& work);

// Sends the runtime's diagnostics (unrecognised selectors, refused hooks) to
// the process's console; the phone does this when it boots.
void installSystemLogAsDiagnosticSink();

} // namespace foundation
