#include "common/runtime_error.hpp"

namespace tollivane {

void raiseOverflow() { throw RuntimeError(kErrOverflow, "Overflow"); }

void raiseSubscriptOutOfRange() { throw RuntimeError(kErrSubscript, "Subscript out of range"); }

}  // namespace tollivane
