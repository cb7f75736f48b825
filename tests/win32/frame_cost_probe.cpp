// What one overlay frame costs each way, drawn straight onto a window in front or through the
// overlay window: the core's six calls and the message pumping of the program's loop, timed
// over many frames, with the heap allocations our code makes meanwhile. The two ways take turns,
// ROUNDS times, so that a busy moment of the machine falls on both; one line per way and round:
//   frame_cost_probe.exe [FRAMES [ROUNDS]]   ->   "direct us_per_frame U allocations A
//   own_window W" ... (W: whether the last frame went into the window of our own)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/chosen_surface.hpp"
#include "platform/win32/win32_overlay_window.hpp"
#include "platform/win32/win32_surface.hpp"
#include "stopwatch/overlay_renderer.hpp"

#include "win32/stand_in_window.hpp"

namespace {
long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace tollivane::platform;

constexpr Rect kOverlay{25, 315, 100, 329};
const std::string kText = "01 : 02 : 05";  // short enough never to allocate

void frame(ForegroundSurface& surface) {
  DeviceContext dc = 0;
  tollivane::stopwatch::drawOverlayFrame(surface, kText, kOverlay, {0, 0}, dc);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

void measure(const char* way, ChosenSurface& surface, int frames) {
  for (int n = 0; n < 10; ++n) frame(surface);  // first placing, caches
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  const long before = allocations;
  QueryPerformanceCounter(&start);
  for (int n = 0; n < frames; ++n) frame(surface);
  QueryPerformanceCounter(&end);
  const double seconds =
      static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("%s us_per_frame %.1f allocations %ld own_window %d\n", way, seconds * 1e6 / frames,
              allocations - before, surface.drawsIntoOwnWindow() ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  HWND game = tollivane::tests::openStandInGame();

  win32::Win32Surface direct;
  win32::Win32OverlayWindow ownWindow;
  ChosenSurface chosen(direct, &ownWindow);
  for (int round = 0; round < rounds; ++round) {
    chosen.setOwnWindow(false);
    measure("direct", chosen, frames);
    chosen.setOwnWindow(true);
    measure("window", chosen, frames);
  }
  DestroyWindow(game);
  return 0;
}
