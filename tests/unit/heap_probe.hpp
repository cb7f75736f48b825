// The test program's heap, watched and steered: this library replaces the global operator new,
// so a test can count what a piece of work allocates, or make large allocations fail as they
// would on a machine without the memory.
#pragma once

#include <cstddef>

namespace tollivane::testing {

struct HeapUse {
  long allocations = 0;
  std::size_t bytes = 0;
};

void startCountingHeap();
HeapUse stopCountingHeap();

template <class Work>
HeapUse heapUseDuring(Work&& work) {
  startCountingHeap();
  work();
  return stopCountingHeap();
}

// While one lives, every allocation of at least `bytes` throws std::bad_alloc.
class FailLargeAllocations {
 public:
  explicit FailLargeAllocations(std::size_t bytes);
  ~FailLargeAllocations();
  FailLargeAllocations(const FailLargeAllocations&) = delete;
  FailLargeAllocations& operator=(const FailLargeAllocations&) = delete;
};

}  // namespace tollivane::testing
