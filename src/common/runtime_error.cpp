#include "common/runtime_error.hpp"

namespace tollivane {

void raiseOverflow() { throw RuntimeError(kErrOverflow, "Overflow"); }

}  // namespace tollivane
