// How the phone's web server hands an answer's body to the HTTP library, and
// so whether it goes out compressed. The library compresses a body set whole
// whenever the client accepts it, with brotli at its best and slowest
// quality: about 15 ms of CPU for a 12 KB state and 0.4 ms even for a step's
// 30-byte answer, taken from the machine that runs the phone while the page
// waits. On a loopback address bytes cost nothing, so nothing is compressed
// there; to a page on another machine only bodies big enough to gain from it
// are.
#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace simulator {

class ServeAnswers {
public:
    enum class Compression {
        // A server on a loopback address: nothing is compressed.
        Never,
        // A server other machines reach: bodies of SmallestCompressed bytes
        // and more, when the client accepts it.
        LargeBodies,
        // A server without a socket (PhoneServer::unbound): bodies are set
        // whole and the library compresses as the request asks. A body
        // announced by its length is written only while the server runs,
        // which an unbound one never does.
        AsRequested,
    };

    // Below this many bytes a body is never compressed: a few dozen bytes
    // fewer on the wire are not worth a compressor's setup.
    static constexpr size_t SmallestCompressed = 1024;

    explicit ServeAnswers(Compression compression)
        : m_compression(compression)
    {
    }

    // The body and its type; the status and other headers are the caller's.
    void body(httplib::Response&, std::string text, const std::string& type) const;
    void json(httplib::Response&, int status, const nlohmann::json&) const;
    // {"ok": false, "error": message}
    void error(httplib::Response&, int status, const std::string& message) const;
    // A file of a served type, read whole; false when it cannot be.
    bool file(httplib::Response&, const std::filesystem::path&) const;

private:
    Compression m_compression;
};

} // namespace simulator
