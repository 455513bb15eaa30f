#include "BannerRemoval.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <runtime/Runtime.h>

namespace common {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

void removeSystemBanner()
{
    KelvaneLogger::log("HeavyUtilities dismissBanner", KelvaneLogger::Development);
    Id banners = send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance");
    if (send<bool>(banners, "isShowingBanner"))
        send(banners, "_tryToDismissBannerWithAnimation:", int64_t { 0 });
    else
        KelvaneLogger::log("Not dismissing banner as it isn't here", KelvaneLogger::Development);
}

} // namespace common
