#include "platform/win32/single_instance.hpp"

#include <cstring>
#include <string>

#include "platform/instance_answer_time.hpp"
#include "platform/win32/path_key.hpp"
#include "platform/win32/window_class.hpp"

namespace tollivane::platform::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TollivaneInstance";
constexpr UINT kComeForward = WM_APP + 1;
// WM_COPYDATA's tag on a command's word, and the listener's two answers.
constexpr ULONG_PTR kCommandTag = 0x546F6C31;
constexpr LRESULT kTaken = 1;
constexpr LRESULT kRefused = 2;
constexpr LRESULT kTooLate = 3;
// A command's word is followed by a zero and the moment (GetTickCount64) after which its sender
// no longer waits: one taken after that would act on a command its user was told went nowhere.
constexpr std::size_t kDeadlineSize = sizeof(ULONGLONG);
// The listener's answer: any other window of that class and name is not a Tollivane's.
constexpr LRESULT kCameForward = 0x70CC;
// Also what a first program that owns the mutex but has not made its window yet, or is ending,
// is given to settle: a mutex with no window by then is another program's.
constexpr ULONGLONG kAnswerTime = kInstanceAnswerTime.count();

}  // namespace

namespace {

// Any program of the session may take a name first: where something that is not a Tollivane's
// mutex with its window holds one, the next of a few is tried, by every start and command alike.
constexpr int kNames = 4;

std::wstring nameAt(const std::string& settingsPath, int step) {
  std::wstring name = objectNameFor(L"Local\\Tollivane-instance-", settingsPath);
  if (step > 0) name += L"~" + std::to_wstring(step);
  return name;
}

// The listener of `name`, once a first program that took the mutex has made it.
HWND listenerOf(const std::wstring& name, ULONGLONG until) {
  for (;;) {
    if (const HWND first = FindWindowExW(HWND_MESSAGE, nullptr, kClassName, name.c_str())) {
      return first;
    }
    if (GetTickCount64() >= until) return nullptr;
    Sleep(50);
  }
}

// What is left of the wait, at least a moment: SendMessageTimeout takes 0 for no limit.
UINT patienceUntil(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return now < deadline ? static_cast<UINT>(deadline - now) : 1;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& settingsPath, HWND window) : window_(window) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (int step = 0; step < kNames; ++step) {
    const std::wstring name = nameAt(settingsPath, step);
    mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex_) {
      // The name is another kind of object's.
      stepped_ = true;
      continue;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      role_ = Role::First;
      if (registerWindowClass(instance, kClassName, windowProc)) {
        listener_ = CreateWindowExW(0, kClassName, name.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, instance, this);
      }
      return;
    }
    CloseHandle(mutex_);
    mutex_ = nullptr;
    const ULONGLONG until = GetTickCount64() + kAnswerTime;
    const HWND first = listenerOf(name, until);
    if (!first) {
      // A mutex with no window of ours for it: another program's.
      stepped_ = true;
      continue;
    }
    // The program the user just started may give the foreground away; the first may not take
    // it on its own.
    DWORD process = 0;
    GetWindowThreadProcessId(first, &process);
    AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(first, kComeForward, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                            patienceUntil(until), &answer) != 0 &&
        answer == static_cast<DWORD_PTR>(kCameForward)) {
      role_ = Role::Another;
    }
    return;
  }
}

SingleInstance::CommandResult SingleInstance::sendCommand(const std::string& settingsPath,
                                                          std::string_view word) {
  for (int step = 0; step < kNames; ++step) {
    const std::wstring name = nameAt(settingsPath, step);
    const HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    if (!running) {
      if (GetLastError() == ERROR_INVALID_HANDLE) continue;  // another kind of object's
      return CommandResult::NoneRunning;
    }
    CloseHandle(running);
    // The first program may hold the mutex before its window is made.
    const ULONGLONG deadline = GetTickCount64() + kAnswerTime;
    const HWND first = listenerOf(name, deadline);
    if (!first) continue;
    std::string packet(word);
    packet.push_back('\0');
    packet.append(reinterpret_cast<const char*>(&deadline), kDeadlineSize);
    COPYDATASTRUCT data{kCommandTag, static_cast<DWORD>(packet.size()), packet.data()};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(first, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, patienceUntil(deadline), &answer) ||
        answer == static_cast<DWORD_PTR>(kTooLate)) {
      return CommandResult::NotAnswering;
    }
    return answer == static_cast<DWORD_PTR>(kTaken) ? CommandResult::Taken : CommandResult::Refused;
  }
  return CommandResult::NoneRunning;
}

SingleInstance::~SingleInstance() {
  if (listener_) DestroyWindow(listener_);
  if (mutex_) CloseHandle(mutex_);
}

LRESULT CALLBACK SingleInstance::windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  const auto* self = windowOwner<SingleInstance>(window, message, l);
  if (message == kComeForward && self && self->window_) {
    if (IsIconic(self->window_)) ShowWindow(self->window_, SW_RESTORE);
    ShowWindow(self->window_, SW_SHOW);
    SetForegroundWindow(self->window_);
    return kCameForward;
  }
  if (message == WM_COPYDATA && self) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
    if (data->dwData != kCommandTag || data->lpData == nullptr) return FALSE;
    std::string_view word(static_cast<const char*>(data->lpData), data->cbData);
    if (const std::size_t zero = word.find('\0'); zero != std::string_view::npos) {
      if (word.size() - zero - 1 != kDeadlineSize) return kRefused;
      ULONGLONG deadline = 0;
      std::memcpy(&deadline, word.data() + zero + 1, kDeadlineSize);
      if (GetTickCount64() > deadline) return kTooLate;
      word = word.substr(0, zero);
    }
    return self->commands_ && self->commands_(word) ? kTaken : kRefused;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace tollivane::platform::win32
