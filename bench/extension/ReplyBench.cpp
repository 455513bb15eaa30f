// A reply end to end on a phone-sized Messages database (100 000 rows):
// sending an SMS and an iMessage with a one-megapixel picture through
// KelvaneMessageSender into sms.db, and a banner tap opening the quick reply
// window on the virtual clock.
#include <addressbook/ABAddressBook.h>
#include <addressbook/AddressBookWriter.h>
#include <chatkit/ChatKit.h>
#include <extension/Parlivo.h>
#include <extension/RDL.h>
#include <extension/TweakState.h>
#include <foundation/DevicePath.h>
#include <phone/Phone.h>
#include <uikit/UIImage.h>
#include <uikit/UIView.h>
#include <uikit/UIViewController.h>
#include <uikit/UIWindow.h>

#include <benchmark/benchmark.h>
#include <support/BusyMessagesDatabase.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

using runtime::Id;

constexpr int64_t messageCount = 100000;
constexpr int conversationCount = 200;

std::string smsAddress(int conversation) { return "+3933300" + std::to_string(10000 + conversation); }

// One phone for the whole run, booted on the virtual clock with Parlivo
// installed in-process.
class BenchPhone {
public:
    static BenchPhone& shared()
    {
        static BenchPhone phone;
        return phone;
    }
    phone::Phone& phone() { return *m_phone; }

    ~BenchPhone()
    {
        m_phone.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

private:
    BenchPhone()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "plv-reply-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_root = pattern;
        foundation::setDeviceRoot(m_root);
        benchsupport::copyBusyMessagesDatabase(
            { messageCount, conversationCount, smsAddress, [](int g) { return "amico" + std::to_string(g) + "@example.com"; } }, "reply",
            foundation::hostPath(chatkit::smsDatabaseDevicePath));
        if (!addressbook::createAddressBookDatabase(foundation::hostPath(addressbook::AddressBookDevicePath)))
            std::abort();
        // The package's images, so that opening the window reads them as on a phone.
        std::error_code error;
        std::filesystem::create_directories(foundation::hostPath("/Library/Application Support"), error);
        std::filesystem::copy(std::filesystem::path(PLV_BENCH_RESOURCES_DIR) / "PLV", foundation::hostPath("/Library/Application Support/PLV"),
            std::filesystem::copy_options::recursive, error);
        if (error)
            std::abort();
        phone::BootOptions options;
        options.deviceRoot = m_root;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back([] { parlivo::installParlivo(); });
        auto booted = phone::Phone::boot(std::move(options));
        if (!booted)
            std::abort();
        m_phone = booted.releaseValue();
    }

    std::filesystem::path m_root;
    std::unique_ptr<phone::Phone> m_phone;
};

std::string send(const char* selector, const std::string& text, const std::string& address)
{
    return runtime::send<std::string>(runtime::classNamed("KelvaneMessageSender"), selector, text, address);
}

void BM_SendSMS(benchmark::State& state)
{
    BenchPhone::shared();
    int n = 0;
    for (auto _ : state) {
        if (send("sendMessage:toNumber:", "Arrivo tra dieci minuti, aspettami", smsAddress(1 + n++ % conversationCount)) != "OK")
            state.SkipWithError("the SMS was not sent");
    }
}
BENCHMARK(BM_SendSMS)->Unit(benchmark::kMicrosecond);

runtime::Ref<uikit::UIImage> megapixelPicture()
{
    constexpr uint32_t size = 1000;
    uikit::Bitmap bitmap { size, size, std::vector<uint8_t>(size * size * 4) };
    std::mt19937 random(7);
    for (uint32_t y = 0; y < size; ++y) {
        for (uint32_t x = 0; x < size; ++x) {
            uint8_t* p = &bitmap.rgba[(y * size + x) * 4];
            int noise = static_cast<int>(random() % 24);
            p[0] = static_cast<uint8_t>((x * 255 / size + noise) & 0xFF);
            p[1] = static_cast<uint8_t>((y * 255 / size + noise) & 0xFF);
            p[2] = static_cast<uint8_t>(((x + y) * 127 / size + noise) & 0xFF);
            p[3] = 255;
        }
    }
    return uikit::UIImage::imageWithBitmap(std::move(bitmap));
}

void BM_SendiMessageWithImage(benchmark::State& state)
{
    BenchPhone::shared();
    static const auto picture = megapixelPicture();
    int n = 0;
    for (auto _ : state) {
        std::string address = "amico" + std::to_string(1 + n++ % conversationCount) + "@example.com";
        std::string result = runtime::send<std::string>(runtime::classNamed("KelvaneMessageSender"), "sendiMessage:toNumber:withImage:",
            std::string("Guarda qui"), address, Id(picture));
        if (result != "OK")
            state.SkipWithError("the iMessage was not sent");
    }
}
BENCHMARK(BM_SendiMessageWithImage)->Unit(benchmark::kMillisecond);

// From the tap on the banner, through the tap hook, the message lookup in
// the database and the controller, to the window laid out in the overlay.
void BM_BannerTapToQuickReply(benchmark::State& state)
{
    auto& phone = BenchPhone::shared().phone();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!phone.receiveSMS(smsAddress(1 + n++ % conversationCount), "Ci sei stasera?")) {
            state.SkipWithError("no SMS arrived");
            break;
        }
        state.ResumeTiming();
        auto tapped = phone.tapView("bannerTitle");
        state.PauseTiming();
        auto& tweak = parlivo::tweakState();
        auto window = tweak.rdl ? runtime::cast<uikit::UIViewController>(tweak.rdl->qRVC()) : nullptr;
        if (!tapped || !window || !window->viewIfLoaded() || !window->viewIfLoaded()->window()) {
            state.SkipWithError("the quick reply window did not open");
            break;
        }
        tweak.rdl->dismissBanner();
        phone.advance(2);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BannerTapToQuickReply)->Unit(benchmark::kMicrosecond);

} // namespace
