#include "platform/win32/power_throttling.hpp"

namespace tollivane::platform::win32 {
namespace {

// From the system's headers of Windows 10 1709 and later, spelled out for older ones.
constexpr int kProcessPowerThrottling = 4;  // PROCESS_INFORMATION_CLASS
constexpr ULONG kThrottlingVersion = 1;
constexpr ULONG kExecutionSpeed = 0x1;
constexpr ULONG kIgnoreTimerResolution = 0x4;

struct ThrottlingState {
  ULONG Version;
  ULONG ControlMask;  // what the process decides itself
  ULONG StateMask;    // and how: 0 is "never throttle"
};

}  // namespace

bool optOutOfPowerThrottling(SetProcessInformationCall setInformation) {
  if (setInformation == nullptr) return false;
  ThrottlingState state{kThrottlingVersion, kExecutionSpeed | kIgnoreTimerResolution, 0};
  if (setInformation(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state)) {
    return true;
  }
  state.ControlMask = kExecutionSpeed;
  return setInformation(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state) != 0;
}

bool optOutOfPowerThrottling() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const FARPROC found = kernel ? GetProcAddress(kernel, "SetProcessInformation") : nullptr;
  return optOutOfPowerThrottling(
      reinterpret_cast<SetProcessInformationCall>(reinterpret_cast<void (*)()>(found)));
}

}  // namespace tollivane::platform::win32
