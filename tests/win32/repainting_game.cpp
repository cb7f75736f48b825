// A stand-in for a game that repaints: a 640 x 480 window that takes the focus and paints its
// whole client area over at a steady rate, as games do every frame, while a second thread reads
// the clock's rectangle back from the screen every 5 ms and counts the samples in which the
// clock can be seen. Prints one line: the rate reached, the samples taken, those visible, the
// most a sample came after its moment, and the samples in order as runs seen and not.
//   repainting_game.exe FRAMES-PER-SECOND [SECONDS [DELAY [X Y]]]   (0: never repaints)
// Sampling starts DELAY seconds (2) after the window shows, to give the clock time to start, or
// with a negative DELAY once the window is sent F8; it lasts SECONDS (6); (X, Y) is the clock's
// top-left in the client area (25, 315).
#include <windows.h>

#include <timeapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "screen_copy.hpp"

#include "win32/stand_in_window.hpp"

namespace {

using tollivane::win32_tests::ScreenCopy;

constexpr int kWidth = 75, kHeight = 14;
// Two colours that are neither the clock's white nor its black or greys, taken in turn.
constexpr COLORREF kColors[2] = {RGB(30, 60, 140), RGB(40, 110, 60)};

LONGLONG ticksPerSecond() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

LONGLONG now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

// The clock's pixels (white cells, grey text) in a 75 x 14 copy.
int clockPixels(const ScreenCopy& copy) {
  int count = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t pixel = copy.at(x, y);
      const std::uint32_t red = pixel >> 16, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
      if (red == green && green == blue) ++count;
    }
  }
  return count;
}

// How many pixels the clock covers when all of it shows: "01 : 02 : 05" as the overlay draws
// it, with a fresh context's font, over the game's colour.
int fullClockPixels() {
  ScreenCopy copy(kWidth, kHeight);
  HBRUSH game = CreateSolidBrush(kColors[0]);
  RECT all{0, 0, kWidth, kHeight};
  FillRect(copy.memory(), &all, game);
  DeleteObject(game);
  SetTextColor(copy.memory(), 0);
  DrawTextA(copy.memory(), "01 : 02 : 05", 12, &all, DT_CENTER);
  return clockPixels(copy);
}

struct Sampling {
  HWND game;
  POINT offset;
  LONGLONG start, end;  // performance counter ticks
  HANDLE started;       // set once start and end hold
  int taken = 0, visible = 0;
  LONGLONG late = 0;  // the most a sample came after its moment
  // The samples in order as runs, "+N" seen and "-N" not: "-20+380" showed the clock from
  // the 21st on.
  std::string runs = {};
  bool lastSeen = false;
  int run = 0;
  void add(bool seen) {
    ++taken;
    if (seen) ++visible;
    if (run > 0 && seen != lastSeen) flush();
    lastSeen = seen;
    ++run;
  }
  void flush() {
    if (run == 0) return;
    runs += lastSeen ? '+' : '-';
    runs += std::to_string(run);
    run = 0;
  }
};

DWORD WINAPI sample(void* argument) {
  auto& sampling = *static_cast<Sampling*>(argument);
  // Visible: most of the clock's pixels are there; a sample caught mid-repaint is not.
  const int needed = fullClockPixels() * 8 / 10;
  ScreenCopy copy(kWidth, kHeight);
  const LONGLONG step = ticksPerSecond() / 200;
  WaitForSingleObject(sampling.started, INFINITE);
  while (now() < sampling.start) Sleep(1);
  for (LONGLONG next = sampling.start; next < sampling.end; next += step) {
    while (now() < next) Sleep(1);
    if (now() - next > sampling.late) sampling.late = now() - next;
    POINT at = sampling.offset;
    ClientToScreen(sampling.game, &at);
    sampling.add(clockPixels(copy.from(nullptr, at.x, at.y)) >= needed);
  }
  sampling.flush();
  return 0;
}

LRESULT CALLBACK gameProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  if (message == WM_ERASEBKGND) return 1;  // every frame paints it all anyway
  return DefWindowProcW(window, message, w, l);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: repainting_game FPS [SECONDS [DELAY [X Y]]]\n", stderr);
    return 2;
  }
  const double rate = std::atof(argv[1]);
  const double seconds = argc > 2 ? std::atof(argv[2]) : 6;
  const double delay = argc > 3 ? std::atof(argv[3]) : 2;
  const POINT offset{argc > 5 ? std::atoi(argv[4]) : 25, argc > 5 ? std::atoi(argv[5]) : 315};
  timeBeginPeriod(1);

  tollivane::tests::StandInLook look;
  look.procedure = gameProc;
  look.background = nullptr;  // every frame paints it all
  HWND window = tollivane::tests::openStandInGame(look);

  const LONGLONG second = ticksPerSecond();
  const auto ticks = [&](double inSeconds) {
    return static_cast<LONGLONG>(inSeconds * static_cast<double>(second));
  };
  const LONGLONG begin = now();
  const bool onKey = delay < 0;
  Sampling sampling{window, offset, begin + ticks(delay), begin + ticks(delay + seconds),
                    CreateEventW(nullptr, TRUE, !onKey, nullptr)};
  if (onKey) sampling.start = sampling.end = begin + ticks(600);
  HANDLE sampler = CreateThread(nullptr, 0, sample, &sampling, 0, nullptr);

  // The game's loop: paint everything, then wait for the next frame's moment, answering
  // messages meanwhile.
  // Rate 0: the first frame only, the check that a clock drawn onto the game is seen.
  const LONGLONG frameTicks = rate > 0 ? ticks(1 / rate) : sampling.end - begin;
  HBRUSH brushes[2] = {CreateSolidBrush(kColors[0]), CreateSolidBrush(kColors[1])};
  long frames = 0, framesWhileSampling = 0;
  bool running = true;
  for (LONGLONG next = begin; running && now() < sampling.end; next += frameTicks) {
    HDC dc = GetDC(window);
    RECT all{0, 0, 640, 480};
    FillRect(dc, &all, brushes[frames % 2]);
    ReleaseDC(window, dc);
    ++frames;
    if (now() >= sampling.start) ++framesWhileSampling;
    for (;;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) running = false;
        if (onKey && message.message == WM_KEYDOWN && message.wParam == VK_F8 &&
            WaitForSingleObject(sampling.started, 0) == WAIT_TIMEOUT) {
          sampling.start = now();
          sampling.end = sampling.start + ticks(seconds);
          SetEvent(sampling.started);
        }
        DispatchMessageW(&message);
      }
      const LONGLONG left = next + frameTicks - now();
      if (left <= 0 || !running) break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left * 1000 / second),
                                QS_ALLINPUT);
    }
  }
  SetEvent(sampling.started);
  WaitForSingleObject(sampler, INFINITE);
  CloseHandle(sampler);
  CloseHandle(sampling.started);
  DeleteObject(brushes[0]);
  DeleteObject(brushes[1]);
  DestroyWindow(window);
  timeEndPeriod(1);
  std::printf("fps %.1f samples %d visible %d late_ms %.1f runs %s\n",
              framesWhileSampling / seconds, sampling.taken, sampling.visible,
              static_cast<double>(sampling.late) * 1000 / static_cast<double>(second),
              sampling.runs.empty() ? "none" : sampling.runs.c_str());
  return 0;
}
