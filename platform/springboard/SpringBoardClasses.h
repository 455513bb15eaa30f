// Defines every SpringBoard and BulletinBoard class in the runtime, so that
// classNamed() finds them from boot on.
#pragma once

namespace springboard {

void registerSpringBoardClasses();

} // namespace springboard
