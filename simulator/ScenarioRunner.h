// The one vocabulary of device actions that scenario files and the web UI
// share. A step is a JSON object whose "step" names the action and whose
// other fields are that action's arguments; `runStep` checks it against the
// step table (known name, required fields present, every field of the right
// type, no field the step does not know) and runs it on the phone. A step
// that makes no sense comes back as a failure with a message for the person
// who wrote it, never as a crash.
#pragma once

#include <foundation/Result.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace phone {
class Phone;
}

namespace simulator {

// What a step answers: what it prints (a dump), if anything, or why it was
// refused.
using StepOutput = std::optional<nlohmann::json>;
using StepResult = foundation::Result<StepOutput>;

enum class FieldType {
    String,
    Number, // finite
    Integer,
    Velocity, // {"x": number, "y": number}
    Scalar, // string, number, boolean or null
};

enum class Presence {
    Required,
    Optional,
};

struct StepField {
    std::string_view name;
    FieldType type;
    Presence presence;
    std::string_view help;
};

class ScenarioRunner;
using StepHandler = StepResult (*)(ScenarioRunner&, const nlohmann::json& step);
// A rule across fields or on a field's range, checked with the types: why
// the step is refused, or nothing.
using StepCheck = std::optional<std::string> (*)(const nlohmann::json& step);

struct StepDefinition {
    std::string_view name;
    std::span<const StepField> fields;
    StepHandler handler;
    std::string_view help;
    StepCheck check { nullptr };
};

class ScenarioRunner {
public:
    explicit ScenarioRunner(phone::Phone&);

    // Every step, in the order the documentation lists them.
    static std::span<const StepDefinition> vocabulary();
    static const StepDefinition* definition(std::string_view name);

    // Why the step would be refused before it runs, or nothing when it is
    // well formed. Whether it makes sense on the phone (a view that exists,
    // a bulletin at that index) is found out only by running it.
    static std::optional<std::string> validate(const nlohmann::json& step);

    StepResult runStep(const nlohmann::json& step);

    phone::Phone& phone() { return m_phone; }

private:
    phone::Phone& m_phone;
};

// A scenario file: a JSON array of step objects. Every step is validated
// before anything runs, so a typo at the end is reported before the phone
// has done half the tour. Answers the steps, or "<file>: <why>".
foundation::Result<nlohmann::json> parseScenario(std::string_view text, std::string_view sourceName);

// JSON nested deeper than this is refused, from a file or over HTTP, before
// the parser (or a destructor) recurses through it.
constexpr size_t MaximumJSONNesting = 64;
// The deepest nesting of arrays and objects in a JSON text, counted without
// parsing it (strings and their escapes are skipped).
size_t jsonNestingDepth(std::string_view text);
foundation::Result<nlohmann::json> loadScenario(const std::filesystem::path&);

// Runs the steps in order; `print` receives each output line (the dumps).
// Stops at the first step that fails: "step <n> (<name>): <why>", steps
// counted from 1.
foundation::Result<void> runScenario(ScenarioRunner&, const nlohmann::json& steps, const std::function<void(const std::string&)>& print);

} // namespace simulator
