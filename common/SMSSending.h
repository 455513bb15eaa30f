// The SMS chain that both libraries' KelvaneMessageSender run for
// `sendMessage:toNumber:`: the SMS service, a recipient entity for the
// address, the shared conversation list, the conversation, a new SMS message
// and the send. Every class is looked up by name at the moment of the call,
// so a phone without one takes that step's exit with its status. Platform
// exceptions are let through to the caller.
#pragma once

#include <string>

namespace common {

inline constexpr const char* StatusOK = "OK";
inline constexpr const char* StatusNoService = "No Service";
inline constexpr const char* StatusNoEntity = "No entity";
inline constexpr const char* StatusNoList = "Cannot retrieve SMS list";
inline constexpr const char* StatusNoMessage = "No sms";

std::string sendSMS(const std::string& text, const std::string& address);

} // namespace common
