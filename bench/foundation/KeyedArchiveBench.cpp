// Reading the groups file that Quick Compose loads every time it opens, and
// how quickly the property-list readers turn away the shapes that exhaust
// libplist 2.2.
#include <foundation/KeyedArchive.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>

#include <benchmark/benchmark.h>

#include <string>

using namespace foundation;

namespace {

PlistValue groups(int count)
{
    PlistArray result;
    for (int g = 0; g < count; ++g) {
        PlistArray members;
        for (int m = 0; m < 6; ++m) {
            bool isNumber = m % 3 != 2;
            members.push_back(PlistDictionary {
                { "contact",
                    isNumber ? "+39 333 " + std::to_string(1000000 + g * 10 + m)
                             : "friend" + std::to_string(g * 10 + m) + "@example.com" },
                { "isNumber", isNumber } });
        }
        result.push_back(PlistDictionary { { "name", "Group " + std::to_string(g) }, { "members", std::move(members) } });
    }
    return result;
}

std::vector<uint8_t> groupsFile(PlistFormat format)
{
    auto archive = keyedArchive(groups(500));
    if (format == PlistFormat::Binary)
        return writeBinaryPlist(*archive);
    auto xml = writeXmlPlist(*archive);
    return std::vector<uint8_t>(xml.begin(), xml.end());
}

void readGroups(benchmark::State& state, PlistFormat format)
{
    auto bytes = groupsFile(format);
    for (auto _ : state) {
        auto result = unarchive(std::span<const uint8_t>(bytes));
        if (!result)
            state.SkipWithError(result.reason().c_str());
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["file_bytes"] = double(bytes.size());
}

void appendBigEndian(std::vector<uint8_t>& out, uint64_t value, size_t width)
{
    for (size_t i = width; i-- > 0;)
        out.push_back(uint8_t(value >> (8 * i)));
}

// `levels` one-byte-ref arrays, each pointing `fanOut` times at the next.
std::vector<uint8_t> chain(uint64_t levels, uint64_t fanOut, uint8_t refSize)
{
    std::vector<uint8_t> out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
    std::vector<uint64_t> offsets;
    for (uint64_t i = 0; i < levels; ++i) {
        offsets.push_back(out.size());
        out.push_back(uint8_t(0xA0 | fanOut));
        for (uint64_t f = 0; f < fanOut; ++f)
            appendBigEndian(out, i + 1, refSize);
    }
    offsets.push_back(out.size());
    out.push_back(0x09);
    uint64_t table = out.size();
    uint8_t offsetSize = table < 0x100 ? 1 : 4;
    for (auto offset : offsets)
        appendBigEndian(out, offset, offsetSize);
    out.insert(out.end(), 6, 0);
    out.push_back(offsetSize);
    out.push_back(refSize);
    appendBigEndian(out, levels + 1, 8);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, table, 8);
    return out;
}

void refuse(benchmark::State& state, const std::vector<uint8_t>& bytes)
{
    for (auto _ : state) {
        auto result = readPlist(std::span<const uint8_t>(bytes));
        if (result)
            state.SkipWithError("hostile input was accepted");
        benchmark::DoNotOptimize(result);
    }
    state.counters["file_bytes"] = double(bytes.size());
}

}

static void BM_KeyedArchiveReadGroups(benchmark::State& state)
{
    readGroups(state, PlistFormat::Binary);
}
BENCHMARK(BM_KeyedArchiveReadGroups);

static void BM_KeyedArchiveReadGroupsXml(benchmark::State& state)
{
    readGroups(state, PlistFormat::Xml);
}
BENCHMARK(BM_KeyedArchiveReadGroupsXml);

static void BM_KeyedArchiveWriteGroups(benchmark::State& state)
{
    auto value = groups(500);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeBinaryPlist(*keyedArchive(value)));
}
BENCHMARK(BM_KeyedArchiveWriteGroups);

// 4^14 values from a 126-byte file (2.8 GB and 16 s in libplist 2.2 at 128 bytes).
static void BM_PlistRefuseFanOut(benchmark::State& state)
{
    refuse(state, chain(14, 4, 1));
}
BENCHMARK(BM_PlistRefuseFanOut);

// 100 000 nested arrays (a stack overflow in libplist 2.2).
static void BM_PlistRefuseDeepBinary(benchmark::State& state)
{
    refuse(state, chain(100'000, 1, 4));
}
BENCHMARK(BM_PlistRefuseDeepBinary);

// 200 000 nested XML arrays (libplist 2.2 overflows the stack freeing them).
static void BM_PlistRefuseDeepXml(benchmark::State& state)
{
    std::string text = "<plist>";
    for (int i = 0; i < 200'000; ++i)
        text += "<array>";
    for (int i = 0; i < 200'000; ++i)
        text += "</array>";
    text += "</plist>";
    refuse(state, std::vector<uint8_t>(text.begin(), text.end()));
}
BENCHMARK(BM_PlistRefuseDeepXml);
