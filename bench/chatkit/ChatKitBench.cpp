// The messaging frameworks over a phone-sized Messages database: looking a
// message up by record id as a banner tap does, and sending an SMS and an
// iMessage with a one-megapixel picture through the sender's chain of calls.
#include <chatkit/ChatKit.h>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <random>
#include <runtime/Runtime.h>
#include <sqlite3.h>
#include <support/BusyMessagesDatabase.h>

namespace {

using runtime::Id;
using runtime::send;

constexpr int64_t messageCount = 100000;

Id classObject(const char* name)
{
    runtime::Class* cls = runtime::classNamed(name);
    return cls ? cls->self() : nullptr;
}

benchsupport::BusyMessagesDatabase busyShape(int64_t messages)
{
    return { messages, 200, [](int g) { return "+1555555" + std::to_string(1000 + g); }, [](int g) { return "friend" + std::to_string(g) + "@example.com"; } };
}

// The phone's sms.db: `messages` rows in 200 conversations, four fifths SMS
// and one fifth iMessage. Lookups read the cached database in place; the
// sending benchmarks write into a copy of the 100 000-row one.
class Phone {
public:
    static Phone& shared()
    {
        static Phone phone;
        return phone;
    }

    void useCached(int64_t messages)
    {
        if (m_current == messages)
            return;
        chatkit::useDatabase(benchsupport::cachedBusyMessagesDatabase(busyShape(messages), "chatkit"));
        m_current = messages;
    }

    void useWritable()
    {
        if (m_current == 0)
            return;
        auto path = m_folder / "SMS" / "sms.db";
        if (!std::filesystem::exists(path))
            benchsupport::copyBusyMessagesDatabase(busyShape(messageCount), "chatkit", path);
        chatkit::useDatabase(path);
        m_current = 0;
    }

    ~Phone()
    {
        chatkit::closeDatabase();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

private:
    Phone()
    {
        m_folder = std::filesystem::temp_directory_path() / ("chatkit-bench-" + std::to_string(std::random_device {}()));
        chatkit::registerChatKitClasses();
        chatkit::setLogSink([](std::string_view) {});
    }

    std::filesystem::path m_folder;
    int64_t m_current { -1 };
};

// A 1000 × 1000 photograph-like picture encoded at the best quality, as
// the sender encodes the picture it attaches.
std::vector<uint8_t> megapixelJPEG()
{
    constexpr int size = 1000;
    std::vector<uint8_t> pixels(size * size * 3);
    std::mt19937 random(7);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint8_t* p = &pixels[(y * size + x) * 3];
            int noise = static_cast<int>(random() % 24);
            p[0] = static_cast<uint8_t>((x * 255 / size + noise) & 0xFF);
            p[1] = static_cast<uint8_t>((y * 255 / size + noise) & 0xFF);
            p[2] = static_cast<uint8_t>(((x + y) * 127 / size + noise) & 0xFF);
        }
    }
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr error {};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&cinfo, &buffer, &length);
    cinfo.image_width = size;
    cinfo.image_height = size;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &pixels[cinfo.next_scanline * size * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + length);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

// Looking a message up by record id, as a banner tap does, in databases of
// 1 000, 100 000 and 1 000 000 messages.
void BM_DBMessageLookup(benchmark::State& state)
{
    int64_t messages = state.range(0);
    Phone::shared().useCached(messages);
    Id cls = classObject("CKDBMessage");
    std::mt19937 random(1);
    for (auto _ : state) {
        int64_t recordID = 1 + static_cast<int64_t>(random() % static_cast<uint64_t>(messages));
        Id message = send<Id>(send<Id>(cls, "alloc"), "initWithRecordID:", recordID);
        benchmark::DoNotOptimize(send<std::string>(message, "text"));
        benchmark::DoNotOptimize(send<std::string>(message, "address"));
    }
}
BENCHMARK(BM_DBMessageLookup)->Arg(1000)->Arg(100000)->Arg(1000000);

void BM_SendSMS(benchmark::State& state)
{
    Phone::shared().useWritable();
    int n = 0;
    for (auto _ : state) {
        Id service = send<Id>(classObject("CKSMSService"), "sharedSMSService");
        Id entity = send<Id>(service, "copyEntityForAddressString:", std::string("+1555555") + std::to_string(1001 + n++ % 200));
        Id list = send<Id>(classObject("CKConversationList"), "sharedConversationList");
        Id conversation = send<Id>(list, "conversationForRecipients:create:service:", std::vector<Id> { entity }, true, service);
        Id message = send<Id>(service, "_newSMSMessageWithText:forConversation:", std::string("On my way, see you in ten minutes"), conversation);
        send(service, "sendMessage:", message);
        if (!send<int64_t>(message, "rowID"))
            state.SkipWithError("the SMS was not stored");
    }
}
BENCHMARK(BM_SendSMS)->Unit(benchmark::kMicrosecond);

void BM_SendiMessageWithImage(benchmark::State& state)
{
    Phone::shared().useWritable();
    static const std::vector<uint8_t> picture = megapixelJPEG();
    state.counters["jpeg_bytes"] = static_cast<double>(picture.size());
    int n = 0;
    for (auto _ : state) {
        Id service = send<Id>(classObject("CKMadridService"), "sharedMadridService");
        Id entity = send<Id>(service, "copyEntityForAddressString:", "friend" + std::to_string(1 + n++ % 200) + "@example.com");
        send<Id>(service, "_conversationWithRecipients:createIfNecessary:", std::vector<Id> { entity }, true);
        Id chat = send<Id>(send<Id>(classObject("IMChatRegistry"), "sharedInstance"), "chatForIMHandle:", send<Id>(entity, "defaultIMHandle"));
        Id conversation = send<Id>(send<Id>(classObject("CKConversationList"), "sharedConversationList"), "conversationForRecipients:create:service:",
            std::vector<Id> { entity }, true, service);
        auto parts = send<std::vector<Id>>(send<Id>(classObject("CKMessageComposition"), "newCompositionForText:", std::string("Look")), "messageParts");
        Id media = send<Id>(send<Id>(classObject("CKMediaObjectManager"), "sharedInstance"), "newMediaObjectForData:mimeType:exportedFilename:", picture,
            std::string("image/jpeg"), std::string("image.jpg"));
        parts.push_back(send<Id>(send<Id>(classObject("CKMediaObjectMessagePart"), "alloc"), "initWithMediaObject:", media));
        Id im = send<Id>(service, "_IMMessageToConversation:withText:subject:date:messageParts:isFinished:messageGUID:", conversation, std::string("Look"),
            std::string(), 0.0, parts, true, std::string());
        send(service, "_prepareIMChat:andSendMessage:", chat, im);
        Id madrid = send<Id>(service, "_madridMessageForIMMessage:inIMChat:", im, chat);
        send(service, "sendMessage:", madrid);
        if (!send<int64_t>(madrid, "rowID"))
            state.SkipWithError("the iMessage was not stored");
    }
}
// Each send writes the picture to disk; a fixed count keeps the run small.
BENCHMARK(BM_SendiMessageWithImage)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace
