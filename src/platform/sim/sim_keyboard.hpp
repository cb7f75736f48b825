// The keyboard as tests set it: keys held down and keys tapped between two queries, kept to
// the same promise as the real key states, on the simulated clock.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "platform/platform.hpp"
#include "platform/press_ledger.hpp"
#include "platform/sim/sim_clock.hpp"

namespace tollivane::platform::sim {

class SimKeyboard : public KeyState {
 public:
  explicit SimKeyboard(const SimClock& clock);

  // As platform.hpp promises; the keys are only those set below.
  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;

  // Holds exactly these keys and releases every other; empty releases all.
  void hold(std::span<const int> codes);
  void hold(std::initializer_list<int> codes) { hold(std::span(codes.begin(), codes.size())); }
  // One press and release since the last query of this key.
  void tap(int code);

  bool held(int code) const;
  // Key-state queries made so far.
  std::uint64_t queries() const { return queries_; }

 private:
  static constexpr int kHighestCode = 254;
  static bool namesKey(int code) { return code >= 1 && code <= kHighestCode; }
  KeyLedger::Time now() const { return KeyLedger::Time(clock_.now()); }

  const SimClock& clock_;
  std::array<bool, kHighestCode + 1> held_{};
  KeyLedger presses_{now()};
  std::uint64_t queries_ = 0;
};

}  // namespace tollivane::platform::sim
