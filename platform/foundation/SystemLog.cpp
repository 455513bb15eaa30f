#include "SystemLog.h"

#include <runtime/Class.h>
#include <runtime/Exception.h>

#include <cstdio>
#include <system_error>
#include <unistd.h>

namespace foundation {

SystemLog& SystemLog::shared()
{
    // Never destroyed: background threads may still log while the process exits.
    static auto* log = new SystemLog;
    return *log;
}

SystemLog::SystemLog(size_t capacity)
    : m_capacity(capacity ? capacity : 1)
    , m_processName("SpringBoard")
{
    m_ring.reserve(std::min<size_t>(m_capacity, 256));
}

SystemLog::~SystemLog()
{
    if (m_mirror)
        std::fclose(m_mirror);
}

void SystemLog::write(std::string_view text)
{
    std::lock_guard guard(m_mutex);
    Entry entry { ++m_total, std::string(text) };
    if (m_ring.size() < m_capacity) {
        m_ring.push_back(std::move(entry));
    } else {
        m_ring[m_head] = std::move(entry);
        m_head = (m_head + 1) % m_capacity;
    }
    if (m_mirror)
        appendToMirror(text);
}

void SystemLog::appendToMirror(std::string_view text)
{
    // One fwrite per line on an append-mode stream: lines of two processes
    // sharing the file interleave whole, never mid-line.
    std::string line = fmt::format("{}[{}]: {}\n", m_processName, static_cast<long>(::getpid()), text);
    std::fwrite(line.data(), 1, line.size(), m_mirror);
    std::fflush(m_mirror);
}

std::vector<std::string> SystemLog::lines() const
{
    std::lock_guard guard(m_mutex);
    std::vector<std::string> result;
    result.reserve(m_ring.size());
    for (size_t i = 0; i < m_ring.size(); ++i)
        result.push_back(m_ring[(m_head + i) % m_ring.size()].text);
    return result;
}

std::vector<SystemLog::Entry> SystemLog::entriesAfter(uint64_t sequence) const
{
    std::lock_guard guard(m_mutex);
    std::vector<Entry> result;
    for (size_t i = 0; i < m_ring.size(); ++i) {
        const Entry& entry = m_ring[(m_head + i) % m_ring.size()];
        if (entry.sequence > sequence)
            result.push_back(entry);
    }
    return result;
}

uint64_t SystemLog::totalWritten() const
{
    std::lock_guard guard(m_mutex);
    return m_total;
}

bool SystemLog::contains(std::string_view text) const
{
    std::lock_guard guard(m_mutex);
    for (const Entry& entry : m_ring) {
        if (entry.text == text)
            return true;
    }
    return false;
}

void SystemLog::clear()
{
    std::lock_guard guard(m_mutex);
    m_ring.clear();
    m_head = 0;
}

void SystemLog::setProcessName(std::string name)
{
    std::lock_guard guard(m_mutex);
    m_processName = std::move(name);
}

bool SystemLog::mirrorToFile(const std::filesystem::path& hostFile)
{
    std::error_code error;
    if (hostFile.has_parent_path())
        std::filesystem::create_directories(hostFile.parent_path(), error);
    std::FILE* file = std::fopen(hostFile.c_str(), "a");
    if (!file)
        return false;
    std::lock_guard guard(m_mutex);
    if (m_mirror)
        std::fclose(m_mirror);
    m_mirror = file;
    return true;
}

void SystemLog::stopMirroring()
{
    std::lock_guard guard(m_mutex);
    if (m_mirror)
        std::fclose(m_mirror);
    m_mirror = nullptr;
}

void NSLog(std::string_view text) { SystemLog::shared().write(text); }

void vNSLog(fmt::string_view format, fmt::format_args args)
{
    std::string text;
    try {
        text = fmt::vformat(format, args);
    } catch (const fmt::format_error& error) {
        // A malformed format is the caller's bug; the console keeps the raw text.
        text = std::string(format.data(), format.size());
    }
    SystemLog::shared().write(text);
}

bool callReportingExceptions(std::string_view where, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const runtime::ObjCException& exception) {
        NSLog(fmt::format("*** Exception in {}: '{}', reason: '{}'", where, exception.name(), exception.reason()));
    } catch (const std::exception& exception) {
        NSLog(fmt::format("*** Exception in {}: {}", where, exception.what()));
    } catch (...) {
        NSLog(fmt::format("*** Unknown exception in {}", where));
    }
    return false;
}

namespace {

    void writeDiagnostic(std::string_view message) { SystemLog::shared().write(message); }

} // namespace

void installSystemLogAsDiagnosticSink() { runtime::setDiagnosticSink(&writeDiagnostic); }

} // namespace foundation
