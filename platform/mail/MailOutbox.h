// Where the phone's mail goes when the user sends it or keeps it as a draft.
// A sent mail is queued in the Outbox folder as a complete message from the
// user's account, dated and with a fresh Message-ID; the simulator's dump
// reads the folders back. A mail the phone could not send is refused with a
// reason and leaves nothing behind.
#pragma once

#include "MailFolder.h"

#include <foundation/Result.h>

#include <optional>
#include <string>
#include <vector>

namespace mail {

// Each answers the device path of the stored file.
// Refused without a mail account ("No mail account"), without any recipient
// ("No recipients") or with a recipient that is not an address ("Invalid
// address: …"). Empty recipient entries are skipped.
foundation::Result<std::string> queueMail(MailMessage);
// A draft may lack recipients or hold unfinished ones; the rest is filled
// in as for a sent mail.
foundation::Result<std::string> saveDraft(MailMessage);

std::vector<StoredMail> listOutbox();
std::vector<StoredMail> listDrafts();

// "<uuid>@<domain of the account>", without angle brackets.
std::string newMessageID();

} // namespace mail
