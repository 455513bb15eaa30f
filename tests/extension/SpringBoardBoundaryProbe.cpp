// Built only by the test "extension.SpringBoardHeadersAreOutOfReach", with
// the product's own include paths: it must fail to compile, because the
// product reaches SpringBoard by class name through the runtime and never
// through its headers.
#include <springboard/SpringBoard.h>
