#include "BugReport.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/DevicePath.h>
#include <uikit/UIDevice.h>

#include <fmt/format.h>

namespace plvsettings {

namespace {

    // The logger removes its file long before this size; a bigger file is
    // not the log Parlivo wrote and is not worth a mail.
    constexpr uint64_t MaximumLogSize = 16 * 1024 * 1024;

} // namespace

BugReportMail makeBugReportMail(const std::string& toAddress)
{
    BugReportMail mail;
    mail.toRecipients = { toAddress };
    mail.subject = "PLV Bug report";
    auto device = uikit::UIDevice::currentDevice();
    mail.htmlBody = fmt::format("Please write here a brief description of the problem<br><br>Automatically generated report from PLV follows:<br>"
                                "This device is {}<br>Running iOS {}<br>UDID {}<br>",
        device->description(), device->systemVersion(), device->uniqueIdentifier());
    auto log = foundation::readDeviceFile(kelvane::PLVLogPath, MaximumLogSize);
    if (log)
        mail.logAttachment = log.releaseValue();
    else
        mail.htmlBody += NoLogLine;
    return mail;
}

} // namespace plvsettings
