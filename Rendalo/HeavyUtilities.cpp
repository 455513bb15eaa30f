#include "HeavyUtilities.h"

#include <common/BannerRemoval.h>

namespace rendalo {

void HeavyUtilities::registerMethods(runtime::ClassBuilder<HeavyUtilities>& b)
{
    b.method<&HeavyUtilities::dismissBanner>("dismissBanner");
}

void HeavyUtilities::dismissBanner()
{
    common::removeSystemBanner();
}

} // namespace rendalo
