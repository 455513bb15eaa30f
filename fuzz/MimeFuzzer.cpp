// The outbox read back from a message file of any bytes: no crash, the
// simulator's dump of the outbox is written whatever the mail holds, and a
// mail that was read can be written again, after which writing and reading
// change nothing more (what reading gives is stable).
#include "FuzzSupport.h"

#include <mail/MailOutbox.h>
#include <simulator/Dump.h>

#include <fstream>

using fuzzing::fuzzRequire;
using mail::MailMessage;

namespace {

bool sameMail(const MailMessage& a, const MailMessage& b)
{
    return a.from == b.from && a.to == b.to && a.cc == b.cc && a.bcc == b.bcc && a.subject == b.subject && a.body == b.body
        && a.bodyIsHTML == b.bodyIsHTML && a.date == b.date && a.messageID == b.messageID && a.attachments == b.attachments;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool rooted = [] {
        foundation::setDeviceRoot(fuzzing::fuzzDeviceRoot());
        return true;
    }();
    (void)rooted;
    auto file = foundation::hostPath(std::string(mail::OutboxFolder) + "/1.eml");
    std::filesystem::create_directories(file.parent_path());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        fuzzRequire(bool(out), "cannot write the message file");
    }

    auto outbox = mail::listOutbox();
    fuzzRequire(outbox.size() <= 1, "more mails than files in the outbox");
    (void)simulator::dumpLine(simulator::dumpOutbox());
    if (outbox.empty())
        return 0;

    auto written = mail::writeMime(outbox.front().message);
    fuzzRequire(written.has_value(), "a mail that was read cannot be written");
    auto reread = mail::readMime(*written);
    fuzzRequire(reread.has_value(), "a mail written cannot be read");
    auto rewritten = mail::writeMime(*reread);
    fuzzRequire(rewritten.has_value(), "a mail read twice cannot be written");
    auto again = mail::readMime(*rewritten);
    fuzzRequire(again.has_value() && sameMail(*again, *reread), "a mail changes again on its second round through the outbox");
    return 0;
}
