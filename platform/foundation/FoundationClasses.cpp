#include "FoundationClasses.h"

#include "NSFileManager.h"
#include "NSKeyedUnarchiver.h"
#include "NotificationCenter.h"
#include "RunLoop.h"

namespace foundation {

void registerFoundationClasses()
{
    Timer::classObject();
    registerNotificationClasses();
    NSFileManager::classObject();
    NSKeyedUnarchiver::classObject();
}

} // namespace foundation
