#include <simulator/ScenarioRunner.h>

#include <gtest/gtest.h>

#include <set>

using namespace simulator;
using nlohmann::json;

namespace {

std::string refusal(const json& step)
{
    return ScenarioRunner::validate(step).value_or("");
}

TEST(StepTable, OffersTheWholeVocabularyOnce)
{
    std::set<std::string_view> names;
    for (const auto& step : ScenarioRunner::vocabulary()) {
        EXPECT_TRUE(names.insert(step.name).second) << step.name;
        EXPECT_NE(step.handler, nullptr) << step.name;
    }
    for (auto expected : { "receive_sms", "receive_imessage", "receive_mail", "tap", "type", "backspace", "swipe", "rotate", "lock",
             "unlock_bulletin", "open_notification_center", "tap_notification", "activator", "open_app", "quit_app", "home", "advance",
             "write_preference", "dump" })
        EXPECT_TRUE(names.contains(expected)) << expected;
}

TEST(StepValidation, AcceptsWellFormedSteps)
{
    for (const char* text : {
             R"({"step": "receive_sms", "from": "+393471234567", "text": "Ciao"})",
             R"({"step": "receive_imessage", "from": "a@example.it", "text": "", "picture": "IMG_0001.JPG", "comment": "a picture"})",
             R"({"step": "tap", "view": "sendButton"})",
             R"({"step": "tap", "x": 160, "y": 22.5})",
             R"({"step": "backspace"})",
             R"({"step": "backspace", "count": 3.0})",
             R"({"step": "swipe", "view": "replyField", "velocity": {"x": 0, "y": -900}})",
             R"({"step": "rotate", "orientation": 3})",
             R"({"step": "write_preference", "key": "ncqr", "value": null})",
             R"({"step": "write_preference", "key": "qrcolors", "value": "1 0 0", "product": "RDL"})",
             R"({"step": "dump"})",
         })
        EXPECT_EQ(refusal(json::parse(text)), "") << text;
}

TEST(StepValidation, SaysWhatIsWrong)
{
    struct Case {
        const char* step;
        const char* message;
    };
    for (auto [text, message] : std::initializer_list<Case> {
             { R"(["tap"])", "a step must be a JSON object" },
             { R"({"view": "sendButton"})", "missing field \"step\"" },
             { R"({"step": 4})", "\"step\" must be a string" },
             { R"({"step": "shake"})", "unknown step \"shake\"" },
             { R"({"step": "receive_sms", "from": "+39333"})", "missing field \"text\"" },
             { R"({"step": "receive_sms", "from": "+39333", "txt": "hi", "text": "hi"})", "receive_sms has no field \"txt\"" },
             { R"({"step": "receive_sms", "from": 39333, "text": "hi"})", "\"from\" must be a string" },
             { R"({"step": "tap", "x": "160", "y": 20})", "\"x\" must be a number" },
             { R"({"step": "rotate", "orientation": 1.5})", "\"orientation\" must be a whole number" },
             { R"({"step": "rotate", "orientation": 1e300})", "\"orientation\" must be a whole number" },
             { R"({"step": "swipe", "view": "bgView", "velocity": [0, 900]})", "\"velocity\" must be {\"x\": number, \"y\": number}" },
             { R"({"step": "swipe", "view": "bgView", "velocity": {"x": 0}})", "\"velocity\" must be {\"x\": number, \"y\": number}" },
             { R"({"step": "write_preference", "key": "ncqr", "value": ["1"]})", "\"value\" must be a string, a number, a boolean or null" },
             { R"({"step": "dump", "comment": 3})", "\"comment\" must be a string" },
             { R"({"step": "rotate", "orientation": 5})", "\"orientation\" must be 1 (portrait), 2 (upside down), 3 or 4 (landscape)" },
             { R"({"step": "tap", "view": "sendButton", "x": 1, "y": 2})", "give either \"view\" or \"x\" and \"y\", not both" },
             { R"({"step": "write_preference", "key": "ncqr", "value": "1", "product": "Mail"})", "\"product\" must be \"PLV\" or \"RDL\"" },
             { R"({"step": "write_preference", "key": "", "value": "1"})", "\"key\" must not be empty" },
             { R"({"step": "advance", "seconds": 1e9})", "\"seconds\" must be from 0 to 604800 (a week)" },
         })
        EXPECT_EQ(refusal(json::parse(text)), message) << text;
}

TEST(ScenarioFiles, ReportTheFileAndTheStep)
{
    auto broken = parseScenario(R"([{"step": "lock"}, {"step": "tap", "x": 10}])", "tour.json");
    EXPECT_FALSE(broken);
    EXPECT_EQ(broken.reason(), "tour.json: step 2 (tap): needs \"view\" or both \"x\" and \"y\"");

    auto notJson = parseScenario("[{\"step\": \"lock\"},", "tour.json");
    EXPECT_FALSE(notJson);
    EXPECT_TRUE(notJson.reason().starts_with("tour.json: not JSON: parse error")) << notJson.reason();

    auto notList = parseScenario(R"({"step": "lock"})", "tour.json");
    EXPECT_EQ(notList.reason(), "tour.json: a scenario is a JSON array of steps");

    auto empty = parseScenario("[]", "tour.json");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    auto missing = loadScenario("/nonexistent/tour.json");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.reason().find("/nonexistent/tour.json"), std::string::npos);
}

TEST(ScenarioFiles, TheDemoTourIsWellFormed)
{
    auto demo = loadScenario(PLV_SOURCE_DIR "/scenarios/demo.json");
    ASSERT_TRUE(demo) << demo.reason();
    EXPECT_GE(demo->size(), 10u);
}

TEST(ScenarioFiles, RefuseDeepNestingWithoutRecursingIntoIt)
{
    // The parser recurses per level; a hostile file must not reach it.
    std::string deep(200000, '[');
    auto result = parseScenario(deep, "deep.json");
    EXPECT_FALSE(result);
    EXPECT_NE(result.reason().find("nested more than"), std::string::npos) << result.reason();

    // Brackets inside strings are text, not nesting.
    std::string text = R"([{"step": "type", "text": ")" + std::string(500, '[') + R"("}])";
    EXPECT_TRUE(parseScenario(text, "brackets.json"));
}

} // namespace
