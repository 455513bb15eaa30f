// An entry's cost on logs of 1 000 to 99 000 bytes, against the plain writer
// that reads and rewrites the whole file for every entry (kept here only as
// the baseline) and against one bare write(2) of the entry's bytes to a file
// already open for appending, which is as cheap as an entry on disk can be.
#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/DevicePath.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// Entries added before the file is cut back to its starting size, so the
// size stays within 3 % of the one measured.
constexpr int entriesPerReset = 100;
constexpr std::string_view entryText = "The file size is: 90000";

std::filesystem::path makeDevice()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "plv-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    foundation::setDeviceRoot(pattern);
    std::filesystem::create_directories(foundation::hostPath("/var/mobile/Library/PLV"));
    return pattern;
}

void resetLog(const std::filesystem::path& log, size_t size)
{
    std::ofstream(log, std::ios::binary | std::ios::trunc) << " " << std::string(size - 1, 'x');
}

// Runs `entry` once per iteration on a log of state.range(0) bytes.
template <class Entry>
void onLogOfSize(benchmark::State& state, Entry entry)
{
    auto root = makeDevice();
    auto log = foundation::hostPath("/var/mobile/Library/PLV/PLV.log");
    auto size = static_cast<size_t>(state.range(0));
    int entries = 0;
    resetLog(log, size);
    for (auto _ : state) {
        entry(log);
        if (++entries == entriesPerReset) {
            state.PauseTiming();
            resetLog(log, size);
            entries = 0;
            state.ResumeTiming();
        }
    }
    std::filesystem::remove_all(root);
}

void BM_LoggerAppend(benchmark::State& state)
{
    kelvane::KelvaneLogger::setProjectName("PLV", true);
    onLogOfSize(state, [](const std::filesystem::path&) { kelvane::KelvaneLogger::log(entryText, kelvane::KelvaneLogger::Normal); });
}
BENCHMARK(BM_LoggerAppend)->Arg(1000)->Arg(50000)->Arg(90000)->Arg(99000);

// The baseline: read the whole file, append the entry, write it all back
// through a temporary file and a rename (no fsync, as the platform's atomic
// write of a string does not force the disk either).
void rewriteEntry(const std::filesystem::path& log, std::string_view entry)
{
    std::ifstream in(log, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string contents = text.str();
    contents += "\nNORMAL:";
    contents += entry;
    auto temporary = log;
    temporary += ".tmp";
    std::ofstream(temporary, std::ios::binary | std::ios::trunc) << contents;
    std::filesystem::rename(temporary, log);
}

void BM_LoggerRewriteBaseline(benchmark::State& state)
{
    onLogOfSize(state, [](const std::filesystem::path& log) { rewriteEntry(log, entryText); });
}
BENCHMARK(BM_LoggerRewriteBaseline)->Arg(90000);

// The floor: the same bytes an entry adds, in one write(2) to a descriptor
// opened once for appending.
void BM_LogBareWrite(benchmark::State& state)
{
    std::string bytes = "\nNORMAL:" + std::string(entryText);
    int fd = -1;
    onLogOfSize(state, [&](const std::filesystem::path& log) {
        if (fd < 0)
            fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            state.SkipWithError("the write failed");
    });
    if (fd >= 0)
        ::close(fd);
}
BENCHMARK(BM_LogBareWrite)->Arg(90000);

} // namespace
