// Reading a large Address Book the way the compose window does when it opens:
// a new handle, every person, then each name and value.
#include <addressbook/ABAddressBook.h>
#include <addressbook/ABLabels.h>
#include <addressbook/AddressBookWriter.h>
#include <addressbook/ContactNameResolver.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

using namespace addressbook;

namespace {

constexpr int64_t peopleCount = 10'000;

std::string mobile(int64_t i) { return "+39 347 " + std::to_string(1'000'000 + i); }

// One book for the whole run: 10 000 people with two phone numbers and an e-mail address each.
const std::filesystem::path& benchBook()
{
    static const std::filesystem::path path = [] {
        auto folder = std::filesystem::temp_directory_path() / ("plv-addressbook-bench-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        auto file = folder / "AddressBook.sqlitedb";
        createAddressBookDatabase(file);
        std::vector<PersonData> people(peopleCount);
        for (int64_t i = 0; i < peopleCount; ++i) {
            auto& person = people[static_cast<size_t>(i)];
            person.first = "Nome" + std::to_string(i);
            person.last = "Cognome" + std::to_string(i % 977);
            person.phones = { { std::string(kABPersonPhoneMobileLabel), mobile(i) }, { std::string(kABHomeLabel), "06 " + std::to_string(20'000'000 + i) } };
            person.emails = { { std::string(kABWorkLabel), "persona" + std::to_string(i) + "@example.it" } };
        }
        AddressBookWriter::open(file)->addPeople(people);
        return file;
    }();
    return path;
}

void BM_AddressBookAllPeople(benchmark::State& state)
{
    const auto& path = benchBook();
    for (auto _ : state) {
        auto book = addressBookAtHostPath(path);
        auto people = ABAddressBookCopyArrayOfAllPeople(book);
        CFIndex count = ABAddressBookGetPersonCount(book);
        size_t bytes = 0;
        for (CFIndex i = 0; i < count; ++i) {
            auto person = CFArrayGetValueAtIndex(people, i);
            bytes += ABRecordCopyValue(person, kABPersonFirstNameProperty).value_or("").size();
            bytes += ABRecordCopyValue(person, kABPersonLastNameProperty).value_or("").size();
            for (auto property : { kABPersonPhoneProperty, kABPersonEmailProperty }) {
                auto values = ABRecordCopyValue(person, property);
                for (CFIndex j = 0; j < ABMultiValueGetCount(values); ++j)
                    bytes += ABMultiValueCopyValueAtIndex(values, j).value_or("").size();
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * peopleCount);
}
BENCHMARK(BM_AddressBookAllPeople)->Unit(benchmark::kMillisecond);

// A lookup once the resolver has read the book; the first lookup pays for the read.
void BM_ContactNameResolverLookup(benchmark::State& state)
{
    ContactNameResolver resolver(benchBook());
    resolver.displayNameForAddress("+393471000000");
    int64_t i = 0;
    for (auto _ : state) {
        auto name = resolver.displayNameForAddress("347" + std::to_string(1'000'000 + i % peopleCount));
        benchmark::DoNotOptimize(name);
        ++i;
    }
}
BENCHMARK(BM_ContactNameResolverLookup);

} // namespace
