// A load driver for the phone's web server: many well-behaved pages that
// post steps one after another and read the event stream, while slow
// connections send half a request and wait, and now and then an oversized or
// malformed request arrives. It measures what the well-behaved pages see
// (steps per second, p50, p99) and afterwards checks in the phone's
// Messages database that every step it sent ran exactly once.
//
// Used by `plv-serve-load` against a running `plv-sim serve`, and by a
// short test against a server in the test's own process.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace serveload {

struct LoadOptions {
    std::string host { "127.0.0.1" };
    int port { 8080 };
    // Each client posts `receive_sms` steps one after another on one
    // keep-alive connection and keeps an event stream open beside it.
    int clients { 50 };
    // Each sends half a request's headers and then nothing; when the server
    // closes one, another takes its place.
    int slowConnections { 50 };
    std::chrono::milliseconds duration { 60'000 };
    // What each client waits after an answer before its next step, as a
    // person acting on the page would; 0 posts back to back, which measures
    // how many steps the server can take.
    std::chrono::milliseconds pause { 100 };
    // Marks this run's messages, so that a phone that already holds some
    // (or another run's) can still be checked.
    std::string tag { "load" };
    // Resident memory of this process is sampled while the load runs.
    pid_t serverPid { 0 };
};

struct LoadReport {
    uint64_t stepsAnswered { 0 }; // 200
    uint64_t stepsRefused { 0 }; // another status, or no answer
    double seconds { 0 };
    double stepsPerSecond { 0 };
    double p50 { 0 }, p99 { 0 }, worst { 0 }; // milliseconds, answered steps
    uint64_t events { 0 }; // server-sent events the clients read
    uint64_t streamsRefused { 0 };
    uint64_t slowOpened { 0 };
    uint64_t slowClosedByServer { 0 };
    // The slowest answer to an oversized body (413 wanted) and to a request
    // that is not HTTP (400 wanted), in milliseconds; the statuses seen.
    double oversizedWorst { 0 }, malformedWorst { 0 };
    std::vector<int> oversizedStatuses, malformedStatuses;
    // From the Messages database after the run.
    uint64_t lost { 0 }; // answered 200 but not there
    uint64_t duplicated { 0 }; // there more than once
    // Resident memory of serverPid, in KiB: after the first quarter of the
    // run and at its end (0 when not sampled).
    long residentAfterWarmUp { 0 }, residentAtEnd { 0 };
    std::vector<std::string> problems;
};

LoadReport runLoad(const LoadOptions&);

// A few lines for a person: the figures and the problems.
std::string describe(const LoadReport&);

} // namespace serveload
