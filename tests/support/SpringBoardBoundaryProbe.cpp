// Built only by the "<folder>.SpringBoardHeadersAreOutOfReach" tests, each
// with one product library's include paths: it must fail to compile, because
// the products reach SpringBoard by class name through the runtime and never
// through its headers.
#include <springboard/SpringBoard.h>
