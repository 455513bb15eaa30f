#include "ServeLoad.h"
#include "support/TemporaryDevice.h"

#include <simulator/DemoPhone.h>
#include <simulator/Serve.h>
#include <simulator/ServeAnswers.h>
#include <simulator/ServeThreads.h>

#include <foundation/ScopeGuard.h>

#include <phone/Phone.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <functional>
#include <map>
#include <thread>

using namespace simulator;
using nlohmann::json;

namespace {

// A seeded demo phone on the real clock with the server on a free loopback
// port. The test's own thread is the phone's main thread and turns its run
// loop while a client thread talks to the server.
class ServedPhone : public ::testing::Test {
protected:
    void SetUp() override
    {
        SeedOptions seed;
        seed.deviceRoot = m_device.root();
        seed.resourcesDir = PLV_TEST_RESOURCES_DIR;
        seed.contactCount = 20;
        auto report = seedDemoPhone(seed);
        ASSERT_TRUE(report) << report.reason();
        phone::BootOptions boot;
        boot.deviceRoot = m_device.root();
        boot.clock = foundation::ClockKind::System;
        boot.loadExtensions = false;
        auto booted = phone::Phone::boot(std::move(boot));
        ASSERT_TRUE(booted) << booted.reason();
        m_phone = booted.releaseValue();

        ServeOptions options;
        options.port = 0;
        options.webRoot = PLV_SOURCE_DIR "/web";
        adjust(options);
        auto started = PhoneServer::start(*m_phone, options);
        ASSERT_TRUE(started) << started.reason();
        m_server = started.releaseValue();
    }
    virtual void adjust(ServeOptions&) { }
    void TearDown() override
    {
        m_server.reset();
        m_phone.reset();
    }

    // Runs `work` against the server on a thread of its own while this
    // thread turns the phone's run loop; the server stops when it is done.
    void withClient(const std::function<void(httplib::Client&)>& work)
    {
        std::thread client([&] {
            httplib::Client http("127.0.0.1", m_server->port());
            http.set_read_timeout(30);
            work(http);
            m_server->stop();
        });
        m_server->run();
        client.join();
    }

    static httplib::Result post(httplib::Client& http, const std::string& body)
    {
        return http.Post("/api/step", body, "application/json");
    }

    static json state(httplib::Client& http)
    {
        auto response = http.Get("/api/state");
        return response && response->status == 200 ? json::parse(response->body) : json();
    }

    testsupport::TemporaryDevice m_device;
    std::unique_ptr<phone::Phone> m_phone;
    std::unique_ptr<PhoneServer> m_server;
};

TEST_F(ServedPhone, ServesThePageAndThePhonesState)
{
    withClient([](httplib::Client& http) {
        auto page = http.Get("/");
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200);
        EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");

        auto raw = http.Get("/api/state");
        ASSERT_TRUE(raw);
        json now = json::parse(raw->body);
        ASSERT_TRUE(now.is_object());
        EXPECT_EQ(now["screen"]["snapshot"]["screen"]["bounds"], json::parse("[0, 0, 320, 480]"));
        // The screen is sent as written, and those are the bytes its tree dumps to.
        EXPECT_NE(raw->body.find(R"("screen":)" + now["screen"].dump(-1, ' ', false, json::error_handler_t::replace)), std::string::npos);
        EXPECT_EQ(now["screen"]["springboard"]["locked"], false);
        EXPECT_FALSE(now["panels"]["messages"].empty());

        auto steps = http.Get("/api/steps");
        ASSERT_TRUE(steps);
        EXPECT_NE(steps->body.find("\"receive_sms\""), std::string::npos);
        auto apps = http.Get("/api/apps");
        ASSERT_TRUE(apps);
        EXPECT_NE(apps->body.find("com.apple.MobileSMS"), std::string::npos);
        auto pictures = http.Get("/api/pictures");
        ASSERT_TRUE(pictures);
        EXPECT_NE(pictures->body.find("IMG_0002.JPG"), std::string::npos);
        // The senders the page offers come from the phone's demo data, a
        // mail sender with her name among them.
        auto contacts = http.Get("/api/contacts");
        ASSERT_TRUE(contacts);
        json senders = json::parse(contacts->body);
        ASSERT_TRUE(senders.is_array());
        EXPECT_NE(std::find(senders.begin(), senders.end(), json { { "address", "giulia@example.com" }, { "name", "Giulia Bianchi" } }), senders.end()) << senders;
    });
}

TEST_F(ServedPhone, AStepRunsOnThePhoneAndShowsInTheState)
{
    withClient([](httplib::Client& http) {
        auto response = post(http, R"({"step": "receive_sms", "from": "+393471234567", "text": "Ci sei?"})");
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200) << response->body;
        json now = state(http);
        EXPECT_EQ(now["screen"]["springboard"]["banner"]["message"], "Ci sei?");
        EXPECT_EQ(now["panels"]["messages"].back()["text"], "Ci sei?");

        auto dump = post(http, R"({"step": "dump"})");
        ASSERT_TRUE(dump);
        EXPECT_EQ(json::parse(dump->body)["output"]["springboard"]["banner"]["message"], "Ci sei?");
    });
}

TEST_F(ServedPhone, StepsThatMakeNoSenseAreRefusedAndChangeNothing)
{
    withClient([](httplib::Client& http) {
        json before = state(http);
        struct Case {
            std::string body;
            int status;
            std::string says;
        };
        std::string deep = std::string(5000, '[') + std::string(5000, ']');
        for (const Case& refused : {
                 Case { "{\"step\": \"receive_sms\", \"from\": ", 400, "not JSON" },
                 Case { "", 400, "not JSON" },
                 Case { R"({"step": "explode"})", 400, "explode" },
                 Case { R"({"step": "receive_sms", "from": "+39347"})", 400, "text" },
                 Case { R"({"step": "rotate", "orientation": "3"})", 400, "orientation" },
                 Case { R"({"step": "rotate", "orientation": 9})", 400, "orientation" },
                 Case { R"(["lock"])", 400, "" },
                 Case { R"({"step": "advance", "seconds": 3600})", 400, "real clock" },
                 Case { deep, 400, "nested" },
                 Case { R"({"step": "tap", "view": "noSuchView"})", 409, "noSuchView" },
                 Case { R"({"step": "type", "text": "x"})", 409, "" },
             }) {
            auto response = post(http, refused.body);
            ASSERT_TRUE(response) << refused.body.substr(0, 80);
            EXPECT_EQ(response->status, refused.status) << refused.body.substr(0, 80) << " → " << response->body;
            json answer = json::parse(response->body, nullptr, false);
            ASSERT_TRUE(answer.is_object()) << response->body;
            EXPECT_EQ(answer["ok"], false);
            EXPECT_NE(answer["error"].get<std::string>().find(refused.says), std::string::npos) << answer["error"];
        }
        json after = state(http);
        EXPECT_EQ(after["screen"], before["screen"]);
        EXPECT_EQ(after["panels"]["messages"], before["panels"]["messages"]);
    });
}

TEST_F(ServedPhone, TheExtensionChoiceIsCheckedThenHandedOverAndTheServerStops)
{
    withClient([](httplib::Client& http) {
        auto shown = http.Get("/api/extensions");
        ASSERT_TRUE(shown);
        EXPECT_EQ(json::parse(shown->body)["chosen"], json::parse(R"(["parlivo"])"));
        for (std::string body : { "[]", R"({"extensions": []})", R"({"extensions": ["settings"]})", R"({"extensions": [1]})", "nonsense" }) {
            auto refused = http.Post("/api/extensions", body, "application/json");
            ASSERT_TRUE(refused);
            EXPECT_EQ(refused->status, 400) << body;
        }
        // This server was started without a way to reboot.
        auto cannot = http.Post("/api/extensions", R"({"extensions": ["rendalo"]})", "application/json");
        ASSERT_TRUE(cannot);
        EXPECT_EQ(cannot->status, 409);
    });

    m_server.reset();
    std::vector<ExtensionChoice> handed;
    ServeOptions options;
    options.port = 0;
    options.webRoot = PLV_SOURCE_DIR "/web";
    options.changeExtensions = [&](const ExtensionChoice& choice) -> foundation::Result<void> {
        handed.push_back(choice);
        return foundation::success();
    };
    auto started = PhoneServer::start(*m_phone, options);
    ASSERT_TRUE(started) << started.reason();
    m_server = started.releaseValue();
    std::thread client([&] {
        httplib::Client http("127.0.0.1", m_server->port());
        auto accepted = http.Post("/api/extensions", R"({"extensions": ["Rendalo", "parlivo"]})", "application/json");
        ASSERT_TRUE(accepted);
        EXPECT_EQ(accepted->status, 200) << accepted->body;
    });
    // Returns once the server has stopped itself for the reboot.
    m_server->run();
    client.join();
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], (ExtensionChoice { "Parlivo", "Rendalo" }));
}

TEST_F(ServedPhone, ABodyOverTheLimitIsRefusedAsTooLarge)
{
    withClient([](httplib::Client& http) {
        std::string text(70 * 1024, 'a');
        auto response = post(http, R"({"step": "receive_sms", "from": "+39347", "text": ")" + text + "\"}");
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 413);
        EXPECT_TRUE(state(http)["panels"]["messages"].back()["text"] != text);
        // The server still answers afterwards.
        auto page = http.Get("/");
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200);
    });
}

TEST_F(ServedPhone, PicturesComeFromTheDeviceAndNothingElseDoes)
{
    withClient([](httplib::Client& http) {
        auto picture = http.Get("/device/var/mobile/Media/DCIM/100APPLE/IMG_0002.JPG");
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->status, 200);
        EXPECT_EQ(picture->get_header_value("Content-Type"), "image/jpeg");
        for (const char* path : {
                 "/device/var/mobile/Library/SMS/sms.db",
                 "/device/var/mobile/Library/AddressBook/AddressBook.sqlitedb",
                 "/device/../../../etc/passwd",
                 "/device/var/%2e%2e/%2e%2e/etc/passwd",
                 "/device/%2fetc/passwd",
                 "/../CMakeLists.txt",
                 "/%2e%2e/CMakeLists.txt",
                 "/app.js/../../CMakeLists.txt",
             }) {
            auto response = http.Get(path);
            ASSERT_TRUE(response) << path;
            EXPECT_EQ(response->status, 404) << path;
        }
    });
}

// The screen is taken once per step, not after every turn: what the phone
// changes later on its own (a timer, posted work) must still reach the pages,
// and reading the state in between must not hide it.
TEST_F(ServedPhone, WhatThePhoneChangesOnItsOwnAfterAStepStillReachesTheState)
{
    phone::Phone* phone = m_phone.get();
    withClient([phone](httplib::Client& http) {
        auto response = post(http, R"({"step": "receive_sms", "from": "+393471234567", "text": "Dopo"})");
        ASSERT_TRUE(response);
        json now = state(http);
        EXPECT_EQ(now["screen"]["springboard"]["banner"]["message"], "Dopo");
        ASSERT_EQ(now["screen"]["springboard"]["locked"], false);
        uint64_t generation = now["generation"];

        phone->runLoop().performAfter(0.05, [phone] { phone->lock(); });
        for (int i = 0; i < 300 && now["screen"]["springboard"]["locked"] != true; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            now = state(http);
        }
        EXPECT_EQ(now["screen"]["springboard"]["locked"], true);
        EXPECT_GT(now["generation"].get<uint64_t>(), generation);
    });
}

TEST_F(ServedPhone, PagesArePushedTheScreenWhenItChanges)
{
    int port = m_server->port();
    withClient([port](httplib::Client& http) {
        std::string stream;
        std::atomic<bool> bannerSeen { false };
        std::thread watcher([&] {
            httplib::Client events("127.0.0.1", port);
            events.set_read_timeout(30);
            events.Get("/api/events", [&](const char* data, size_t length) {
                stream.append(data, length);
                if (stream.find("Pushed along") != std::string::npos) {
                    bannerSeen = true;
                    return false;
                }
                return true;
            });
        });
        // Wait until the first events are in, then change the screen.
        for (int i = 0; i < 200 && state(http)["generation"] == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        auto response = post(http, R"({"step": "receive_sms", "from": "+393471234567", "text": "Pushed along"})");
        ASSERT_TRUE(response);
        watcher.join();
        EXPECT_TRUE(bannerSeen);
        EXPECT_NE(stream.find("event: screen\ndata: "), std::string::npos);
        EXPECT_NE(stream.find("event: panels\ndata: "), std::string::npos);
    });
}

// What a client that accepts every compression is sent, as it comes off the
// wire: each path's Content-Encoding (empty for none) and body.
std::map<std::string, std::pair<std::string, std::string>> rawAnswers(int port)
{
    httplib::Client http("127.0.0.1", port);
    http.set_decompress(false);
    httplib::Headers accepting { { "Accept-Encoding", "gzip, deflate, br" } };
    std::map<std::string, std::pair<std::string, std::string>> answers;
    auto keep = [&](const std::string& name, const httplib::Result& result) {
        if (result)
            answers[name] = { result->get_header_value("Content-Encoding"), result->body };
    };
    for (const auto* path : { "/api/state", "/app.js", "/api/steps", "/no-such-file" })
        keep(path, http.Get(path, accepting));
    keep("step", http.Post("/api/step", accepting, R"({"step": "home"})", "application/json"));
    keep("refused", http.Post("/api/step", accepting, R"({"step": "fly"})", "application/json"));
    return answers;
}

// Compressing costs the machine that runs the phone and saves nothing over
// loopback: a loopback server sends every body as it is, whatever the client
// accepts.
TEST_F(ServedPhone, OnLoopbackNothingIsCompressed)
{
    int port = m_server->port();
    std::map<std::string, std::pair<std::string, std::string>> answers;
    withClient([&](httplib::Client&) { answers = rawAnswers(port); });
    ASSERT_EQ(answers.size(), 6u);
    for (const auto& [path, answer] : answers) {
        EXPECT_EQ(answer.first, "") << path;
        EXPECT_GT(answer.second.size(), 20u) << path;
    }
    EXPECT_GT(answers["/api/state"].second.size(), ServeAnswers::SmallestCompressed);
    EXPECT_TRUE(json::parse(answers["/api/state"].second, nullptr, false).is_object());
    EXPECT_EQ(json::parse(answers["step"].second, nullptr, false)["ok"], true);
    EXPECT_NE(answers["refused"].second.find("unknown step"), std::string::npos);
    EXPECT_NE(answers["/no-such-file"].second.find("nothing here"), std::string::npos);
}

// A server other machines reach.
class ServedPhoneBeyondLoopback : public ServedPhone {
protected:
    void adjust(ServeOptions& options) override
    {
        options.bindAddress = "0.0.0.0";
        options.allowRemote = true;
    }
};

// To another machine the big bodies go compressed, when the client accepts
// it; a step's short answer and an error never are.
TEST_F(ServedPhoneBeyondLoopback, OnlyLargeBodiesAreCompressed)
{
    int port = m_server->port();
    std::map<std::string, std::pair<std::string, std::string>> answers;
    std::string plainState;
    withClient([&](httplib::Client& http) {
        answers = rawAnswers(port);
        auto plain = http.Get("/api/state", httplib::Headers { { "Accept-Encoding", "identity" } });
        if (plain && plain->get_header_value("Content-Encoding").empty())
            plainState = plain->body;
    });
    ASSERT_EQ(answers.size(), 6u);
    EXPECT_NE(answers["/api/state"].first, "");
    EXPECT_NE(answers["/app.js"].first, "");
    EXPECT_LT(answers["/api/state"].second.size(), plainState.size());
    EXPECT_TRUE(json::parse(plainState, nullptr, false).is_object());
    for (const auto* small : { "step", "refused", "/no-such-file" }) {
        EXPECT_EQ(answers[small].first, "") << small;
        EXPECT_LT(answers[small].second.size(), ServeAnswers::SmallestCompressed) << small;
    }
}

// A server that allows fewer event streams than the default.
class ServedPhoneWithEightStreams : public ServedPhone {
protected:
    void adjust(ServeOptions& options) override { options.maxEventStreams = 8; }
};

TEST_F(ServedPhoneWithEightStreams, EventStreamsAreLimitedSoStepsStillFindAThread)
{
    int port = m_server->port();
    withClient([this, port](httplib::Client& http) {
        // This server allows 8; hold them all open.
        std::atomic<bool> release { false };
        std::atomic<int> open { 0 };
        std::vector<std::thread> watchers;
        // A failed assertion leaves early: the stopping server ends the streams.
        foundation::ScopeGuard joinWatchers([&] {
            release = true;
            m_server->stop();
            for (auto& watcher : watchers)
                watcher.join();
        });
        for (int i = 0; i < 8; ++i) {
            watchers.emplace_back([&] {
                httplib::Client events("127.0.0.1", port);
                events.set_read_timeout(30);
                bool counted = false;
                events.Get("/api/events", [&](const char*, size_t) {
                    if (!counted) {
                        counted = true;
                        ++open;
                    }
                    return !release;
                });
            });
        }
        for (int i = 0; i < 3000 && open < 8; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(open, 8);
        auto refused = http.Get("/api/events");
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 503);
        auto step = post(http, R"({"step": "lock"})");
        ASSERT_TRUE(step) << httplib::to_string(step.error());
        EXPECT_EQ(step->status, 200);
        release = true;
        // A change wakes the streams, which then notice they are released.
        post(http, R"({"step": "home"})");
    });
}

// Ten pages posting steps and watching the screen while ten connections
// send half a request and wait, and oversized and garbled requests arrive:
// every step runs exactly once, the pages are not held up behind the slow
// connections, and the hostile requests are answered at once. The bound on
// p99 is loose (sanitized builds are slow); the figures a person wants come
// from plv-serve-load.
TEST_F(ServedPhone, UnderLoadWithSlowConnectionsEveryStepRunsOnceAndPromptly)
{
    int port = m_server->port();
    serveload::LoadReport report;
    withClient([&](httplib::Client&) {
        serveload::LoadOptions options;
        options.port = port;
        options.clients = 10;
        options.slowConnections = 10;
        options.duration = std::chrono::seconds(3);
        report = serveload::runLoad(options);
    });
    SCOPED_TRACE(serveload::describe(report));
    EXPECT_GT(report.stepsAnswered, 10u);
    EXPECT_EQ(report.stepsRefused, 0u);
    EXPECT_EQ(report.lost, 0u);
    EXPECT_EQ(report.duplicated, 0u);
    EXPECT_EQ(report.streamsRefused, 0u);
    EXPECT_GT(report.events, 0u);
    EXPECT_LT(report.p99, 2500);
    ASSERT_FALSE(report.oversizedStatuses.empty());
    for (int status : report.oversizedStatuses)
        EXPECT_EQ(status, 413);
    for (int status : report.malformedStatuses)
        EXPECT_EQ(status, 400);
    EXPECT_LT(report.oversizedWorst, 2500);
    EXPECT_LT(report.malformedWorst, 2500);
}

// A connection holds its thread for as long as it lasts; one that waits must
// not keep the next from being served, up to the bound; past it the next
// waits for a thread to come free. Shutting down runs what was queued.
TEST(ServeThreadsTest, AWaitingTaskGetsNoOtherOneStuckBehindItUpToTheBound)
{
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0, finished = 0;
    bool release = false;
    auto blocking = [&] {
        std::unique_lock lock(mutex);
        ++running;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
        ++finished;
        changed.notify_all();
    };
    auto waitFor = [&](auto condition) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), condition);
    };
    {
        ServeThreads threads(3);
        for (int i = 0; i < 3; ++i)
            threads.enqueue(blocking);
        EXPECT_TRUE(waitFor([&] { return running == 3; }));
        threads.enqueue(blocking);
        EXPECT_EQ(threads.threadCount(), 3u);
        EXPECT_EQ(threads.queued(), 1u);
        {
            std::lock_guard lock(mutex);
            release = true;
        }
        changed.notify_all();
        EXPECT_TRUE(waitFor([&] { return finished == 4; }));
        // Threads that came free take the next connections.
        threads.enqueue(blocking);
        EXPECT_TRUE(waitFor([&] { return finished == 5; }));
        EXPECT_EQ(threads.threadCount(), 3u);
        threads.enqueue([&] {
            std::lock_guard lock(mutex);
            ++finished;
        });
        threads.shutdown();
        EXPECT_EQ(finished, 6);
        threads.enqueue([] { FAIL() << "ran after shutdown"; });
    }
}

TEST(ServeOptionsTest, OnlyLoopbackUnlessAskedExplicitly)
{
    EXPECT_TRUE(isLoopbackAddress("127.0.0.1"));
    EXPECT_TRUE(isLoopbackAddress("::1"));
    EXPECT_TRUE(isLoopbackAddress("localhost"));
    EXPECT_FALSE(isLoopbackAddress("0.0.0.0"));
    EXPECT_FALSE(isLoopbackAddress("192.168.1.2"));
    EXPECT_FALSE(isLoopbackAddress(""));
}

TEST_F(ServedPhone, RefusesToListenBeyondLoopbackWithoutPermission)
{
    ServeOptions options;
    options.port = 0;
    options.bindAddress = "0.0.0.0";
    options.webRoot = PLV_SOURCE_DIR "/web";
    auto refused = PhoneServer::start(*m_phone, options);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.reason().find("--allow-remote"), std::string::npos);

    options.bindAddress = "127.0.0.1";
    options.webRoot = m_device.root();
    auto noPage = PhoneServer::start(*m_phone, options);
    EXPECT_FALSE(noPage);
    EXPECT_NE(noPage.reason().find("index.html"), std::string::npos);
    withClient([](httplib::Client&) {});
}

} // namespace
