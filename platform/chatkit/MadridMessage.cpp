#include "MadridMessage.h"

#include "CKConversation.h"

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;

void IMMessage::registerMethods(ClassBuilder<IMMessage>& b)
{
    b.method("text", [](IMMessage& self) -> std::string { return self.m_text; });
    b.method("subject", [](IMMessage& self) -> std::string { return self.m_subject; });
    b.method("guid", [](IMMessage& self) -> std::string { return self.m_guid; });
    b.method("date", [](IMMessage& self) -> double { return self.m_date; });
    b.method("messageParts", [](IMMessage& self) -> std::vector<Id> { return self.m_parts; });
    b.method("isFinished", [](IMMessage& self) -> bool { return self.m_finished; });
    b.method("conversation", [](IMMessage& self) -> Id { return self.m_conversation; });
}

void CKMadridMessage::registerMethods(ClassBuilder<CKMadridMessage>& b)
{
    b.method("guid", [](CKMadridMessage& self) -> std::string { return self.m_imMessage ? self.m_imMessage->m_guid : std::string(); });
    b.method("imMessage", [](CKMadridMessage& self) -> Id { return self.m_imMessage; });
    b.method("chat", [](CKMadridMessage& self) -> Id { return self.m_chat; });
}

} // namespace chatkit
