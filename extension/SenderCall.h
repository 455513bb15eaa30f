// One call to KelvaneMessageSender by selector, as the windows make it: the
// sender's status string, or why there is none. A platform exception must
// not reach SpringBoard's run loop, so it is logged and answered as a failed
// send like any other ("EXCEPTION"); a phone without the sender class
// answers "NO SENDER". Anything but "OK" means the message did not leave.
#pragma once

#include <KelvaneLibrary/KelvaneLogger.h>
#include <runtime/Runtime.h>

#include <fmt/format.h>

#include <exception>
#include <string>
#include <utility>

namespace parlivo {

inline constexpr const char* SenderSentStatus = "OK";

template <class... A>
std::string callMessageSender(const char* selector, A&&... args)
{
    runtime::Class* sender = runtime::classNamed("KelvaneMessageSender");
    if (!sender)
        return "NO SENDER";
    try {
        return runtime::send<std::string>(sender, selector, std::forward<A>(args)...);
    } catch (const std::exception& exception) {
        kelvane::KelvaneLogger::log(fmt::format("Send failed with an exception: {}", exception.what()), kelvane::KelvaneLogger::Critical);
        return "EXCEPTION";
    }
}

} // namespace parlivo
