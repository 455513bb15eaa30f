// KelvaneMessageSender (runtime class "KelvaneMessageSender", class methods
// only): hands a finished reply, and optionally one picture, to the phone's
// SMS or iMessage service and answers a short status string. Every service is
// looked up by class name at the moment of the call, so a phone without one
// of them simply takes that step's exit. Nothing is kept between calls: the
// objects the platform hands over as new are dropped when the call returns.
//
// Strings follow the runtime's convention: a nil text or address arrives as
// the empty string, and the empty string counts as missing.
//
// Statuses: "OK", "No Service", "No entity", "Cannot retrieve SMS list",
// "No sms", "NOT OK", "ERROR".
//
// The iMessage operations name the step that stopped them with the same
// vocabulary as the SMS path rather than answering "OK" for a message that
// never left: the reply window keeps the typed text and asks the user to try
// again only for a result other than "OK", so a skipped send reported as sent
// would lose the reply silently. No iMessage service gives "No Service"; no
// entity, check conversation, chat registry or chat gives "No entity"; no
// shared conversation list or conversation gives "Cannot retrieve SMS list";
// no instant-messaging message or service message gives "No sms"; a platform
// exception on these paths is logged at severity 1 and gives "ERROR". The SMS
// path lets platform exceptions through to its caller.
#pragma once

#include <runtime/Runtime.h>

#include <string>

namespace parlivo {

class KelvaneMessageSender : public runtime::Object {
    PLV_CLASS(KelvaneMessageSender, runtime::Object)
public:
    static constexpr const char* StatusOK = "OK";
    static constexpr const char* StatusNoService = "No Service";
    static constexpr const char* StatusNoEntity = "No entity";
    static constexpr const char* StatusNoList = "Cannot retrieve SMS list";
    static constexpr const char* StatusNoMessage = "No sms";
    static constexpr const char* StatusNoImage = "NOT OK";
    static constexpr const char* StatusError = "ERROR";

    static void registerMethods(runtime::ClassBuilder<KelvaneMessageSender>&);

    // sendMessage:toNumber:; may throw runtime::ObjCException from the platform.
    static std::string sendMessage(const std::string& text, const std::string& address);
    // sendiMessage:toNumber:
    static std::string sendiMessage(const std::string& text, const std::string& address);
    // sendiMessage:toNumber:withImage: (a UIImage, or nil)
    static std::string sendiMessage(const std::string& text, const std::string& address, const runtime::Id& image);
    // stringWithUUID
    static std::string stringWithUUID();

    // The iMessage handle as the service wants it: "p:+" dropped from an
    // address that starts with "p:", any other address unchanged.
    static std::string normalisedIMessageAddress(const std::string& address);
};

} // namespace parlivo
