// The scenario-file parser and the step checks on any text: a scenario or a
// refusal that names the source, never a crash, and every step of a
// scenario it accepts passes the check the web server makes before running
// a step.
#include "FuzzSupport.h"

#include <simulator/Dump.h>
#include <simulator/ScenarioRunner.h>

using fuzzing::fuzzRequire;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto scenario = simulator::parseScenario(text, "fuzz.json");
    if (!scenario) {
        fuzzRequire(scenario.reason().starts_with("fuzz.json: "), "a refusal that does not name the file: " + scenario.reason());
        return 0;
    }
    fuzzRequire(scenario->is_array(), "a scenario that is not an array");
    fuzzRequire(simulator::jsonNestingDepth(text) <= simulator::MaximumJSONNesting, "a scenario nested deeper than allowed");
    for (const auto& step : *scenario) {
        auto why = simulator::ScenarioRunner::validate(step);
        fuzzRequire(!why, "a step of an accepted scenario that the server would refuse: " + why.value_or(""));
        fuzzRequire(simulator::ScenarioRunner::definition(step["step"].get<std::string>()), "an accepted step with no definition");
    }
    (void)simulator::dumpLine(*scenario);
    return 0;
}
