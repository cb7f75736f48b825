// Game controllers through XInput. Its DLL is loaded at the first read, not imported: the
// program still starts where Windows has none, and one that never reads pads never loads it.
// XInput's own button bits are the pad vocabulary; it numbers at most four pads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/platform.hpp"

namespace tollivane::platform::win32 {

class XInputPads final : public PadState {
 public:
  // Newest first; 9_1_0 has no keystrokes. By plain name, as a game loads them: the program's
  // folder comes first, where players put wrapper DLLs (and the tests their stand-in), then
  // the system's.
  static constexpr std::array<const wchar_t*, 3> kDlls{L"xinput1_4.dll", L"xinput1_3.dll",
                                                       L"xinput9_1_0.dll"};
  // XInput looks for the device again whenever an empty slot is asked, which takes long.
  static constexpr std::uint64_t kEmptySlotWaitMs = 2000;

  explicit XInputPads(std::span<const wchar_t* const> dlls = kDlls) : dlls_(dlls) {}
  XInputPads(const XInputPads&) = delete;
  XInputPads& operator=(const XInputPads&) = delete;
  ~XInputPads() override;

  // Without any of the DLLs, always 0 pads.
  std::size_t readPads(std::span<std::uint32_t> out) override;

  // Called once, from the first read, when none of the DLLs could be loaded.
  void onMissing(std::function<void()> tell) { tellMissing_ = std::move(tell); }

 private:
  struct Slot {
    bool attached = false;
    bool asked = false;
    std::uint64_t askedAt = 0;  // when last found empty
  };
  void load();
  std::uint32_t taps(unsigned slot);

  std::span<const wchar_t* const> dlls_;
  std::function<void()> tellMissing_;
  bool loadTried_ = false;
  void* module_ = nullptr;
  void* getState_ = nullptr;
  void* getKeystroke_ = nullptr;  // absent from 9_1_0
  std::array<Slot, 4> slots_{};
};

}  // namespace tollivane::platform::win32
