// Game controllers as tests set them: pads plugged in and out, buttons held, released and
// tapped between two readings, kept to PadState's promise.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/platform.hpp"

namespace tollivane::platform::sim {

class SimPads final : public PadState {
 public:
  // Slots 1..4 (XInput's), all empty at first.
  static constexpr std::size_t kSlots = 4;

  // The attached pads in slot order.
  std::size_t readPads(std::span<std::uint32_t> out) override;

  // A slot outside 1..kSlots does nothing, and so do the buttons of an empty slot.
  void plugIn(std::size_t slot);
  // Its buttons go with it.
  void unplug(std::size_t slot);
  void press(std::size_t slot, std::uint32_t buttons);
  void release(std::size_t slot, std::uint32_t buttons);
  // Pressed and released again since the last reading.
  void tap(std::size_t slot, std::uint32_t buttons);

  // Readings made so far.
  std::uint64_t reads() const { return reads_; }

 private:
  struct Pad {
    bool attached = false;
    std::uint32_t held = 0;
    std::uint32_t sinceRead = 0;  // pressed since the last reading
  };
  Pad* attached(std::size_t slot);

  std::array<Pad, kSlots> pads_{};
  std::uint64_t reads_ = 0;
};

}  // namespace tollivane::platform::sim
