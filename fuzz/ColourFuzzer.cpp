// The colour-string parser on any text: no crash, components within 0..1 and
// alpha 1 whenever a colour is answered, and a colour the editor saves reads
// back as the one it saved (to the six decimals it writes).
#include "FuzzSupport.h"

#include <foundation/Colour.h>

#include <cmath>

using fuzzing::fuzzRequire;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parts = foundation::splitAtBlanks(text);
    fuzzRequire(!parts.empty(), "a text split into no parts");
    auto colour = foundation::colourFromString(text);
    fuzzRequire(colour.has_value() == (parts.size() >= 3), "a colour answered for fewer than three parts, or refused for three");
    if (!colour)
        return 0;
    for (double component : { colour->red, colour->green, colour->blue })
        fuzzRequire(component >= 0 && component <= 1, "a component outside 0..1");
    fuzzRequire(colour->alpha == 1, "alpha other than 1");

    auto saved = foundation::colourString(colour->red, colour->green, colour->blue);
    auto again = foundation::colourFromString(saved);
    fuzzRequire(again.has_value(), "a saved colour that does not read");
    fuzzRequire(std::fabs(again->red - colour->red) <= 1e-6 && std::fabs(again->green - colour->green) <= 1e-6
            && std::fabs(again->blue - colour->blue) <= 1e-6,
        "a saved colour that reads back as another");
    return 0;
}
