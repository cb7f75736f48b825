// Game controllers through SDL2's game-controller API, which maps Xbox, PlayStation, Switch Pro,
// 8BitDo and other pads it knows onto one layout and follows hot-plug. SDL starts at the first
// read, so a program that never reads pads never starts it, and it runs only inside readPads,
// on the caller's thread: no thread, timer or descriptor of ours is added. One at a time: SDL
// has one event queue, and each read empties it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/platform.hpp"

struct _SDL_GameController;  // SDL's, kept out of this header
union SDL_Event;

namespace tollivane::platform::sdl {

class SdlPads final : public platform::PadState {
 public:
  static constexpr std::size_t kMaxPads = 8;
  // While no pad is attached, SDL looks for one only at every fifth read, a second apart at the
  // poll's pace: a look at every read would add about a seventh to what the stopped program
  // costs while it waits (docs/performance.md).
  static constexpr unsigned kReadsPerLook = 5;

  SdlPads() = default;
  SdlPads(const SdlPads&) = delete;
  SdlPads& operator=(const SdlPads&) = delete;
  ~SdlPads() override;

  // Where SDL cannot start (no joystick support at all), always 0 pads.
  std::size_t readPads(std::span<std::uint32_t> out) override;

 private:
  struct Pad {
    _SDL_GameController* controller = nullptr;
    std::int32_t instance = -1;
    std::uint32_t seen = 0;  // down at some moment since the last read
  };
  enum class Start { NotYet, Running, Failed };

  void take(const SDL_Event& event);
  void open(int deviceIndex);
  Pad* find(std::int32_t instance);

  Start start_ = Start::NotYet;
  std::size_t opened_ = 0;
  unsigned readsWithoutPad_ = 0;
  std::array<Pad, kMaxPads> pads_{};
};

std::unique_ptr<platform::PadState> makeSdlPads();

}  // namespace tollivane::platform::sdl
