#include "SpringBoardContext.h"

namespace springboard {

namespace {
    SpringBoardContext* s_context = new SpringBoardContext;
}

SpringBoardContext& springBoardContext()
{
    return *s_context;
}

void resetSpringBoard()
{
    // Swapped out before the old objects go, so that their destructors see a
    // clean context rather than a half-destroyed one.
    auto* old = s_context;
    s_context = new SpringBoardContext;
    delete old;
}

} // namespace springboard
