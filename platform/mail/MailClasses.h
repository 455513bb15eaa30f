// Defines the Mail service's runtime classes (MSNotificationService), so
// that classNamed() finds them from boot on.
#pragma once

namespace mail {

void registerMailClasses();

// Forgets the shared service, as a restart of the phone would (the mail
// folders stay).
void resetMailObjects();

} // namespace mail
