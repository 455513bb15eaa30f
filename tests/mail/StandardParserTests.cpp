// A mail the phone queues must read back the same in a mail program that
// shares no code with the writer: the test hands the Outbox's file to
// Python's standard e-mail parser (tests/mail/read_eml.py) and compares.
#include "MailTestSupport.h"

#include <mail/MailOutbox.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>

using namespace mail;
using namespace mail_test;

namespace {

class StandardParser : public MailTest {
protected:
    // What the script printed, parsed; a failed run fails the test.
    nlohmann::json readWithPython(std::string_view devicePath)
    {
        std::string command = "python3 '" EML_READER_SCRIPT "' '" + device.host(devicePath).string() + "' 2>&1";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), &::pclose);
        if (!pipe) {
            ADD_FAILURE() << "cannot run " << command;
            return {};
        }
        std::string output;
        char buffer[4096];
        while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe.get()))
            output.append(buffer, read);
        int status = ::pclose(pipe.release());
        if (status != 0) {
            ADD_FAILURE() << "python3 failed (" << status << "): " << output;
            return {};
        }
        auto parsed = nlohmann::json::parse(output, nullptr, false);
        if (parsed.is_discarded())
            ADD_FAILURE() << "not JSON: " << output;
        return parsed;
    }
};

// JPEG framing around every byte value, so that base64 meets all of them.
std::vector<uint8_t> jpegBytes()
{
    std::vector<uint8_t> bytes { 0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00 };
    auto middle = everyByte(5);
    bytes.insert(bytes.end(), middle.begin(), middle.end());
    bytes.push_back(0xff);
    bytes.push_back(0xd9);
    return bytes;
}

std::string hexOf(const std::vector<uint8_t>& bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xf];
    }
    return hex;
}

std::string withoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

TEST_F(StandardParser, AQueuedMailWithAPictureReadsBackWhole)
{
    MailMessage mail;
    mail.to = { "\"Rossi, Anna\" <anna@example.it>", "luca@example.com" };
    mail.subject = "Foto di ieri: già vista?";
    mail.body = "Ciao Anna,\necco la foto della cena.\nA presto — Luca\n";
    mail.attachments.push_back({ jpegBytes(), "image/jpeg", "IMG_0001.JPG" });
    auto queued = queueMail(mail);
    ASSERT_TRUE(queued) << queued.reason();

    auto read = readWithPython(*queued);
    ASSERT_TRUE(read.is_object());
    EXPECT_EQ(read["defects"], nlohmann::json::array()) << "the parser found nothing malformed";
    EXPECT_EQ(read["multipart"], "multipart/mixed");
    EXPECT_EQ(read["to"], nlohmann::json::parse(R"([["Rossi, Anna", "anna@example.it"], ["", "luca@example.com"]])"));
    EXPECT_EQ(read["subject"], "Foto di ieri: già vista?");
    ASSERT_TRUE(read["body"].is_string());
    // The writer closes the text with a line break of its own, which its reader takes off again.
    EXPECT_EQ(withoutCarriageReturns(read["body"].get<std::string>()), mail.body + "\n");
    ASSERT_EQ(read["attachments"].size(), 1u);
    EXPECT_EQ(read["attachments"][0]["fileName"], "IMG_0001.JPG");
    EXPECT_EQ(read["attachments"][0]["mimeType"], "image/jpeg");
    EXPECT_EQ(read["attachments"][0]["hex"], hexOf(jpegBytes()));
}

TEST_F(StandardParser, AFileNameBeyondAsciiAndAPlainMailReadBack)
{
    MailMessage mail;
    mail.to = { "anna@example.it" };
    mail.subject = "Cena";
    mail.body = "Senza allegati.";
    ASSERT_TRUE(queueMail(mail));
    mail.attachments.push_back({ jpegBytes(), "image/jpeg", "Sì, la cena più bella.jpg" });
    auto queued = queueMail(mail);
    ASSERT_TRUE(queued) << queued.reason();

    auto plain = readWithPython("/var/mobile/Library/Mail/Outbox/1.eml");
    ASSERT_TRUE(plain.is_object());
    EXPECT_EQ(plain["defects"], nlohmann::json::array());
    EXPECT_EQ(plain["multipart"], "text/plain");
    EXPECT_EQ(plain["body"], "Senza allegati.\n");
    EXPECT_EQ(plain["attachments"], nlohmann::json::array());

    auto read = readWithPython(*queued);
    ASSERT_TRUE(read.is_object());
    EXPECT_EQ(read["defects"], nlohmann::json::array());
    ASSERT_EQ(read["attachments"].size(), 1u);
    EXPECT_EQ(read["attachments"][0]["fileName"], "Sì, la cena più bella.jpg");
    EXPECT_EQ(read["attachments"][0]["hex"], hexOf(jpegBytes()));
}

} // namespace
