#include "Dump.h"

#include <chatkit/ChatKit.h>
#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>
#include <mail/MailOutbox.h>
#include <phone/Phone.h>

namespace simulator {

namespace {

    // Dumped files are small; a larger one is cut, not read whole.
    constexpr uint64_t maxDumpedFile = 4 * 1024 * 1024;

    bool isBinaryPlist(const std::vector<uint8_t>& bytes)
    {
        static constexpr std::string_view BinaryPlistMagic = "bplist";
        return bytes.size() >= BinaryPlistMagic.size() && std::equal(BinaryPlistMagic.begin(), BinaryPlistMagic.end(), bytes.begin());
    }

    nlohmann::json fileText(std::string_view devicePath)
    {
        if (!foundation::deviceFileExists(devicePath))
            return nullptr;
        auto file = foundation::readDeviceFile(devicePath, maxDumpedFile);
        if (!file)
            return "<unreadable: " + file.error().reason() + ">";
        // The system writes its lists as XML; one written in the binary form
        // by someone else is shown as the XML it stands for, so the dump
        // stays readable text.
        if (isBinaryPlist(*file)) {
            auto list = foundation::readPlist(std::span<const uint8_t>(*file));
            if (list)
                return foundation::writeXmlPlist(*list);
        }
        return std::string(file->begin(), file->end());
    }

    std::string textOf(const nlohmann::json& object, const char* key)
    {
        auto found = object.find(key);
        return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
    }

} // namespace

namespace {

    nlohmann::json messageRows(const std::vector<chatkit::MessageSummary>& messages)
    {
        nlohmann::json rows = nlohmann::json::array();
        for (const chatkit::MessageSummary& message : messages) {
            rows.push_back({
                { "ROWID", message.rowID },
                { "address", message.address },
                { "text", message.text },
                { "kind", std::string(chatkit::kindName(message.kind)) },
                { "outgoing", message.outgoing },
                { "read", message.read },
            });
        }
        return rows;
    }

} // namespace

nlohmann::json dumpMessages() { return messageRows(chatkit::listMessages()); }

nlohmann::json dumpNewestMessages(size_t limit) { return messageRows(chatkit::listNewestMessages(limit)); }

nlohmann::json dumpOutbox()
{
    nlohmann::json mails = nlohmann::json::array();
    for (const mail::StoredMail& stored : mail::listOutbox()) {
        const mail::MailMessage& message = stored.message;
        nlohmann::json attachments = nlohmann::json::array();
        for (const mail::MailAttachment& attachment : message.attachments)
            attachments.push_back({ { "fileName", attachment.fileName }, { "mimeType", attachment.mimeType }, { "size", attachment.data.size() } });
        mails.push_back({
            { "from", message.from },
            { "to", message.to },
            { "subject", message.subject },
            { "body", message.body },
            { "attachments", std::move(attachments) },
        });
    }
    return mails;
}

nlohmann::json dumpFiles()
{
    nlohmann::json files = nlohmann::json::object();
    for (std::string_view path : DumpedFiles)
        files[std::string(path)] = fileText(path);
    return files;
}

nlohmann::json dumpPhone(phone::Phone& phone)
{
    nlohmann::json dump;
    phone.performOnMain([&] {
        dump = {
            { "screen", phone.screenSnapshot() },
            { "springboard", phone.springboardState() },
            { "messages", dumpMessages() },
            { "outbox", dumpOutbox() },
            { "files", dumpFiles() },
        };
    });
    return dump;
}

std::string summariseDump(const nlohmann::json& dump)
{
    auto count = [&](const char* key) -> size_t {
        auto found = dump.find(key);
        return found != dump.end() && found->is_array() ? found->size() : 0;
    };
    size_t unread = 0;
    if (auto messages = dump.find("messages"); messages != dump.end() && messages->is_array()) {
        for (const auto& row : *messages)
            unread += row.is_object() && row.contains("read") && row["read"] == false ? 1 : 0;
    }
    nlohmann::json springboard = dump.contains("springboard") && dump["springboard"].is_object() ? dump["springboard"] : nlohmann::json::object();
    std::string banner = "none";
    if (auto found = springboard.find("banner"); found != springboard.end() && found->is_object())
        banner = "\"" + textOf(*found, "title") + ": " + textOf(*found, "message") + "\"";
    std::string front = "home screen";
    if (auto found = springboard.find("frontApp"); found != springboard.end() && found->is_string())
        front = found->get<std::string>();
    size_t windows = 0;
    if (auto screen = dump.find("screen"); screen != dump.end() && screen->is_object()) {
        if (auto list = screen->find("windows"); list != screen->end() && list->is_array())
            windows = list->size();
    }
    bool locked = springboard.contains("locked") && springboard["locked"].is_boolean() && springboard["locked"].get<bool>();
    return "banner " + banner + "; front " + front + (locked ? "; locked" : "") + "; " + std::to_string(windows) + " windows; "
        + std::to_string(count("messages")) + " messages (" + std::to_string(unread) + " unread); " + std::to_string(count("outbox")) + " mails in the outbox";
}

std::string dumpLine(const nlohmann::json& value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace simulator
