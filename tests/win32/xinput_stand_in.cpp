// A stand-in xinput1_4.dll whose pads a test steers through a file, named by the environment's
// TOLLIVANE_STAND_IN_PADS and read again at every call. Lines 1 to 4 are the four slots: "-"
// for no pad, else "BUTTONS LEFT-TRIGGER RIGHT-TRIGGER" (wButtons and bytes, in decimal). Every
// further line is one keystroke, "SLOT VIRTUAL-KEY FLAGS", handed out once, in order, as
// XInput queues the changes between two calls.
#include <windows.h>

#include <xinput.h>

namespace {

char text[1 << 16];
DWORD keystrokesTaken[XUSER_MAX_COUNT];
DWORD stateCalls[XUSER_MAX_COUNT];

void readSteering() {
  text[0] = 0;
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"TOLLIVANE_STAND_IN_PADS", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const HANDLE file =
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD got = 0;
  if (!ReadFile(file, text, sizeof text - 1, &got, nullptr)) got = 0;
  CloseHandle(file);
  text[got] = 0;
}

const char* line(int n) {
  const char* p = text;
  for (; n > 0 && *p != 0; ++p) {
    if (*p == '\n') --n;
  }
  return n == 0 && *p != 0 ? p : nullptr;
}

DWORD number(const char*& p) {
  while (*p == ' ' || *p == '\t') ++p;
  DWORD value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
  return value;
}

// The slot's pad, or false where there is none.
bool padIn(DWORD slot, XINPUT_GAMEPAD& pad) {
  const char* p = line(static_cast<int>(slot));
  if (p == nullptr || *p == '-' || *p == '\r' || *p == '\n') return false;
  pad = XINPUT_GAMEPAD{};
  pad.wButtons = static_cast<WORD>(number(p));
  pad.bLeftTrigger = static_cast<BYTE>(number(p));
  pad.bRightTrigger = static_cast<BYTE>(number(p));
  return true;
}

DWORD keystrokeOf(DWORD slot, XINPUT_KEYSTROKE* stroke) {
  XINPUT_GAMEPAD pad;
  if (!padIn(slot, pad)) return ERROR_DEVICE_NOT_CONNECTED;
  DWORD seen = 0;
  for (int n = XUSER_MAX_COUNT; const char* p = line(n); ++n) {
    if (number(p) != slot || seen++ < keystrokesTaken[slot]) continue;
    ++keystrokesTaken[slot];
    *stroke = XINPUT_KEYSTROKE{};
    stroke->VirtualKey = static_cast<WORD>(number(p));
    stroke->Flags = static_cast<WORD>(number(p));
    stroke->UserIndex = static_cast<BYTE>(slot);
    return ERROR_SUCCESS;
  }
  return ERROR_EMPTY;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI XInputGetState(DWORD slot, XINPUT_STATE* state) {
  if (slot >= XUSER_MAX_COUNT || state == nullptr) return ERROR_BAD_ARGUMENTS;
  ++stateCalls[slot];
  readSteering();
  XINPUT_GAMEPAD pad;
  if (!padIn(slot, pad)) return ERROR_DEVICE_NOT_CONNECTED;
  state->dwPacketNumber = stateCalls[slot];
  state->Gamepad = pad;
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI XInputGetKeystroke(DWORD slot, DWORD, XINPUT_KEYSTROKE* stroke) {
  if (stroke == nullptr || (slot >= XUSER_MAX_COUNT && slot != XUSER_INDEX_ANY)) {
    return ERROR_BAD_ARGUMENTS;
  }
  readSteering();
  if (slot != XUSER_INDEX_ANY) return keystrokeOf(slot, stroke);
  for (DWORD each = 0; each < XUSER_MAX_COUNT; ++each) {
    if (keystrokeOf(each, stroke) == ERROR_SUCCESS) return ERROR_SUCCESS;
  }
  return ERROR_EMPTY;
}

// Ours, for the tests: how often a slot's state was asked for.
__declspec(dllexport) DWORD WINAPI StandInStateCalls(DWORD slot) {
  return slot < XUSER_MAX_COUNT ? stateCalls[slot] : 0;
}

}  // extern "C"
