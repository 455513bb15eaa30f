// The Messages application as this phone shows it: the list of conversations
// in the Messages database (newest first, with the last message and the
// number of unread ones), and one conversation's messages, incoming on the
// left and sent on the right. It shows what the database holds, so a person
// sees where a reply went. "sms:<address>" opens that conversation.
#pragma once

#include "SBApplication.h"

namespace springboard {

std::unique_ptr<ApplicationContent> makeMessagesApplication();

} // namespace springboard
