#include "platform/sim/sim_pads.hpp"

namespace tollivane::platform::sim {

std::size_t SimPads::readPads(std::span<std::uint32_t> out) {
  ++reads_;
  std::size_t n = 0;
  for (Pad& pad : pads_) {
    if (!pad.attached || n == out.size()) continue;
    out[n++] = pad.held | pad.sinceRead;
    pad.sinceRead = 0;
  }
  return n;
}

SimPads::Pad* SimPads::attached(std::size_t slot) {
  if (slot < 1 || slot > kSlots || !pads_[slot - 1].attached) return nullptr;
  return &pads_[slot - 1];
}

void SimPads::plugIn(std::size_t slot) {
  if (slot >= 1 && slot <= kSlots) pads_[slot - 1].attached = true;
}

void SimPads::unplug(std::size_t slot) {
  if (slot >= 1 && slot <= kSlots) pads_[slot - 1] = {};
}

void SimPads::press(std::size_t slot, std::uint32_t buttons) {
  if (Pad* pad = attached(slot)) {
    pad->held |= buttons;
    pad->sinceRead |= buttons;
  }
}

void SimPads::release(std::size_t slot, std::uint32_t buttons) {
  if (Pad* pad = attached(slot)) pad->held &= ~buttons;
}

void SimPads::tap(std::size_t slot, std::uint32_t buttons) {
  if (Pad* pad = attached(slot)) pad->sinceRead |= buttons;
}

}  // namespace tollivane::platform::sim
