#include "platform/win32/single_instance.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/path_key.hpp"

namespace tollivane::platform::win32 {
namespace {

void pumpUntil(const auto& done) {
  const ULONGLONG until = GetTickCount64() + 30000;
  while (!done() && GetTickCount64() < until) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

TEST(SingleInstance, ALaterStartForTheSameFileRestoresTheFirstsWindowAndEnds) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"first", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(window));
  const std::string path = R"(C:\Games\Tollivane\Tollivane.ini)";
  SingleInstance first(path, window);
  EXPECT_EQ(first.role(), SingleInstance::Role::First);
  {
    // The same file spelled in another letter case is the same file.
    SingleInstance second(R"(c:\games\tollivane\TOLLIVANE.INI)", nullptr);
    EXPECT_EQ(second.role(), SingleInstance::Role::Another);
  }
  pumpUntil([&] { return !IsIconic(window); });
  EXPECT_FALSE(IsIconic(window));
  EXPECT_EQ(GetForegroundWindow(), window);
  // Another settings file runs beside it.
  SingleInstance other(R"(C:\Games\Other\Tollivane.ini)", nullptr);
  EXPECT_EQ(other.role(), SingleInstance::Role::First);
  DestroyWindow(window);
}

// A first that cannot answer (its thread hung) or a mutex of that name held by another program:
// the later start runs on its own instead of ending unseen.
TEST(SingleInstance, ALaterStartThatIsNotAnsweredRunsOnItsOwn) {
  static HANDLE events[2] = {CreateEventW(nullptr, TRUE, FALSE, nullptr),
                             CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  const HANDLE hung = CreateThread(
      nullptr, 0,
      [](void*) -> DWORD {
        SingleInstance first(R"(C:\Games\Hung\Tollivane.ini)", nullptr);
        SetEvent(events[0]);
        WaitForSingleObject(events[1], INFINITE);  // pumps no messages meanwhile
        return 0;
      },
      nullptr, 0, nullptr);
  ASSERT_NE(hung, nullptr);
  ASSERT_EQ(WaitForSingleObject(events[0], 30000), WAIT_OBJECT_0);
  {
    SingleInstance second(R"(C:\Games\Hung\Tollivane.ini)", nullptr);
    EXPECT_EQ(second.role(), SingleInstance::Role::Alone) << "a hung first";
  }
  SetEvent(events[1]);
  WaitForSingleObject(hung, 30000);
  CloseHandle(hung);

  const std::string held = R"(C:\Games\Held\Tollivane.ini)";
  const HANDLE elsewhere =
      CreateMutexW(nullptr, FALSE, objectNameFor(L"Local\\Tollivane-instance-", held).c_str());
  ASSERT_NE(elsewhere, nullptr);
  SingleInstance start(held, nullptr);
  EXPECT_EQ(start.role(), SingleInstance::Role::Alone) << "the mutex another program's";
  CloseHandle(elsewhere);
}

TEST(SingleInstance, TheFileIsFreeAgainOnceItsHolderIsGone) {
  const std::string path = R"(C:\Games\Tollivane\Tollivane.ini)";
  { SingleInstance first(path, nullptr); }
  SingleInstance next(path, nullptr);
  EXPECT_EQ(next.role(), SingleInstance::Role::First);
}

}  // namespace
}  // namespace tollivane::platform::win32
