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

// A mutex of that name held by another program: the later start runs on its own instead of
// ending unseen (a first that is stopped is single_instance.sh's to check).
TEST(SingleInstance, ALaterStartThatIsNotAnsweredRunsOnItsOwn) {
  const std::string path = R"(C:\Games\Held\Tollivane.ini)";
  const HANDLE elsewhere =
      CreateMutexW(nullptr, FALSE, objectNameFor(L"Local\\Tollivane-instance-", path).c_str());
  ASSERT_NE(elsewhere, nullptr);
  EXPECT_EQ(SingleInstance(path, nullptr).role(), SingleInstance::Role::Alone);
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
