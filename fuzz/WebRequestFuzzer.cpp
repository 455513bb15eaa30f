// The web server's request handling, without a socket: a seeded demo phone
// with Parlivo runs on the virtual clock, and each input is one request
// answered through the server's own parser and routes. The input's first
// line is the method and path ("POST /api/step"; a line without a blank is a
// path to GET), the rest is the body. Every request is answered with a
// status the server means to give; none is a 500 (an exception that reached
// the route's edge), and a JSON answer is JSON.
//
// The phone keeps what the steps did between inputs, as a served phone
// does; it is seeded afresh every few thousand requests so that its
// databases stay small.
#include "FuzzSupport.h"

#include <extension/Parlivo.h>
#include <foundation/Executor.h>
#include <phone/Phone.h>
#include <simulator/DemoPhone.h>
#include <simulator/Serve.h>

#include <nlohmann/json.hpp>

#include <set>

using fuzzing::fuzzRequire;

namespace {

constexpr size_t RequestsPerPhone = 2000;

struct ServedPhone {
    std::unique_ptr<phone::Phone> phone;
    std::unique_ptr<simulator::PhoneServer> server;
    size_t requests { 0 };

    void boot()
    {
        server.reset();
        if (phone) {
            foundation::Executor::shared().drain();
            phone.reset();
            parlivo::uninstallParlivo();
        }
        auto root = fuzzing::fuzzDeviceRoot() / "device";
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
        simulator::SeedOptions seed;
        seed.deviceRoot = root;
        seed.resourcesDir = PLV_RESOURCES_DIR;
        seed.contactCount = 20;
        auto seeded = simulator::seedDemoPhone(seed);
        fuzzRequire(bool(seeded), "cannot seed the demo phone: " + seeded.reason());

        phone::BootOptions options;
        options.deviceRoot = root;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back([] { parlivo::installParlivo(); });
        auto booted = phone::Phone::boot(std::move(options));
        fuzzRequire(bool(booted), "cannot boot the demo phone: " + booted.reason());
        phone = booted.releaseValue();

        simulator::ServeOptions serve;
        serve.webRoot = PLV_SOURCE_DIR "/web";
        server = simulator::PhoneServer::unbound(*phone, serve);
        requests = 0;
    }
};

ServedPhone& served()
{
    static ServedPhone instance = [] {
        ServedPhone fresh;
        fresh.boot();
        return fresh;
    }();
    return instance;
}

// Bytes a path may hold as they are; everything else is sent percent-encoded,
// so the path the server decodes is exactly the input's.
std::string encodedPath(std::string_view path)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::string_view("/._~-").find(static_cast<char>(c)) != std::string_view::npos) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    if (encoded.empty() || encoded.front() != '/')
        encoded.insert(encoded.begin(), '/');
    return encoded;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto& phone = served();
    if (++phone.requests > RequestsPerPhone)
        phone.boot();

    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto lineEnd = input.find('\n');
    std::string_view line = input.substr(0, lineEnd);
    std::string_view body = lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1);
    std::string_view method = "GET";
    std::string_view path = line;
    if (auto blank = line.find(' '); blank != std::string_view::npos) {
        method = line.substr(0, blank);
        path = line.substr(blank + 1);
    }
    if (method != "GET" && method != "POST")
        return -1; // not a request the page sends; keep it out of the corpus

    std::string request = std::string(method) + " " + encodedPath(path) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (method == "POST")
        request += "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
    request += "\r\n";
    if (method == "POST")
        request += body;

    std::string response = phone.server->answer(request);
    fuzzRequire(response.starts_with("HTTP/1.1 "), "no answer, or not HTTP: " + response.substr(0, 64));
    int status = std::atoi(response.c_str() + 9);
    static const std::set<int> meant { 200, 400, 404, 409, 413, 414, 503 };
    fuzzRequire(meant.contains(status), "answered with status " + std::to_string(status) + ": " + response.substr(0, 400));

    auto headersEnd = response.find("\r\n\r\n");
    fuzzRequire(headersEnd != std::string::npos, "an answer without the end of its headers");
    std::string_view headers = std::string_view(response).substr(0, headersEnd);
    if (headers.find("Content-Type: application/json") != std::string_view::npos) {
        auto answered = nlohmann::json::parse(response.substr(headersEnd + 4), nullptr, false);
        fuzzRequire(!answered.is_discarded(), "a JSON answer that is not JSON");
        if (status != 200)
            fuzzRequire(answered.is_object() && answered.value("ok", true) == false, "a refusal without \"ok\": false");
    }
    return 0;
}
