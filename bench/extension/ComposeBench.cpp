// Quick Compose on a big phone: 10 000 people with two phone numbers and an
// e-mail address each (e-mail addresses included, "EIC" = "1"), 200 groups
// in the keyed-archive groups file and 20 favourites, so 30 220 recipients.
// Building the list from the files, one keystroke of search over it, and the
// Activator event up to a laid-out compose window. The list and the search
// are also measured with 1 000 and 50 000 people, to see how they grow.
#include <KelvaneLibrary/SharedFiles.h>
#include <addressbook/ABAddressBook.h>
#include <addressbook/ABLabels.h>
#include <addressbook/AddressBookWriter.h>
#include <chatkit/ChatKit.h>
#include <extension/Parlivo.h>
#include <extension/QuickComposeViewController.h>
#include <extension/RDL.h>
#include <extension/RecipientFiles.h>
#include <extension/RecipientList.h>
#include <extension/TweakState.h>
#include <foundation/DevicePath.h>
#include <foundation/KeyedArchive.h>
#include <foundation/PlistWriter.h>
#include <phone/Phone.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using foundation::PlistArray;
using foundation::PlistDictionary;
using foundation::PlistValue;

constexpr int peopleCount = 10'000; // the phone's, for the window
constexpr int groupCount = 200;
constexpr int favoriteCount = 20;

std::string mobile(int i) { return "+39 347 " + std::to_string(1'000'000 + i); }

void writeFile(std::string_view devicePath, const std::string& bytes)
{
    auto path = foundation::hostPath(devicePath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The Address Book of `people` people, made once and kept in the build
// folder's cache (filled under a temporary name, renamed when complete).
std::filesystem::path cachedAddressBook(int people)
{
    std::filesystem::path folder = PLV_BENCH_CACHE_DIR;
    auto path = folder / ("AddressBook-" + std::to_string(people) + ".sqlitedb");
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(folder);
    auto partial = path;
    partial += ".partial";
    std::filesystem::remove(partial);
    if (!addressbook::createAddressBookDatabase(partial))
        std::abort();
    std::vector<addressbook::PersonData> persons(static_cast<size_t>(people));
    for (int i = 0; i < people; ++i) {
        auto& person = persons[static_cast<size_t>(i)];
        person.first = "Nome" + std::to_string(i);
        person.last = (i % 7 == 0 ? "Rossi" : "Cognome") + std::to_string(i % 977);
        person.phones = { { std::string(addressbook::kABPersonPhoneMobileLabel), mobile(i) },
            { std::string(addressbook::kABHomeLabel), "06 " + std::to_string(20'000'000 + i) } };
        person.emails = { { std::string(addressbook::kABWorkLabel), "persona" + std::to_string(i) + "@example.it" } };
    }
    if (!addressbook::AddressBookWriter::open(partial)->addPeople(persons))
        std::abort();
    std::filesystem::rename(partial, path);
    return path;
}

// A device root with every file the list is built from, one per size of
// Address Book; the phone boots on the 10 000-person one.
class ComposeDevice {
public:
    static ComposeDevice& ofSize(int people)
    {
        static std::map<int, std::unique_ptr<ComposeDevice>> devices;
        auto& device = devices[people];
        if (!device)
            device.reset(new ComposeDevice(people));
        foundation::setDeviceRoot(device->m_root);
        return *device;
    }

    phone::Phone& phone()
    {
        if (!m_phone) {
            phone::BootOptions options;
            options.deviceRoot = m_root;
            options.loadExtensions = false;
            options.inProcessExtensions.push_back([] { parlivo::installParlivo(); });
            auto booted = phone::Phone::boot(std::move(options));
            if (!booted)
                std::abort();
            m_phone = booted.releaseValue();
        }
        return *m_phone;
    }

    ~ComposeDevice()
    {
        m_phone.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

private:
    explicit ComposeDevice(int people)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "plv-compose-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_root = pattern;
        foundation::setDeviceRoot(m_root);

        auto book = foundation::hostPath(addressbook::AddressBookDevicePath);
        std::filesystem::create_directories(book.parent_path());
        std::filesystem::copy_file(cachedAddressBook(people), book);

        writeFile(kelvane::PLVPreferencesPath, foundation::writeXmlPlist(PlistDictionary { { "EIC", "1" } }));
        PlistDictionary favorites;
        for (int i = 0; i < favoriteCount; ++i)
            favorites.set(mobile(i * 13), PlistValue("Cognome" + std::to_string(i) + " Nome" + std::to_string(i * 13)));
        writeFile(kelvane::FavoritesPath, foundation::writeXmlPlist(favorites));
        PlistArray groups;
        for (int g = 0; g < groupCount; ++g) {
            PlistArray members;
            for (int m = 0; m < 5; ++m)
                members.push_back(PlistDictionary { { "contact", PlistValue(mobile(g * 5 + m)) }, { "isNumber", true } });
            groups.push_back(PlistDictionary { { "name", PlistValue("Gruppo " + std::to_string(g)) }, { "members", PlistValue(std::move(members)) }, { "groupID", g } });
        }
        auto groupsPath = foundation::hostPath(kelvane::GroupsPath);
        std::filesystem::create_directories(groupsPath.parent_path());
        if (!foundation::writeKeyedArchiveAtomically(groupsPath, groups, foundation::PlistFormat::Binary))
            std::abort();
        if (!chatkit::createDatabase(foundation::hostPath(chatkit::smsDatabaseDevicePath)))
            std::abort();
    }

    std::filesystem::path m_root;
    std::unique_ptr<phone::Phone> m_phone;
};

void BM_RecipientListBuild(benchmark::State& state)
{
    int people = static_cast<int>(state.range(0));
    ComposeDevice::ofSize(peopleCount).phone();
    ComposeDevice::ofSize(people);
    size_t size = 0;
    for (auto _ : state) {
        auto list = parlivo::RecipientList::build(parlivo::readRecipientSources());
        size = list.size();
        benchmark::DoNotOptimize(size);
    }
    if (size != static_cast<size_t>(people * 3 + groupCount + favoriteCount))
        state.SkipWithError("the list does not hold every recipient");
    state.counters["recipients"] = static_cast<double>(size);
}
BENCHMARK(BM_RecipientListBuild)->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(peopleCount)->Arg(50'000);

// The part of the build that reads the files and the Address Book, for comparison.
void BM_RecipientSourcesRead(benchmark::State& state)
{
    ComposeDevice::ofSize(peopleCount).phone();
    for (auto _ : state) {
        auto sources = parlivo::readRecipientSources();
        auto people = addressbook::ABAddressBookCopyArrayOfAllPeople(sources.addressBook);
        benchmark::DoNotOptimize(people.data());
    }
}
BENCHMARK(BM_RecipientSourcesRead)->Unit(benchmark::kMillisecond);

// One keystroke: the text grows by a letter and the whole list is searched again.
void BM_RecipientFilter(benchmark::State& state)
{
    ComposeDevice::ofSize(peopleCount).phone();
    ComposeDevice::ofSize(static_cast<int>(state.range(0)));
    const auto list = parlivo::RecipientList::build(parlivo::readRecipientSources());
    const std::string_view keystrokes[] = { "r", "ro", "ros", "ross", "rossi", "n", "no", "nom", "nome1", "nome12" };
    parlivo::RecipientMatches matches;
    size_t n = 0;
    for (auto _ : state) {
        list.filter(keystrokes[n++ % std::size(keystrokes)], matches);
        benchmark::DoNotOptimize(matches.data());
    }
    state.counters["records"] = static_cast<double>(list.size());
}
BENCHMARK(BM_RecipientFilter)->Unit(benchmark::kMicrosecond)->Arg(1000)->Arg(peopleCount)->Arg(50'000);

// From the Activator event through RDL and the list built afresh to the
// window laid out in the overlay after its opening.
void BM_ActivatorToComposeWindow(benchmark::State& state)
{
    auto& phone = ComposeDevice::ofSize(peopleCount).phone();
    for (auto _ : state) {
        auto fired = phone.activator(std::string(kelvane::ComposerListenerName));
        phone.advance(0.7);
        state.PauseTiming();
        auto& tweak = parlivo::tweakState();
        auto window = tweak.rdl ? runtime::cast<parlivo::QuickComposeViewController>(tweak.rdl->qCVC()) : nullptr;
        if (!fired || !window || !window->contatore() || !window->viewIfLoaded() || !window->viewIfLoaded()->window()) {
            state.SkipWithError("the compose window did not open");
            break;
        }
        tweak.rdl->dismissBanner();
        phone.advance(2);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ActivatorToComposeWindow)->Unit(benchmark::kMillisecond);

} // namespace
