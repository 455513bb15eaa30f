// plv-sim: seeds a demo phone, runs scenario files on it and serves it to a
// browser.
//
//     plv-sim seed DIR [--extensions parlivo,rendalo]
//     plv-sim run SCENARIO [--device DIR] [--verbose]
//     plv-sim serve [--device DIR] [--port N]
//     plv-sim steps
//
// `run` prints one line of JSON per `dump` step on standard output and
// nothing else there; everything meant for a person goes to standard error.

#include "DemoPhone.h"
#include "Dump.h"
#include "ScenarioRunner.h"
#include "Serve.h"

#include "BuildLocations.h"

#include <phone/Phone.h>

#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace {

std::filesystem::path executableFolder()
{
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self.parent_path();
}

// A resources folder given on the command line wins; then the one beside
// the program (an installed or copied build), then the build's own.
std::filesystem::path resourcesFolder(const std::string& given)
{
    if (!given.empty())
        return given;
    std::error_code ec;
    auto beside = executableFolder().parent_path() / "resources";
    if (std::filesystem::is_directory(beside / "PLV", ec))
        return beside;
    return simulator::build::resourcesDir;
}

std::vector<std::filesystem::path> extensionFolders()
{
    std::vector<std::filesystem::path> folders { executableFolder() };
    for (const char* folder : simulator::build::extensionDirs)
        folders.emplace_back(folder);
    return folders;
}

foundation::Result<void> seed(const std::filesystem::path& device, const std::string& resources, size_t contacts,
    std::optional<simulator::ExtensionChoice> extensions = std::nullopt, const simulator::SeedNote& tell = {})
{
    simulator::SeedOptions options;
    options.extensions = std::move(extensions);
    options.deviceRoot = device;
    options.resourcesDir = resourcesFolder(resources);
    options.extensionSearchDirs = extensionFolders();
    options.contactCount = contacts;
    return simulator::seedDemoPhone(options, tell);
}

int seedCommand(const std::string& device, const std::string& resources, size_t contacts, const std::string& extensions)
{
    std::optional<simulator::ExtensionChoice> choice;
    if (!extensions.empty()) {
        auto parsed = simulator::parseExtensionChoice(extensions);
        if (!parsed) {
            std::cerr << "plv-sim seed: --extensions: " << parsed.reason() << "\n";
            return 2;
        }
        choice = parsed.releaseValue();
    }
    auto report = seed(device, resources, contacts, choice, [](const std::string& line) { std::cout << line << "\n"; });
    if (!report) {
        std::cerr << "plv-sim seed: " << report.reason() << "\n";
        return 1;
    }
    std::cout << "demo phone ready in " << device << "\n";
    return 0;
}

// Standard output carries the dumps only. Whatever else the phone's
// libraries might print while it runs is sent to standard error instead.
class DumpChannel {
public:
    DumpChannel()
    {
        std::fflush(stdout);
        m_dumps = ::dup(STDOUT_FILENO);
        if (m_dumps >= 0)
            ::dup2(STDERR_FILENO, STDOUT_FILENO);
    }
    ~DumpChannel()
    {
        std::fflush(stdout);
        if (m_dumps >= 0) {
            ::dup2(m_dumps, STDOUT_FILENO);
            ::close(m_dumps);
        }
    }
    DumpChannel(const DumpChannel&) = delete;
    DumpChannel& operator=(const DumpChannel&) = delete;

    bool write(std::string line)
    {
        line += '\n';
        int fd = m_dumps >= 0 ? m_dumps : STDOUT_FILENO;
        std::string_view rest = line;
        while (!rest.empty()) {
            ssize_t written = ::write(fd, rest.data(), rest.size());
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            rest.remove_prefix(static_cast<size_t>(written));
        }
        return true;
    }

private:
    int m_dumps { -1 };
};

// With keepGoing a refused step is told on standard error and the run goes
// on: a generated scenario cannot know the phone's state at every step, and a
// long run is about what the phone does through all of them.
int runCommand(const std::string& scenarioPath, const std::string& device, const std::string& resources, bool verbose, bool keepGoing)
{
    auto scenario = simulator::loadScenario(scenarioPath);
    if (!scenario) {
        std::cerr << "plv-sim run: " << scenario.reason() << "\n";
        return 1;
    }

    if (!simulator::holdsPhone(device)) {
        std::cerr << "plv-sim run: seeding a demo phone in " << device << "\n";
        auto report = seed(device, resources, simulator::SeedOptions {}.contactCount);
        if (!report) {
            std::cerr << "plv-sim run: " << report.reason() << "\n";
            return 1;
        }
    }

    DumpChannel dumps;
    std::error_code ec;
    phone::BootOptions boot;
    boot.deviceRoot = std::filesystem::absolute(device, ec);
    boot.clock = foundation::ClockKind::Virtual;
    boot.loadExtensions = true;
    auto booted = phone::Phone::boot(std::move(boot));
    if (!booted) {
        std::cerr << "plv-sim run: the phone did not boot: " << booted.reason() << "\n";
        return 1;
    }
    simulator::ScenarioRunner runner(**booted);
    const auto& steps = *scenario;
    size_t refused = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const auto& step = steps[i];
        std::string name = step["step"].get<std::string>();
        if (verbose) {
            std::string comment = step.contains("comment") ? " — " + step["comment"].get<std::string>() : "";
            std::cerr << i + 1 << ". " << name << comment << "\n";
        }
        auto result = runner.runStep(step);
        if (!result) {
            std::cerr << "plv-sim run: " << scenarioPath << ": step " << i + 1 << " (" << name << "): " << result.reason() << "\n";
            if (!keepGoing)
                return 1;
            ++refused;
            continue;
        }
        if (const auto& output = *result) {
            if (verbose)
                std::cerr << "   " << simulator::summariseDump(*output) << "\n";
            if (!dumps.write(simulator::dumpLine(*output))) {
                std::cerr << "plv-sim run: cannot write to standard output\n";
                return 1;
            }
        }
    }
    if (keepGoing)
        std::cerr << "plv-sim run: " << steps.size() - refused << " of " << steps.size() << " steps ran, " << refused << " refused\n";
    return 0;
}

// The page's files: --web wins, then a web/ folder beside the program (a
// copied build), then the source tree's.
std::filesystem::path webFolder(const std::string& given)
{
    if (!given.empty())
        return given;
    std::error_code ec;
    auto beside = executableFolder() / "web";
    if (std::filesystem::is_regular_file(beside / "index.html", ec))
        return beside;
    return PLV_SIM_WEB_DIR;
}

struct ServeArguments {
    std::string device;
    std::string resources;
    std::string web;
    std::string bind { "127.0.0.1" };
    bool allowRemote { false };
    int port { 8080 };
};

int serveCommand(const ServeArguments& arguments)
{
    if (!simulator::holdsPhone(arguments.device)) {
        std::cerr << "plv-sim serve: seeding a demo phone in " << arguments.device << "\n";
        auto report = seed(arguments.device, arguments.resources, simulator::SeedOptions {}.contactCount);
        if (!report) {
            std::cerr << "plv-sim serve: " << report.reason() << "\n";
            return 1;
        }
    }

    // Interrupts are taken by one thread that waits for them, so every other
    // thread (the run loop's, the server's, the phone's workers) keeps them
    // blocked and the shutdown runs as ordinary code.
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);

    std::error_code ec;
    phone::BootOptions boot;
    boot.deviceRoot = std::filesystem::absolute(arguments.device, ec);
    boot.clock = foundation::ClockKind::System;
    boot.loadExtensions = true;
    auto booted = phone::Phone::boot(std::move(boot));
    if (!booted) {
        std::cerr << "plv-sim serve: the phone did not boot: " << booted.reason() << "\n";
        return 1;
    }

    simulator::ServeOptions options;
    std::atomic<bool> reboot { false };
    options.changeExtensions = [&](const simulator::ExtensionChoice& choice) -> foundation::Result<void> {
        if (!simulator::writeExtensionChoice(choice))
            return foundation::Error("cannot write " + std::string(simulator::ExtensionChoiceDevicePath));
        TRY(simulator::installExtensions(extensionFolders(), choice));
        reboot = true;
        return foundation::success();
    };
    options.bindAddress = arguments.bind;
    options.allowRemote = arguments.allowRemote;
    options.port = arguments.port;
    options.webRoot = webFolder(arguments.web);
    auto started = simulator::PhoneServer::start(**booted, options);
    if (!started) {
        std::cerr << "plv-sim serve: " << started.reason() << "\n";
        return 1;
    }
    auto& server = **started;
    std::cout << "Serving the phone at " << server.address() << std::endl;

    std::atomic<bool> finished { false };
    std::thread watcher([&] {
        timespec pause { 0, 200'000'000 };
        while (!finished) {
            if (sigtimedwait(&interrupts, nullptr, &pause) > 0) {
                server.stop();
                return;
            }
        }
    });
    server.run();
    finished = true;
    watcher.join();
    int port = server.port();
    started->reset();
    if (reboot) {
        // Libraries once loaded stay loaded, so the phone boots again in a
        // fresh process: the same program, the same arguments, the same port.
        booted->reset();
        std::cerr << "plv-sim serve: rebooting the phone with the extensions " << simulator::describeExtensionChoice(simulator::readExtensionChoice().value_or(simulator::defaultExtensionChoice())) << "\n";
        std::vector<std::string> again { "plv-sim", "serve", "--device", std::filesystem::absolute(arguments.device, ec).string(), "--port", std::to_string(port), "--bind", arguments.bind };
        if (arguments.allowRemote)
            again.push_back("--allow-remote");
        if (!arguments.web.empty())
            again.insert(again.end(), { "--web", arguments.web });
        if (!arguments.resources.empty())
            again.insert(again.end(), { "--resources", arguments.resources });
        std::vector<char*> argv;
        for (auto& argument : again)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
        ::execv("/proc/self/exe", argv.data());
        std::cerr << "plv-sim serve: cannot start again: " << std::strerror(errno) << "\n";
        return 1;
    }
    std::cerr << "plv-sim serve: stopped\n";
    return 0;
}

int listSteps()
{
    for (const auto& step : simulator::ScenarioRunner::vocabulary()) {
        std::cout << step.name << " — " << step.help << "\n";
        for (const auto& field : step.fields)
            std::cout << "    " << field.name << (field.presence == simulator::Presence::Required ? "" : " (optional)") << ": " << field.help << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app { "plv-sim: the simulated phone. Seeds a demo phone, runs scenario files on it and serves it to a browser." };
    app.require_subcommand(1);

    std::string device = "device";
    std::string resources;
    size_t contacts = simulator::SeedOptions {}.contactCount;
    auto* seedApp = app.add_subcommand("seed", "Create a demo phone in DIR (again: complete it, keeping its data)");
    seedApp->add_option("DIR", device, "The device folder")->required();
    seedApp->add_option("--contacts", contacts, "How many demo people the Address Book holds")->check(CLI::Range(size_t(1), size_t(100000)));
    seedApp->add_option("--resources", resources, "The folder of the built images (PLV/, RDL/)");
    std::string extensions;
    seedApp->add_option("--extensions", extensions, "The extensions the phone loads, comma-separated: parlivo, rendalo (default: the phone's choice, parlivo for a new phone)");

    std::string scenario;
    bool verbose = false;
    auto* runApp = app.add_subcommand("run", "Run a scenario file on the phone in --device, seeding it first when needed");
    runApp->add_option("SCENARIO", scenario, "A JSON array of steps")->required();
    runApp->add_option("--device", device, "The device folder")->capture_default_str();
    runApp->add_option("--resources", resources, "The folder of the built images, for a first seed");
    runApp->add_flag("--verbose,-v", verbose, "Tell each step (and its comment) on standard error");
    bool keepGoing = false;
    runApp->add_flag("--keep-going", keepGoing, "Tell a refused step on standard error and go on with the next");

    ServeArguments serve;
    serve.device = device;
    auto* serveApp = app.add_subcommand("serve", "Serve the phone in --device to a browser, on the real clock, seeding it first when needed");
    serveApp->add_option("--device", serve.device, "The device folder")->capture_default_str();
    serveApp->add_option("--port", serve.port, "The TCP port (0: any free one)")->capture_default_str()->check(CLI::Range(0, 65535));
    serveApp->add_option("--bind", serve.bind, "The address to listen on; loopback unless --allow-remote")->capture_default_str();
    serveApp->add_flag("--allow-remote", serve.allowRemote, "Allow --bind to name an address other machines can reach");
    serveApp->add_option("--web", serve.web, "The folder of the page's files (index.html)");
    serveApp->add_option("--resources", serve.resources, "The folder of the built images, for a first seed");

    auto* stepsApp = app.add_subcommand("steps", "List the scenario steps and their fields");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help answers 0; every command line that makes no sense answers 2.
        return app.exit(error) == 0 ? 0 : 2;
    }

    if (*seedApp)
        return seedCommand(device, resources, contacts, extensions);
    if (*runApp)
        return runCommand(scenario, device, resources, verbose, keepGoing);
    if (*serveApp)
        return serveCommand(serve);
    if (*stepsApp)
        return listSteps();
    return 2;
}
