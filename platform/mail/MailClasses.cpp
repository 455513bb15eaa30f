#include "MailClasses.h"

#include "MSNotificationService.h"

namespace mail {

void registerMailClasses() { MSNotificationService::classObject(); }

void resetMailObjects() { MSNotificationService::reset(); }

} // namespace mail
