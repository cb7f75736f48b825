// The keyboard as tests set it: keys held down and keys tapped between two queries.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "platform/platform.hpp"

namespace tollivane::platform::sim {

class SimKeyboard : public KeyState {
 public:
  // 0x8000 while held; 0x0001 added at the first query after a tap; 0 for codes that name
  // no key (0, negative, above 254).
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
  std::array<bool, kHighestCode + 1> held_{};
  std::array<bool, kHighestCode + 1> tapped_{};
  std::uint64_t queries_ = 0;
};

}  // namespace tollivane::platform::sim
