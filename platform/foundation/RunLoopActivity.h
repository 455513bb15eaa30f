// How much work the run loops have run: a count of entries (timers and
// posted work) started on any loop since the process began. What the main
// thread's state looks like can only change while such work runs, so a
// caller that caches something drawn from that state (the web server's copy
// of the screen) takes it again only when the count has moved.
#pragma once

#include <cstdint>

namespace foundation {

// From any thread. Counted as each entry starts, so work that reads the
// count while it runs already sees itself counted.
uint64_t runLoopEntriesStarted();

} // namespace foundation
