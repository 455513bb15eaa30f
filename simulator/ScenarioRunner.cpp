#include "ScenarioRunner.h"

#include "Dump.h"

#include <foundation/AtomicFile.h>

#include <cmath>

namespace simulator {

namespace {

    using nlohmann::json;

    // Scenario files are written by hand; anything larger is not one.
    constexpr uint64_t maximumScenarioSize = 16 * 1024 * 1024;
    // Integers travel as doubles; beyond 2^53 they would not come back exact.
    constexpr double LargestExactInteger = 9007199254740992.0;

    std::string inQuotes(std::string_view name) { return "\"" + std::string(name) + "\""; }

    bool isFiniteNumber(const json& value)
    {
        return value.is_number() && std::isfinite(value.get<double>());
    }

    std::optional<std::string> checkType(const StepField& field, const json& value)
    {
        switch (field.type) {
        case FieldType::String:
            if (!value.is_string())
                return inQuotes(field.name) + " must be a string";
            break;
        case FieldType::Number:
            if (!isFiniteNumber(value))
                return inQuotes(field.name) + " must be a number";
            break;
        case FieldType::Integer: {
            double number = value.is_number() ? value.get<double>() : 0.5;
            if (!value.is_number() || std::trunc(number) != number || std::abs(number) > LargestExactInteger)
                return inQuotes(field.name) + " must be a whole number";
            break;
        }
        case FieldType::Velocity:
            if (!value.is_object() || value.size() != 2 || !value.contains("x") || !value.contains("y") || !isFiniteNumber(value["x"]) || !isFiniteNumber(value["y"]))
                return inQuotes(field.name) + " must be {\"x\": number, \"y\": number}";
            break;
        case FieldType::Scalar:
            if (!value.is_string() && !value.is_boolean() && !value.is_null() && !isFiniteNumber(value))
                return inQuotes(field.name) + " must be a string, a number, a boolean or null";
            break;
        }
        return std::nullopt;
    }

    std::string withoutExceptionTag(std::string message)
    {
        // "[json.exception.parse_error.101] parse error at line 1, ..." → "parse error at line 1, ..."
        if (message.starts_with("[json.exception.")) {
            auto end = message.find("] ");
            if (end != std::string::npos)
                message.erase(0, end + 2);
        }
        return message;
    }

} // namespace

ScenarioRunner::ScenarioRunner(phone::Phone& phone)
    : m_phone(phone)
{
}

const StepDefinition* ScenarioRunner::definition(std::string_view name)
{
    for (const StepDefinition& step : vocabulary()) {
        if (step.name == name)
            return &step;
    }
    return nullptr;
}

std::optional<std::string> ScenarioRunner::validate(const json& step)
{
    if (!step.is_object())
        return std::string("a step must be a JSON object");
    auto name = step.find("step");
    if (name == step.end())
        return std::string("missing field \"step\"");
    if (!name->is_string())
        return std::string("\"step\" must be a string");
    const StepDefinition* definition = ScenarioRunner::definition(name->get<std::string>());
    if (!definition)
        return "unknown step " + inQuotes(name->get<std::string>());

    for (const auto& [boundKey, value] : step.items()) {
        // clang 14 (the fuzz build) lets no lambda capture a structured binding.
        const auto& key = boundKey;
        if (key == "step" || key == "comment")
            continue;
        auto field = std::find_if(definition->fields.begin(), definition->fields.end(), [&](const StepField& f) { return f.name == key; });
        if (field == definition->fields.end())
            return std::string(definition->name) + " has no field " + inQuotes(key);
        if (auto error = checkType(*field, value))
            return error;
    }
    for (const StepField& field : definition->fields) {
        if (field.presence == Presence::Required && !step.contains(field.name))
            return "missing field " + inQuotes(field.name);
    }
    if (auto comment = step.find("comment"); comment != step.end() && !comment->is_string())
        return std::string("\"comment\" must be a string");
    if (definition->check)
        return definition->check(step);
    return std::nullopt;
}

StepResult ScenarioRunner::runStep(const json& step)
{
    if (auto error = validate(step))
        return foundation::Error(*error);
    const StepDefinition* definition = ScenarioRunner::definition(step["step"].get<std::string>());
    // The handlers read only fields the table vouched for; an exception here
    // would be our own mistake, and it still must not end the run uncaught.
    try {
        return definition->handler(*this, step);
    } catch (const std::exception& error) {
        return foundation::Error(std::string("the step could not be carried out: ") + error.what());
    }
}

size_t jsonNestingDepth(std::string_view text)
{
    size_t depth = 0, deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

foundation::Result<json> parseScenario(std::string_view text, std::string_view sourceName)
{
    std::string source(sourceName);
    if (jsonNestingDepth(text) > MaximumJSONNesting)
        return foundation::Error(source + ": nested more than " + std::to_string(MaximumJSONNesting) + " levels deep; not a scenario");
    json steps;
    try {
        steps = json::parse(text);
    } catch (const json::exception& error) {
        return foundation::Error(source + ": not JSON: " + withoutExceptionTag(error.what()));
    }
    if (!steps.is_array())
        return foundation::Error(source + ": a scenario is a JSON array of steps");
    for (size_t i = 0; i < steps.size(); ++i) {
        if (auto error = ScenarioRunner::validate(steps[i])) {
            std::string name = steps[i].is_object() && steps[i].contains("step") && steps[i]["step"].is_string() ? " (" + steps[i]["step"].get<std::string>() + ")" : "";
            return foundation::Error(source + ": step " + std::to_string(i + 1) + name + ": " + *error);
        }
    }
    return steps;
}

foundation::Result<json> loadScenario(const std::filesystem::path& path)
{
    auto file = foundation::readWholeFile(path, maximumScenarioSize);
    auto bytes = TRY(std::move(file)); // the reason names the file
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return parseScenario(text, path.string());
}

foundation::Result<void> runScenario(ScenarioRunner& runner, const json& steps, const std::function<void(const std::string&)>& print)
{
    if (!steps.is_array())
        return foundation::Error("a scenario is a JSON array of steps");
    for (size_t i = 0; i < steps.size(); ++i) {
        StepResult result = runner.runStep(steps[i]);
        std::string name = steps[i].is_object() && steps[i].contains("step") && steps[i]["step"].is_string() ? steps[i]["step"].get<std::string>() : "?";
        if (!result)
            return result.error().prefixed("step " + std::to_string(i + 1) + " (" + name + "): ");
        if (*result)
            print(dumpLine(**result));
    }
    return foundation::success();
}

} // namespace simulator
