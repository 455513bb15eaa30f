#include "support/TemporaryDevice.h"

#include <simulator/DemoConversations.h>
#include <simulator/DemoPhone.h>
#include <simulator/Dump.h>
#include <simulator/ScenarioRunner.h>

#include <foundation/NotificationCenter.h>
#include <phone/Phone.h>

#include <gtest/gtest.h>

using namespace simulator;
using nlohmann::json;

namespace {

// A seeded demo phone, booted without extension libraries, on the virtual clock.
class ScenarioOnPhone : public ::testing::Test {
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
        boot.loadExtensions = false;
        auto booted = phone::Phone::boot(std::move(boot));
        ASSERT_TRUE(booted) << booted.reason();
        m_phone = booted.releaseValue();
        m_runner = std::make_unique<ScenarioRunner>(*m_phone);
    }
    void TearDown() override
    {
        m_runner.reset();
        m_phone.reset();
    }

    StepResult run(const char* step) { return m_runner->runStep(json::parse(step)); }

    testsupport::TemporaryDevice m_device;
    std::unique_ptr<phone::Phone> m_phone;
    std::unique_ptr<ScenarioRunner> m_runner;
};

TEST_F(ScenarioOnPhone, DumpShowsThePhoneAsItsPartsSeeIt)
{
    auto result = run(R"({"step": "dump"})");
    ASSERT_TRUE(result) << result.reason();
    ASSERT_TRUE(*result);
    const json& dump = **result;
    EXPECT_EQ(dump["screen"], m_phone->screenSnapshot());
    EXPECT_EQ(dump["springboard"], m_phone->springboardState());
    for (auto key : { "banner", "notificationCenter", "locked", "frontApp", "orientation" })
        EXPECT_TRUE(dump["springboard"].contains(key)) << key;

    auto demo = demoConversations();
    ASSERT_EQ(dump["messages"].size(), demo.size());
    const json& first = dump["messages"][0];
    EXPECT_EQ(first["address"], demo[0].address);
    EXPECT_EQ(first["text"], demo[0].text);
    EXPECT_EQ(first["kind"], "sms");
    EXPECT_EQ(first["outgoing"], false);
    EXPECT_EQ(first["read"], true);
    EXPECT_TRUE(first["ROWID"].is_number_integer());
    EXPECT_EQ(dump["outbox"], json::array());
    EXPECT_TRUE(dump["files"]["/var/mobile/Library/PLV/favorites.plist"].get<std::string>().find("Rossi Anna") != std::string::npos);
    EXPECT_TRUE(dump["files"]["/var/mobile/Library/PLV/preferences.plist"].is_null());
    EXPECT_NE(dumpLine(dump).find("\"screen\""), std::string::npos);
    EXPECT_EQ(dumpLine(dump).find('\n'), std::string::npos) << "one line";
}

TEST_F(ScenarioOnPhone, AnIncomingSMSBecomesARowAndABanner)
{
    ASSERT_TRUE(run(R"({"step": "receive_sms", "from": "+393337654321", "text": "Sei già partita?"})"));
    auto dump = **run(R"({"step": "dump"})");
    const json& last = dump["messages"].back();
    EXPECT_EQ(last["text"], "Sei già partita?");
    EXPECT_EQ(last["outgoing"], false);
    EXPECT_EQ(last["read"], false);
    EXPECT_FALSE(dump["springboard"]["banner"].is_null());
}

TEST_F(ScenarioOnPhone, StepsThatMakeNoSenseAreRefusedWithTheirReason)
{
    auto tap = run(R"({"step": "tap", "view": "noSuchButton"})");
    EXPECT_FALSE(tap);
    EXPECT_NE(tap.reason().find("noSuchButton"), std::string::npos) << tap.reason();

    auto picture = run(R"({"step": "receive_imessage", "from": "+393337654321", "text": "x", "picture": "IMG_0042.JPG"})");
    EXPECT_EQ(picture.reason(), "no picture /var/mobile/Media/DCIM/100APPLE/IMG_0042.JPG on the phone");

    EXPECT_EQ(run(R"({"step": "advance", "seconds": -1})").reason(), "\"seconds\" must be from 0 to 604800 (a week)");
    EXPECT_EQ(run(R"({"step": "rotate", "orientation": 5})").reason(), "\"orientation\" must be 1 (portrait), 2 (upside down), 3 or 4 (landscape)");
    EXPECT_EQ(run(R"({"step": "tap_notification", "index": -1})").reason(), "\"index\" must be 0 or more (0 is the newest)");
    EXPECT_EQ(run(R"({"step": "backspace", "count": 0})").reason(), "\"count\" must be from 1 to 100000");
    EXPECT_EQ(run(R"({"step": "receive_sms"})").reason(), "missing field \"from\"");

    m_device.write("/var/mobile/Library/PLV/preferences.plist", "not a list");
    EXPECT_NE(run(R"({"step": "write_preference", "key": "ncqr", "value": "0"})").reason().find("is not a property-list dictionary"), std::string::npos);
}

TEST_F(ScenarioOnPhone, APictureMessageComesFromThePhotoLibrary)
{
    ASSERT_TRUE(run(R"({"step": "receive_imessage", "from": "+393337654321", "text": "Ecco", "picture": "IMG_0003.JPG"})"));
    auto dump = **run(R"({"step": "dump"})");
    EXPECT_EQ(dump["messages"].back()["kind"], "iMessage");
    EXPECT_EQ(dump["messages"].back()["text"], "Ecco");
}

TEST_F(ScenarioOnPhone, WritingAPreferenceTellsTheLibraryBeforeTheNextStep)
{
    int reloads = 0;
    auto token = foundation::NotificationCenter::darwin().addObserver("it.kelvane.PLV.reloadPrefs", [&](const std::string&) { ++reloads; });
    auto result = run(R"({"step": "write_preference", "key": "ncqr", "value": "0"})");
    foundation::NotificationCenter::darwin().removeObserver(token);
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(reloads, 1);
    auto dump = **run(R"({"step": "dump"})");
    std::string file = dump["files"]["/var/mobile/Library/PLV/preferences.plist"];
    EXPECT_NE(file.find("<key>ncqr</key>"), std::string::npos) << file;
    EXPECT_NE(file.find("<string>1.100000</string>"), std::string::npos) << file;
}

TEST_F(ScenarioOnPhone, AScenarioStopsAtTheFirstFailingStep)
{
    std::vector<std::string> printed;
    auto steps = json::parse(R"([{"step": "dump"}, {"step": "tap", "view": "ghost"}, {"step": "dump"}])");
    auto outcome = runScenario(*m_runner, steps, [&](const std::string& line) { printed.push_back(line); });
    EXPECT_FALSE(outcome);
    EXPECT_TRUE(outcome.reason().starts_with("step 2 (tap): ")) << outcome.reason();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_TRUE(json::parse(printed[0]).contains("screen"));
}

TEST(DumpText, InvalidUTF8IsReplacedNotFatal)
{
    json value = { { "text", std::string("caf\xC3", 4) } };
    std::string line = dumpLine(value);
    EXPECT_NE(line.find("\xEF\xBF\xBD"), std::string::npos) << line;
    auto summary = summariseDump(json { { "springboard", { { "banner", { { "title", nullptr } } } } }, { "messages", 3 } });
    EXPECT_NE(summary.find("0 messages"), std::string::npos) << "odd shapes are summarised, not thrown on";
}

} // namespace
