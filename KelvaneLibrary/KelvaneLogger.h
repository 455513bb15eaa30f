// The diagnostic log of the extension libraries: one plain-text file per
// deliverable (/var/mobile/Library/PLV/PLV.log), one entry per call, each
// entry on the file when the call returns.
//
// The file reads: a blank, then per run "\n=== NEW SESSION ===" followed by
// entries "\nDEV:…", "\nNORMAL:…", "\nSEVERE:…", "\nCRITICAL:…" (or "\n…"
// for any other severity), with no trailing newline. Entries are stored as
// UTF-8 and appended under an exclusive lock on the file, so writers in any
// thread or process never lose each other's entries, and an entry costs the
// same whatever the size of the file. A file with content the logger did not
// write is never discarded: new entries are appended after it. An entry that
// cannot be written whole (no space, file size limit) is lost, and whatever
// part of it reached the file is cut off again, so the file keeps its previous
// content; so is the part an entry left when its writer was killed, by the
// next writer.
//
// Before `setProjectName:developMode:` there is no file to write to; such
// entries go to the platform's system log with the prefix "KelvaneLogger:".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

class KelvaneLogger {
public:
    // The four severities the deliverables log at. `log:severity:` takes
    // any integer: another value (static_cast<Severity>(n)) is written
    // without a label.
    enum class Severity : int {
        Normal = -1,
        Development = 0,
        Severe = 1,
        Critical = 2,
    };
    // Spelt KelvaneLogger::Normal and so on at the call sites.
    static constexpr Severity Normal = Severity::Normal;
    static constexpr Severity Development = Severity::Development;
    static constexpr Severity Severe = Severity::Severe;
    static constexpr Severity Critical = Severity::Critical;

    // setProjectName:developMode:
    static void setProjectName(std::string_view name, bool developMode);
    static std::optional<std::string> projectName();
    static bool developMode();

    // "/var/mobile/Library/%@/" with the project name; creates the directory
    // (without intermediate directories) when it is missing.
    static std::string docsPath();
    // "%@/%@.log" with docsPath and the project name (a doubled slash, which
    // the file system reads as one).
    static std::string logFilePath();

    // log:severity:
    static void log(std::string_view message, Severity);
    // A missing message object is written as "(null)".
    static void log(const std::optional<std::string>& message, Severity);
    static void log(const char* message, Severity);
    static void log(const std::string& message, Severity severity) { log(std::string_view(message), severity); }

    // Removes the log file when it holds at least `limit` bytes, under the
    // writers' lock so that no entry is lost in between. Answers the size
    // found, or nothing when the file cannot be read.
    static std::optional<long long> removeLogFileIfAtLeast(std::string_view devicePath, long long limit);

    // Tests only: forget the project name and start a new run.
    static void resetForTesting();
};

} // namespace kelvane
