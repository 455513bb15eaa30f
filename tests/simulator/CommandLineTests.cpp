// plv-sim as a person runs it: exit codes, standard output holding only the
// dumps, and messages on standard error.
#include "support/TemporaryDevice.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/wait.h>

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
