// Waiting for a state another process brings about: asked again and again until it holds or
// the deadline passes. Deadlines are generous, since a busy machine may be slow to get there.
#pragma once

#include <chrono>
#include <thread>

namespace tollivane::x11test {

// How long a test waits for anything a busy machine may be slow to do.
inline constexpr std::chrono::seconds kPatience{20};

// Whether `done` held within `limit`; it is asked once more at the end.
template <typename Done>
bool waitUntil(std::chrono::milliseconds limit, Done done) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

}  // namespace tollivane::x11test
