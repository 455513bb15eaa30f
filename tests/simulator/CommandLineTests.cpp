// plv-sim as a person runs it: exit codes, standard output holding only the
// dumps, and messages on standard error.
#include "support/TemporaryDevice.h"

#include <chatkit/MessageStore.h>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

struct Outcome {
    int exitCode { -1 };
    std::string out;
    std::string err;
};

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PlvSim : public ::testing::Test {
protected:
    Outcome plvSim(const std::string& arguments)
    {
        auto out = m_device.root() / "stdout", err = m_device.root() / "stderr";
        std::string command = std::string("'") + PLV_SIM_PATH + "' " + arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
        int status = std::system(command.c_str());
        return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err) };
    }
    std::string scenario(const std::string& text)
    {
        auto path = m_device.root() / "scenario.json";
        std::ofstream(path) << text;
        return "'" + path.string() + "'";
    }
    std::string phone() const { return "'" + (m_device.root() / "phone").string() + "'"; }

    testsupport::TemporaryDevice m_device;
};

TEST_F(PlvSim, AMalformedStepStopsBeforeThePhoneBoots)
{
    auto run = plvSim("run " + scenario(R"([{"step": "dump"}, {"step": "receive_sms", "from": "+39333"}])") + " --device " + phone());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("step 2 (receive_sms): missing field \"text\""), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(m_device.root() / "phone")) << "nothing was seeded for a scenario that cannot run";

    run = plvSim("run " + scenario("[{\"step\": \"dump\"") + " --device " + phone());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("not JSON"), std::string::npos) << run.err;
}

TEST_F(PlvSim, AStepThePhoneRefusesEndsTheRunWithItsReason)
{
    auto run = plvSim("run " + scenario(R"([{"step": "dump"}, {"step": "tap", "view": "ghostButton"}, {"step": "dump"}])") + " --device " + phone());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("step 2 (tap): "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("ghostButton"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << "the dump before the failure, nothing after";
}

TEST_F(PlvSim, RunPrintsOneLineOfJSONPerDump)
{
    auto run = plvSim("run " + scenario(R"([{"step": "receive_sms", "from": "+393471234567", "text": "Arrivo!"}, {"step": "dump"}, {"step": "advance", "seconds": 30}, {"step": "dump"}])")
        + " --device " + phone());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::istringstream lines(run.out);
    std::vector<nlohmann::json> dumps;
    for (std::string line; std::getline(lines, line);)
        dumps.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(dumps.size(), 2u);
    for (const auto& dump : dumps) {
        for (auto key : { "screen", "springboard", "messages", "outbox", "files" })
            EXPECT_TRUE(dump.contains(key)) << key;
    }
    EXPECT_EQ(dumps[0]["messages"].back()["text"], "Arrivo!");
    EXPECT_FALSE(dumps[0]["springboard"]["banner"].is_null());
    // Every view's frame is a rectangle of four numbers, as the snapshot gives it.
    std::function<void(const nlohmann::json&)> check = [&](const nlohmann::json& view) {
        ASSERT_TRUE(view["frame"].is_array() && view["frame"].size() == 4) << view.dump();
        for (const auto& sub : view.value("subviews", nlohmann::json::array()))
            check(sub);
    };
    ASSERT_FALSE(dumps[0]["screen"]["windows"].empty());
    for (const auto& window : dumps[0]["screen"]["windows"])
        check(window);
}

TEST_F(PlvSim, TheDemoTourRunsToItsEnd)
{
    auto run = plvSim("run '" PLV_SOURCE_DIR "/scenarios/demo.json' --device " + phone() + " --verbose");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GE(std::count(run.out.begin(), run.out.end(), '\n'), 5);
    EXPECT_NE(run.err.find("1. dump"), std::string::npos) << "--verbose tells the steps on standard error";
}

// The quick reply from each of its three doors, as scenarios/parlivo-reply.json
// walks them with the extension library the phone loads.
TEST_F(PlvSim, TheQuickReplyOpensFromTheBannerTheNotificationCentreAndTheLockScreen)
{
    auto run = plvSim("run '" PLV_SOURCE_DIR "/scenarios/parlivo-reply.json' --device " + phone());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<nlohmann::json> dumps;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        dumps.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(dumps.size(), 7u);

    auto window = [](const nlohmann::json& dump, std::string_view name) -> nlohmann::json {
        for (const auto& w : dump["screen"]["windows"])
            if (w.value("name", "") == name)
                return w;
        return nullptr;
    };
    // The panel is the overlay window's only subview; its background is named.
    auto panel = [&](const nlohmann::json& dump) -> nlohmann::json {
        auto overlay = window(dump, "alertWindow");
        if (overlay.is_null() || overlay["subviews"].empty())
            return nullptr;
        return overlay["subviews"][0];
    };
    auto messageText = [](const nlohmann::json& root) {
        for (const auto& sub : root["subviews"][0]["subviews"])
            if (sub.value("name", "") == "messageField")
                return sub.value("text", "");
        return std::string();
    };

    auto banner = window(dumps[0], "bannerWindow");
    ASSERT_FALSE(banner.is_null());
    EXPECT_NE(banner.dump().find("/Library/Application Support/PLV/sms.png"), std::string::npos) << "the banner carries the messages icon";

    auto fromBanner = panel(dumps[1]);
    ASSERT_FALSE(fromBanner.is_null());
    EXPECT_EQ(fromBanner["screenFrame"], nlohmann::json({ 0, 44, 320, 120 }));
    EXPECT_EQ(messageText(fromBanner), "Passi a prendermi alle 8?");
    auto landscape = panel(dumps[2]);
    EXPECT_NE(landscape["rotation"].get<double>(), 0.0);
    EXPECT_EQ(landscape["screenFrame"], nlohmann::json({ 164, 0, 112, 480 }));
    EXPECT_TRUE(panel(dumps[3]).is_null()) << "the close cross takes the panel away";

    auto fromRow = panel(dumps[4]);
    ASSERT_FALSE(fromRow.is_null());
    EXPECT_EQ(messageText(fromRow), "Ti ho lasciato un messaggio in segreteria");
    EXPECT_FALSE(dumps[4]["springboard"]["notificationCenter"]["open"].get<bool>());

    auto fromLockScreen = panel(dumps[5]);
    ASSERT_FALSE(fromLockScreen.is_null());
    EXPECT_EQ(window(dumps[5], "alertWindow")["level"], 1100.0) << "a hundred levels above the status bar";
    EXPECT_EQ(fromLockScreen["screenFrame"], nlohmann::json({ 0, 22, 320, 120 }));
    EXPECT_EQ(messageText(fromLockScreen), "Sono sotto casa tua");
    EXPECT_TRUE(dumps[6]["springboard"]["locked"].get<bool>());
    EXPECT_TRUE(panel(dumps[6]).is_null());
}

// The settings application as the seeder installs it under /Applications,
// driven by scenarios/settings.json through its named switches and rows.
TEST_F(PlvSim, TheSettingsScenarioChangesPreferencesThroughTheApplication)
{
    auto run = plvSim("run '" PLV_SOURCE_DIR "/scenarios/settings.json' --device " + phone());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto dump = nlohmann::json::parse(run.out);
    EXPECT_TRUE(dump["springboard"]["frontApp"].is_null());
    std::string preferences = dump["files"]["/var/mobile/Library/PLV/preferences.plist"];
    EXPECT_NE(preferences.find("<key>lockQR</key>\n\t<string>0</string>"), std::string::npos) << preferences;
    EXPECT_NE(preferences.find("<key>qrtextfield</key>\n\t<string>0.8 0.2 1</string>"), std::string::npos) << preferences;
    std::string favorites = dump["files"]["/var/mobile/Library/PLV/favorites.plist"];
    EXPECT_NE(favorites.find("<dict>"), std::string::npos) << favorites;
}

// The reply scenarios of scenarios/, each on a phone of its own, with the
// extension library the phone loads.
TEST_F(PlvSim, TheReplyScenariosSendWhatTheyShow)
{
    auto run = [&](const std::string& name) {
        auto device = m_device.root() / name;
        auto outcome = plvSim("run '" PLV_SOURCE_DIR "/scenarios/" + name + ".json' --device '" + device.string() + "'");
        std::vector<nlohmann::json> dumps;
        std::istringstream lines(outcome.out);
        for (std::string line; std::getline(lines, line);)
            dumps.push_back(nlohmann::json::parse(line));
        EXPECT_EQ(outcome.exitCode, 0) << name << ": " << outcome.err;
        return std::make_pair(dumps, device);
    };
    std::function<nlohmann::json(const nlohmann::json&, std::string_view)> find = [&](const nlohmann::json& view, std::string_view name) -> nlohmann::json {
        if (view.contains("name") && view["name"].is_string() && view["name"].get<std::string>() == name)
            return view;
        for (const auto& sub : view.value("subviews", nlohmann::json::array()))
            if (auto found = find(sub, name); !found.is_null())
                return found;
        return nullptr;
    };
    auto view = [&](const nlohmann::json& dump, std::string_view name) -> nlohmann::json {
        for (const auto& window : dump["screen"]["windows"])
            if (auto found = find(window, name); !found.is_null())
                return found;
        return nullptr;
    };
    auto closed = [&](const nlohmann::json& dump) {
        return dump["springboard"]["banner"].is_null() && view(dump, "bgView").is_null();
    };

    auto [sms, smsPhone] = run("reply-sms");
    ASSERT_EQ(sms.size(), 4u);
    EXPECT_FALSE(view(sms[1], "sendButton")["enabled"].get<bool>());
    EXPECT_EQ(view(sms[2], "contatore")["text"], "1/160");
    EXPECT_TRUE(view(sms[2], "sendButton")["enabled"].get<bool>());
    EXPECT_TRUE(closed(sms[3]));
    auto reply = sms[3]["messages"].back();
    EXPECT_EQ(reply["kind"], "sms");
    EXPECT_TRUE(reply["outgoing"].get<bool>());
    EXPECT_EQ(reply["address"], "+393471234567");
    EXPECT_EQ(reply["text"], "Arrivo tra 5 minuti!");

    auto [picture, picturePhone] = run("reply-imessage-picture");
    ASSERT_EQ(picture.size(), 3u);
    EXPECT_EQ(view(picture[0], "replyField")["text"], "Sono qui, guarda!");
    EXPECT_FALSE(view(picture[1], "attachmentButton").is_null()) << "the paper clip shows the picked picture";
    EXPECT_TRUE(closed(picture[2]));
    reply = picture[2]["messages"].back();
    EXPECT_EQ(reply["kind"], "iMessage");
    EXPECT_TRUE(reply["outgoing"].get<bool>());
    EXPECT_EQ(reply["text"], "Sono qui, guarda!");
    auto opened = chatkit::MessageStore::open(picturePhone / "var/mobile/Library/SMS/sms.db");
    ASSERT_TRUE(opened) << opened.reason();
    auto& store = *opened;
    auto stored = store->message(reply["ROWID"].get<int64_t>());
    ASSERT_TRUE(stored);
    auto parts = store->parts(*stored);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1].kind, chatkit::StoredPart::Kind::Media);
    EXPECT_EQ(parts[1].mimeType, "image/jpeg");
    EXPECT_TRUE(parts[1].devicePath.ends_with("/image.jpg")) << parts[1].devicePath;

    auto [composer, composerPhone] = run("builtin-sms");
    ASSERT_EQ(composer.size(), 3u);
    EXPECT_EQ(view(composer[0], "composeRecipientsField")["text"], "+393381112222");
    EXPECT_FALSE(view(composer[1], "bgView").is_null()) << "the panel stays until 0.3 seconds have passed";
    EXPECT_TRUE(closed(composer[2]));
    EXPECT_TRUE(view(composer[2], "composeView").is_null());

    auto [preview, previewPhone] = run("preview-picture");
    ASSERT_EQ(preview.size(), 3u);
    EXPECT_FALSE(view(preview[0], "attachmentButton").is_null());
    auto image = view(preview[1], "previewImageView");
    ASSERT_FALSE(image.is_null());
    ASSERT_TRUE(image["image"].is_string()) << image.dump();
    EXPECT_TRUE(image["image"].get<std::string>().ends_with("/image.jpg")) << image["image"];
    EXPECT_TRUE(view(preview[2], "previewView").is_null());
    EXPECT_FALSE(view(preview[2], "bgView").is_null());
}

// The compose scenarios of scenarios/: each journey's messages reach sms.db
// as the scenario's comments say, and the window is gone afterwards.
TEST_F(PlvSim, TheComposeScenariosSendWhatTheyShow)
{
    auto run = [&](const std::string& name) {
        auto device = m_device.root() / name;
        auto outcome = plvSim("run '" PLV_SOURCE_DIR "/scenarios/" + name + ".json' --device '" + device.string() + "'");
        std::vector<nlohmann::json> dumps;
        std::istringstream lines(outcome.out);
        for (std::string line; std::getline(lines, line);)
            dumps.push_back(nlohmann::json::parse(line));
        EXPECT_EQ(outcome.exitCode, 0) << name << ": " << outcome.err;
        return dumps;
    };
    std::function<nlohmann::json(const nlohmann::json&, std::string_view)> find = [&](const nlohmann::json& view, std::string_view name) -> nlohmann::json {
        if (view.contains("name") && view["name"].is_string() && view["name"].get<std::string>() == name)
            return view;
        for (const auto& sub : view.value("subviews", nlohmann::json::array()))
            if (auto found = find(sub, name); !found.is_null())
                return found;
        return nullptr;
    };
    auto view = [&](const nlohmann::json& dump, std::string_view name) -> nlohmann::json {
        for (const auto& window : dump["screen"]["windows"])
            if (auto found = find(window, name); !found.is_null())
                return found;
        return nullptr;
    };
    // The messages sent between two dumps (the demo phone has sent some before).
    auto outgoing = [](const nlohmann::json& before, const nlohmann::json& after) {
        std::set<int64_t> known;
        for (const auto& row : before["messages"])
            known.insert(row["ROWID"].get<int64_t>());
        std::vector<nlohmann::json> rows;
        for (const auto& row : after["messages"])
            if (row["outgoing"].get<bool>() && !known.contains(row["ROWID"].get<int64_t>()))
                rows.push_back(row);
        return rows;
    };
    auto closed = [&](const nlohmann::json& dump) { return dump["springboard"]["banner"].is_null() && view(dump, "bgView").is_null(); };

    auto sms = run("compose-sms");
    ASSERT_EQ(sms.size(), 4u);
    EXPECT_EQ(sms[0]["springboard"]["banner"]["title"], "New message");
    EXPECT_EQ(view(sms[0], "replyField")["text"], "Message");
    EXPECT_FALSE(view(sms[1], "contactsTableView").is_null());
    EXPECT_EQ(view(sms[2], "toField")["text"], "Rossi Anna");
    EXPECT_EQ(view(sms[2], "contatore")["text"], "18/160");
    EXPECT_TRUE(closed(sms[3]));
    auto sent = outgoing(sms[0], sms[3]);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["kind"], "sms");
    EXPECT_EQ(sent[0]["text"], "Ci vediamo alle 8?");

    auto group = run("compose-group");
    ASSERT_EQ(group.size(), 2u);
    EXPECT_TRUE(closed(group[1]));
    EXPECT_EQ(outgoing(group[0], group[1]).size(), 2u);
    std::string log = group[1]["files"]["/var/mobile/Library/PLV/PLV.log"].get<std::string>();
    for (auto contact : { "+39 347 123 4567", "333 765 4321", "giulia.bianchi@example.it" })
        EXPECT_NE(log.find(contact), std::string::npos) << contact;

    auto typed = run("compose-typed-imessage");
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_TRUE(closed(typed[1]));
    sent = outgoing(typed[0], typed[1]);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["kind"], "iMessage");
    EXPECT_EQ(sent[0]["text"], "Sei a casa?");

    auto turned = run("compose-swipe-rotate");
    ASSERT_EQ(turned.size(), 2u);
    EXPECT_EQ(view(turned[0], "bgView")["frame"], nlohmann::json({ 0, 0, 480, 112 }));
    EXPECT_EQ(view(turned[0], "replyField")["frame"], nlohmann::json({ 20, 33, 440, 49 }));
    EXPECT_EQ(view(turned[0], "sendButton")["frame"], nlohmann::json({ 403, 85, 57, 32 }));
    EXPECT_TRUE(closed(turned[1]));
}

// A scenario describes what happened, whatever the machine was doing: the
// log-size check that a closing panel starts in the background is over by
// the next step, so a phone with an oversized log shows it removed in every
// run, with every core kept busy meanwhile.
TEST_F(PlvSim, AScenarioGivesTheSameDumpOnABusyMachine)
{
    auto seeded = plvSim("seed " + phone());
    ASSERT_EQ(seeded.exitCode, 0) << seeded.err;
    auto steps = scenario(R"([
        {"step": "receive_sms", "from": "+393471234567", "text": "Passi a prendermi alle 8?"},
        {"step": "tap", "x": 160, "y": 20},
        {"step": "advance", "seconds": 1},
        {"step": "tap", "view": "closeButton"},
        {"step": "advance", "seconds": 1},
        {"step": "dump"}])");

    std::atomic<bool> busy = true;
    std::vector<std::thread> load;
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()) * 2; ++i) {
        load.emplace_back([&busy] {
            volatile uint64_t spin = 0;
            while (busy.load(std::memory_order_relaxed))
                spin = spin + 1;
        });
    }
    std::vector<std::string> dumps;
    for (int run = 0; run < 6; ++run) {
        auto device = m_device.root() / ("run" + std::to_string(run));
        std::filesystem::copy(m_device.root() / "phone", device, std::filesystem::copy_options::recursive);
        auto log = device / "var/mobile/Library/PLV/PLV.log";
        std::filesystem::create_directories(log.parent_path());
        std::ofstream(log, std::ios::binary) << std::string(99'999, 'x') << '\n';
        auto outcome = plvSim("run " + steps + " --device '" + device.string() + "'");
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        dumps.push_back(outcome.out);
    }
    busy = false;
    for (auto& thread : load)
        thread.join();

    auto first = nlohmann::json::parse(dumps[0]);
    auto logText = first["files"]["/var/mobile/Library/PLV/PLV.log"];
    EXPECT_TRUE(logText.is_null() || logText.get<std::string>().size() < 100'000) << "the oversized log was removed";
    for (size_t run = 1; run < dumps.size(); ++run)
        EXPECT_EQ(dumps[run], dumps[0]) << "run " << run << " differs from the first";
}

TEST_F(PlvSim, ACommandLineThatMakesNoSenseAnswersTwo)
{
    EXPECT_EQ(plvSim("").exitCode, 2);
    EXPECT_EQ(plvSim("run").exitCode, 2);
    EXPECT_EQ(plvSim("seed " + phone() + " --contacts 0").exitCode, 2);
    EXPECT_EQ(plvSim("--help").exitCode, 0);
}

TEST_F(PlvSim, SeedingTwiceKeepsThePhone)
{
    auto first = plvSim("seed " + phone() + " --contacts 30");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("created /var/mobile/Library/SMS/sms.db"), std::string::npos) << first.out;
    auto second = plvSim("seed " + phone() + " --contacts 30");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("kept /var/mobile/Library/SMS/sms.db"), std::string::npos) << second.out;

    std::ofstream(m_device.root() / "elsewhere.txt") << "someone's file";
    auto refused = plvSim("seed '" + m_device.root().string() + "'");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("holds other files and no phone"), std::string::npos) << refused.err;
}

} // namespace
