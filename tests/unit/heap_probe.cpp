#include "heap_probe.hpp"

#include <cstdlib>
#include <new>

namespace {
bool counting = false;
tollivane::testing::HeapUse used;
std::size_t failFrom = 0;  // 0: nothing fails
}  // namespace

void* operator new(std::size_t size) {
  if (failFrom != 0 && size >= failFrom) throw std::bad_alloc();
  if (counting) {
    ++used.allocations;
    used.bytes += size;
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tollivane::testing {

void startCountingHeap() {
  used = {};
  counting = true;
}

HeapUse stopCountingHeap() {
  counting = false;
  return used;
}

FailLargeAllocations::FailLargeAllocations(std::size_t bytes) { failFrom = bytes; }
FailLargeAllocations::~FailLargeAllocations() { failFrom = 0; }

}  // namespace tollivane::testing
