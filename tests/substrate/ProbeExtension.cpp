// A tiny extension library for the loader's tests: its load-time constructor
// writes a line to the console and hooks `-[SubstrateProbeTarget answer]`
// through MSHookMessageEx, adding 1000 to what the original answers.
#include <foundation/SystemLog.h>
#include <substrate/Substrate.h>

namespace {

int64_t (*s_originalAnswer)(runtime::Object*, runtime::Sel);

int64_t answerPlusThousand(runtime::Object* self, runtime::Sel selector)
{
    return s_originalAnswer(self, selector) + 1000;
}

[[gnu::constructor]] void probeConstructor()
{
    foundation::NSLog("probe extension constructor");
    MSHookMessageEx(runtime::classNamed("SubstrateProbeTarget"), "answer", reinterpret_cast<runtime::Imp>(&answerPlusThousand),
        reinterpret_cast<runtime::Imp*>(&s_originalAnswer));
}

} // namespace
