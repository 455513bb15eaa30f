// An entry's cost on a log that is already 90 000 bytes long, against the
// plain writer that reads and rewrites the whole file for every entry (kept
// here only as the baseline).
#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/DevicePath.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr size_t LogSize = 90000;

std::filesystem::path makeDevice()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "plv-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    foundation::setDeviceRoot(pattern);
    std::filesystem::create_directories(foundation::hostPath("/var/mobile/Library/PLV"));
    return pattern;
}

void resetLog(const std::filesystem::path& log)
{
    std::ofstream(log, std::ios::binary | std::ios::trunc) << " " << std::string(LogSize - 1, 'x');
}

void BM_LoggerAppend(benchmark::State& state)
{
    auto root = makeDevice();
    auto log = foundation::hostPath("/var/mobile/Library/PLV/PLV.log");
    kelvane::KelvaneLogger::setProjectName("PLV", true);
    int entries = 0;
    resetLog(log);
    for (auto _ : state) {
        kelvane::KelvaneLogger::log("The file size is: 90000", kelvane::KelvaneLogger::Normal);
        if (++entries == 1000) { // keep the file near its starting size
            state.PauseTiming();
            resetLog(log);
            entries = 0;
            state.ResumeTiming();
        }
    }
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_LoggerAppend);

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
    auto root = makeDevice();
    auto log = foundation::hostPath("/var/mobile/Library/PLV/PLV.log");
    int entries = 0;
    resetLog(log);
    for (auto _ : state) {
        rewriteEntry(log, "The file size is: 90000");
        if (++entries == 1000) {
            state.PauseTiming();
            resetLog(log);
            entries = 0;
            state.ResumeTiming();
        }
    }
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_LoggerRewriteBaseline);

} // namespace
