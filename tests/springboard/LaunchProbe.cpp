// An extension library for the boot test: its load-time constructor writes
// to the console and hooks `-[SpringBoard applicationDidFinishLaunching:]`,
// whose replacement writes again before calling through.
#include <foundation/SystemLog.h>
#include <substrate/Substrate.h>

namespace {

void (*s_originalLaunch)(runtime::Object*, runtime::Sel, const runtime::Id&);

void launchFinished(runtime::Object* self, runtime::Sel selector, const runtime::Id& application)
{
    foundation::NSLog("launch probe: SpringBoard finished launching");
    s_originalLaunch(self, selector, application);
}

[[gnu::constructor]] void launchProbeConstructor()
{
    foundation::NSLog("launch probe: constructor");
    MSHookMessageEx(runtime::classNamed("SpringBoard"), "applicationDidFinishLaunching:", &launchFinished, &s_originalLaunch);
}

} // namespace
