// The quick reply window's colours, read from the skin keys of the
// preferences each time the window is drawn. Every key has a fixed fallback
// so that a missing or damaged value never leaves the panel uncoloured; the
// log lines tell a user's bug report which of the two happened.
//
// A value is a colour string ("1 0 0"). One that is not a string, or has
// fewer than three parts, is "not usable" and gets the key's fallback, as a
// value without components does.
#pragma once

#include <foundation/Colour.h>
#include <foundation/PropertyList.h>

namespace parlivo::quickreply {

// Each takes the preferences dictionary (null when the store has none).
foundation::RgbaColour panelColour(const foundation::PlistDictionary*);
foundation::RgbaColour replyTextColour(const foundation::PlistDictionary*);
foundation::RgbaColour replyFieldColour(const foundation::PlistDictionary*);

} // namespace parlivo::quickreply
