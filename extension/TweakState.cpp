#include "TweakState.h"

#include "HeavyUtilities.h"
#include "RDL.h"

namespace parlivo {

TweakState& tweakState()
{
    static TweakState state;
    return state;
}

void resetTweakState()
{
    tweakState() = TweakState {};
}

} // namespace parlivo
