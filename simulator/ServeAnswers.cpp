#include "ServeAnswers.h"

#include "Dump.h"
#include "ServeFiles.h"

#include <fstream>
#include <memory>
#include <sstream>

namespace simulator {

void ServeAnswers::body(httplib::Response& response, std::string text, const std::string& type) const
{
    bool whole = m_compression == Compression::AsRequested || (m_compression == Compression::LargeBodies && text.size() >= SmallestCompressed);
    if (whole || text.empty()) {
        response.set_content(std::move(text), type.c_str());
        return;
    }
    // A body whose length is announced before it is written goes out as it
    // is: the library compresses only bodies set whole or streamed without a
    // length, since a compressed body's length is not known up front.
    auto bytes = std::make_shared<const std::string>(std::move(text));
    response.set_content_provider(bytes->size(), type.c_str(), [bytes](size_t offset, size_t length, httplib::DataSink& sink) {
        return sink.write(bytes->data() + offset, length);
    });
}

void ServeAnswers::json(httplib::Response& response, int status, const nlohmann::json& value) const
{
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    body(response, dumpLine(value), "application/json");
}

void ServeAnswers::error(httplib::Response& response, int status, const std::string& message) const
{
    json(response, status, nlohmann::json { { "ok", false }, { "error", message } });
}

bool ServeAnswers::file(httplib::Response& response, const std::filesystem::path& path) const
{
    auto type = servedContentType(path);
    if (!type)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    response.set_header("Cache-Control", "no-cache");
    body(response, bytes.str(), *type);
    return true;
}

} // namespace simulator
