// Reloading the preference store from a file of twenty keys.
#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <foundation/AtomicFile.h>
#include <foundation/DevicePath.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void BM_PreferencesReload(benchmark::State& state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "plv-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    foundation::setDeviceRoot(pattern);
    std::filesystem::create_directories(foundation::hostPath("/var/mobile/Library/PLV"));
    foundation::PlistDictionary contents { { "version", foundation::PlistValue("1.100000") } };
    for (int i = 1; i < 20; ++i)
        contents.set("key" + std::to_string(i), foundation::PlistValue("0.500000 0.250000 1.000000"));
    foundation::writePlistAtomically(foundation::hostPath("/var/mobile/Library/PLV/preferences.plist"), foundation::PlistValue(contents));

    kelvane::KelvanePreferenceManager store(kelvane::KelvanePreferenceManager::Variant::Extension);
    store.setAppName("PLV");
    for (auto _ : state) {
        store.reloadPreferences();
        benchmark::DoNotOptimize(store.preferences());
    }
    std::filesystem::remove_all(pattern);
}
BENCHMARK(BM_PreferencesReload);

} // namespace
