// How many quick taps between two polls the key state lets the poller see:
//   tap_probe.exe [COUNT [HELD_MS [rival]]]   ->   "plain S/COUNT combination S/COUNT"
// F7 alone and Ctrl+Shift+F9, each tapped COUNT times (default 50), held HELD_MS (default 30);
// with "rival", another query of the keys comes between each tap and the poll.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "key_taps.hpp"
#include "platform/win32/win32_key_state.hpp"

int main(int argc, char* argv[]) {
  using namespace tollivane;
  const int count = argc > 1 ? std::atoi(argv[1]) : 50;
  const DWORD held = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 30;
  const bool rival = argc > 3 && std::string_view(argv[3]) == "rival";
  platform::win32::Win32KeyState keys;
  const int plain = win32_tests::tapsSeen(keys, win32_tests::kPlain, count, held,
                                          stopwatch::HotkeyAction::Stop, rival);
  const int combination = win32_tests::tapsSeen(keys, win32_tests::kCombination, count, held,
                                                stopwatch::HotkeyAction::Start, rival);
  std::printf("plain %d/%d combination %d/%d\n", plain, count, combination, count);
  return 0;
}
