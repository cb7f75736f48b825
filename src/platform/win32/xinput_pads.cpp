#include "platform/win32/xinput_pads.hpp"

#include <windows.h>

#include <xinput.h>

namespace tollivane::platform::win32 {
namespace {

using GetState = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);
using GetKeystroke = DWORD(WINAPI*)(DWORD, DWORD, XINPUT_KEYSTROKE*);

constexpr std::uint32_t kButtonBits = 0xF3FF;  // all of wButtons but the two it never sets
constexpr std::uint32_t kLeftTrigger = 0x10000, kRightTrigger = 0x20000;
constexpr BYTE kHalfWay = 127;
// A stuck queue must not hold up the poll.
constexpr int kKeystrokesPerRead = 32;

struct KeyBit {
  WORD key;
  std::uint32_t bit;
};
// The triggers' keystrokes are left out: XInput sends them past a light touch (30 of 255),
// where a trigger counts only past half way, so a trigger counts as the read finds it.
constexpr KeyBit kKeys[] = {
    {VK_PAD_DPAD_UP, 0x0001},
    {VK_PAD_DPAD_DOWN, 0x0002},
    {VK_PAD_DPAD_LEFT, 0x0004},
    {VK_PAD_DPAD_RIGHT, 0x0008},
    {VK_PAD_START, 0x0010},
    {VK_PAD_BACK, 0x0020},
    {VK_PAD_LTHUMB_PRESS, 0x0040},
    {VK_PAD_RTHUMB_PRESS, 0x0080},
    {VK_PAD_LSHOULDER, 0x0100},
    {VK_PAD_RSHOULDER, 0x0200},
    {VK_PAD_A, 0x1000},
    {VK_PAD_B, 0x2000},
    {VK_PAD_X, 0x4000},
    {VK_PAD_Y, 0x8000},
};

std::uint32_t downNow(const XINPUT_GAMEPAD& pad) {
  return (pad.wButtons & kButtonBits) | (pad.bLeftTrigger > kHalfWay ? kLeftTrigger : 0) |
         (pad.bRightTrigger > kHalfWay ? kRightTrigger : 0);
}

}  // namespace

XInputPads::~XInputPads() {
  if (module_ != nullptr) FreeLibrary(static_cast<HMODULE>(module_));
}

void XInputPads::load() {
  loadTried_ = true;
  for (const wchar_t* name : dlls_) {
    const HMODULE module = LoadLibraryW(name);
    if (module == nullptr) continue;
    const FARPROC state = GetProcAddress(module, "XInputGetState");
    if (state == nullptr) {
      FreeLibrary(module);
      continue;
    }
    module_ = module;
    getState_ = reinterpret_cast<void*>(state);
    getKeystroke_ = reinterpret_cast<void*>(GetProcAddress(module, "XInputGetKeystroke"));
    return;
  }
  if (tellMissing_) tellMissing_();
}

std::size_t XInputPads::readPads(std::span<std::uint32_t> out) {
  if (!loadTried_) load();
  if (getState_ == nullptr) return 0;
  const std::uint64_t now = GetTickCount64();
  std::size_t count = 0;
  for (unsigned i = 0; i < slots_.size(); ++i) {
    Slot& slot = slots_[i];
    if (!slot.attached && slot.asked && now - slot.askedAt < kEmptySlotWaitMs) continue;
    XINPUT_STATE state{};
    if (reinterpret_cast<GetState>(getState_)(i, &state) != ERROR_SUCCESS) {
      slot = Slot{false, true, now};
      continue;
    }
    slot.attached = true;
    const std::uint32_t buttons = downNow(state.Gamepad) | taps(i);
    if (count < out.size()) out[count++] = buttons;
  }
  return count;
}

// The buttons that went down since the last read, as XInput queued them.
std::uint32_t XInputPads::taps(unsigned slot) {
  if (getKeystroke_ == nullptr) return 0;
  std::uint32_t down = 0;
  XINPUT_KEYSTROKE stroke{};
  for (int n = 0; n < kKeystrokesPerRead &&
                  reinterpret_cast<GetKeystroke>(getKeystroke_)(slot, 0, &stroke) == ERROR_SUCCESS;
       ++n) {
    if ((stroke.Flags & XINPUT_KEYSTROKE_KEYDOWN) == 0) continue;
    for (const KeyBit& k : kKeys) {
      if (k.key == stroke.VirtualKey) down |= k.bit;
    }
  }
  return down;
}

}  // namespace tollivane::platform::win32
