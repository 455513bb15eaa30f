// plv-serve-load: puts a running `plv-sim serve` under load and prints what
// its well-behaved pages saw.
//
//     plv-sim serve --device /tmp/load-phone --port 8090 &
//     plv-serve-load --port 8090 --clients 50 --slow 50 --seconds 60 --pause 100 --pid $!
//
// Exits 1 when a step was lost or run twice, or a hostile request was not
// answered with 413 or 400.
#include "ServeLoad.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    serveload::LoadOptions options;
    int seconds = 60;
    int pause = static_cast<int>(options.pause.count());
    CLI::App app { "plv-serve-load: many pages and some slow connections against plv-sim serve" };
    app.add_option("--host", options.host, "The server's address")->capture_default_str();
    app.add_option("--port", options.port, "The server's port")->required();
    app.add_option("--clients", options.clients, "Pages posting steps and reading the event stream")->capture_default_str()->check(CLI::Range(1, 1000));
    app.add_option("--slow", options.slowConnections, "Connections that send half a request and wait")->capture_default_str()->check(CLI::Range(0, 1000));
    app.add_option("--seconds", seconds, "How long the load lasts")->capture_default_str()->check(CLI::Range(1, 3600));
    app.add_option("--pause", pause, "Milliseconds each client waits after an answer (0: back to back)")->capture_default_str()->check(CLI::Range(0, 60000));
    app.add_option("--pid", options.serverPid, "The server's process, to sample its resident memory");
    app.add_option("--tag", options.tag, "Marks this run's messages (default: load-<this process id>)");
    CLI11_PARSE(app, argc, argv);
    options.duration = std::chrono::seconds(seconds);
    options.pause = std::chrono::milliseconds(pause);
    if (app.count("--tag") == 0)
        options.tag = "load-" + std::to_string(::getpid());

    auto report = serveload::runLoad(options);
    std::cout << serveload::describe(report);
    bool hostileAnswered = std::all_of(report.oversizedStatuses.begin(), report.oversizedStatuses.end(), [](int s) { return s == 413; })
        && std::all_of(report.malformedStatuses.begin(), report.malformedStatuses.end(), [](int s) { return s == 400; });
    return report.lost == 0 && report.duplicated == 0 && hostileAnswered ? 0 : 1;
}
