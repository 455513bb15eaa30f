#include "RendaloState.h"

#include "HeavyUtilities.h"
#include "RDL.h"

namespace rendalo {

RendaloState& rendaloState()
{
    static RendaloState state;
    return state;
}

void resetRendaloState()
{
    rendaloState() = RendaloState {};
}

} // namespace rendalo
