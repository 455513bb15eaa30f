// Taking SpringBoard's own banner away, as both libraries' HeavyUtilities do
// when their window closes: only a banner that is showing is asked to go.
#pragma once

namespace common {

void removeSystemBanner();

} // namespace common
