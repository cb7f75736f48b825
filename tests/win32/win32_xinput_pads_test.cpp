#include <gtest/gtest.h>
#include <windows.h>

#include <xinput.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "contract/pad_state_contract.hpp"
#include "platform/win32/xinput_pads.hpp"
#include "scratch_folder.hpp"

namespace tollivane::platform::win32 {
namespace {

// Built beside this program by the tests' CMake file.
std::wstring standInDll() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (std::filesystem::path(self).parent_path() / L"xinput_stand_in" / L"xinput1_4.dll")
      .wstring();
}

struct KeyOf {
  WORD button;
  WORD key;
};
constexpr KeyOf kKeys[] = {
    {XINPUT_GAMEPAD_DPAD_UP, VK_PAD_DPAD_UP},
    {XINPUT_GAMEPAD_DPAD_DOWN, VK_PAD_DPAD_DOWN},
    {XINPUT_GAMEPAD_DPAD_LEFT, VK_PAD_DPAD_LEFT},
    {XINPUT_GAMEPAD_DPAD_RIGHT, VK_PAD_DPAD_RIGHT},
    {XINPUT_GAMEPAD_START, VK_PAD_START},
    {XINPUT_GAMEPAD_BACK, VK_PAD_BACK},
    {XINPUT_GAMEPAD_LEFT_THUMB, VK_PAD_LTHUMB_PRESS},
    {XINPUT_GAMEPAD_RIGHT_THUMB, VK_PAD_RTHUMB_PRESS},
    {XINPUT_GAMEPAD_LEFT_SHOULDER, VK_PAD_LSHOULDER},
    {XINPUT_GAMEPAD_RIGHT_SHOULDER, VK_PAD_RSHOULDER},
    {XINPUT_GAMEPAD_A, VK_PAD_A},
    {XINPUT_GAMEPAD_B, VK_PAD_B},
    {XINPUT_GAMEPAD_X, VK_PAD_X},
    {XINPUT_GAMEPAD_Y, VK_PAD_Y},
};

// The stand-in's pads, written whole at each change, with the keystrokes real XInput would
// queue: each button's change, and a trigger's past XInput's light touch.
class StandInPads final : public contract::Pads {
 public:
  StandInPads() : folder_(L"xinput") {
    SetEnvironmentVariableW(L"TOLLIVANE_STAND_IN_PADS", (folder_.path() / L"pads").c_str());
    write();
  }
  ~StandInPads() override { SetEnvironmentVariableW(L"TOLLIVANE_STAND_IN_PADS", nullptr); }
  PadState& state() override { return pads_; }
  int attach() override {
    int pad = 0;
    while (pads_in_[pad].attached) ++pad;
    pads_in_[pad] = Pad{true};
    write();
    // The adapter may have found the slot empty just now.
    Sleep(XInputPads::kEmptySlotWaitMs + 100);
    return pad;
  }
  void detach(int pad) override {
    pads_in_[pad] = Pad{};
    write();
  }
  void hold(int pad, std::uint32_t buttons) override {
    Pad& p = pads_in_[pad];
    for (const KeyOf& k : kKeys) {
      if (((p.buttons ^ buttons) & k.button) != 0) stroke(pad, k.key, (buttons & k.button) != 0);
    }
    p.buttons = static_cast<WORD>(buttons);
    setTrigger(pad, false, (buttons & 0x10000) != 0 ? 255 : 0);
    setTrigger(pad, true, (buttons & 0x20000) != 0 ? 255 : 0);
    write();
  }
  void trigger(int pad, bool right, double depth) override {
    setTrigger(pad, right, static_cast<BYTE>(depth * 255));
    write();
  }

 private:
  struct Pad {
    bool attached = false;
    WORD buttons = 0;
    std::array<BYTE, 2> triggers{};
  };
  void stroke(int pad, WORD key, bool down) {
    strokes_ += std::to_string(pad) + ' ' + std::to_string(key) + ' ' +
                std::to_string(down ? XINPUT_KEYSTROKE_KEYDOWN : XINPUT_KEYSTROKE_KEYUP) + '\n';
  }
  void setTrigger(int pad, bool right, BYTE value) {
    BYTE& now = pads_in_[pad].triggers[right];
    const bool on = value > XINPUT_GAMEPAD_TRIGGER_THRESHOLD;
    if (on != (now > XINPUT_GAMEPAD_TRIGGER_THRESHOLD)) {
      stroke(pad, right ? VK_PAD_RTRIGGER : VK_PAD_LTRIGGER, on);
    }
    now = value;
  }
  void write() {
    std::string text;
    for (const Pad& p : pads_in_) {
      text += p.attached ? std::to_string(p.buttons) + ' ' + std::to_string(p.triggers[0]) + ' ' +
                               std::to_string(p.triggers[1]) + '\n'
                         : "-\n";
    }
    std::ofstream(folder_.path() / L"pads", std::ios::binary) << text << strokes_;
  }

  tests::ScratchFolder folder_;
  std::wstring dll_ = standInDll();
  std::array<const wchar_t*, 1> dlls_{dll_.c_str()};
  XInputPads pads_{dlls_};
  std::array<Pad, 4> pads_in_{};
  std::string strokes_;
};

using contract::PadStateContract;
INSTANTIATE_TEST_SUITE_P(XInput, PadStateContract,
                         ::testing::Values(contract::PadsKit{
                             "StandIn", [] { return std::make_unique<StandInPads>(); }}),
                         contract::padsKitName);

TEST(XInputPads, AnEmptySlotIsAskedAgainAtMostEveryTwoSeconds) {
  StandInPads pads;
  pads.attach();
  std::uint32_t out[4] = {};
  pads.state().readPads(out);  // the DLL is loaded at the first read
  const auto calls = reinterpret_cast<DWORD(WINAPI*)(DWORD)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(standInDll().c_str()), "StandInStateCalls")));
  ASSERT_NE(calls, nullptr);
  std::array<DWORD, 4> before{};
  for (DWORD slot = 0; slot < 4; ++slot) before[slot] = calls(slot);
  const ULONGLONG start = GetTickCount64();
  for (int read = 0; read < 40; ++read) {
    EXPECT_EQ(pads.state().readPads(out), 1u);
    Sleep(10);
  }
  const ULONGLONG looks = 1 + (GetTickCount64() - start) / XInputPads::kEmptySlotWaitMs;
  EXPECT_EQ(calls(0) - before[0], 40u);
  for (DWORD slot = 1; slot < 4; ++slot) EXPECT_LE(calls(slot) - before[slot], looks) << slot;
}

TEST(XInputPads, WithoutAnyDllNoPadsAndOneNotice) {
  static constexpr std::array<const wchar_t*, 2> kNone{L"tollivane_no_xinput_a.dll",
                                                       L"tollivane_no_xinput_b.dll"};
  XInputPads pads(kNone);
  int notices = 0;
  pads.onMissing([&notices] { ++notices; });
  std::uint32_t out[4] = {};
  for (int read = 0; read < 3; ++read) EXPECT_EQ(pads.readPads(out), 0u);
  EXPECT_EQ(notices, 1);
}

}  // namespace
}  // namespace tollivane::platform::win32
