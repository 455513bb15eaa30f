// A seeded phone booted with its extensions up to its first screen, as a
// person starting the simulator waits for it: `plv-sim run` of an empty
// scenario, the whole process from exec to exit. The demo phone is seeded
// once into the build folder's cache; each run boots a copy of it, so the
// logs the extensions write never pile up in the cache.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

int runQuietly(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) { }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::filesystem::path& seededPhone()
{
    static const std::filesystem::path phone = [] {
        std::filesystem::path folder = PLV_BENCH_CACHE_DIR;
        auto path = folder / "phone";
        if (!std::filesystem::exists(path / "seeded")) {
            std::filesystem::remove_all(path);
            std::filesystem::create_directories(folder);
            if (runQuietly({ PLV_SIM, "seed", path.string() }) != 0)
                std::abort();
            std::ofstream(path / "seeded") << "complete\n";
        }
        return path;
    }();
    return phone;
}

void BM_BootSeededPhone(benchmark::State& state)
{
    auto work = std::filesystem::temp_directory_path() / ("plv-boot-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    std::filesystem::copy(seededPhone(), work / "phone", std::filesystem::copy_options::recursive);
    auto scenario = work / "empty.json";
    std::ofstream(scenario) << "[]\n";
    for (auto _ : state) {
        if (runQuietly({ PLV_SIM, "run", scenario.string(), "--device", (work / "phone").string() }) != 0) {
            state.SkipWithError("plv-sim run failed");
            break;
        }
    }
    std::filesystem::remove_all(work);
}
BENCHMARK(BM_BootSeededPhone)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

} // namespace
