// A finger on the screen. A touch is hit-tested through the visible windows
// from the front (by level, then order) and through each window's views from
// the front, with transforms, hidden views and views that take no touches
// respected. The gesture recognisers of the touched view and its ancestors
// see the touch first; unless one of them recognises it and cancels touches,
// the touched view or the nearest ancestor that handles taps takes it
// (controls send touch-up-inside, text inputs become first responder, table
// cells select their row). A touch outside every window, or on the keyboard,
// reaches nothing and changes nothing.
#pragma once

#include "Geometry.h"

#include <runtime/Runtime.h>

namespace uikit {

class UIView;

// Lays out every visible window, as the phone does before it draws, so a
// finger finds what a person sees (a table's cells included).
void layOutVisibleWindows();
// The view that would take a touch at a screen point, or nil.
runtime::Ref<UIView> hitTestScreen(const CGPoint&);
// Answers the touched view, or nil when the touch reached nothing.
runtime::Ref<UIView> tapScreen(const CGPoint&, int64_t tapCount = 1);
// A finger moved from one point to another over `seconds`, reported in
// `steps` moves. Pan recognisers see it (began, changed …, ended) with the
// velocity of the whole movement; swipe recognisers recognise it when it is
// fast and straight enough; otherwise a slider follows the finger or a scroll
// view scrolls. A movement under 10 points is a tap. Answers whether anything took it.
bool dragScreen(const CGPoint& from, const CGPoint& to, double seconds = 0.25, int steps = 4);

} // namespace uikit
