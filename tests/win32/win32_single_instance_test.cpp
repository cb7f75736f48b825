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

// The name held by another program, as a mutex with no window of ours or as another kind of
// object: stepped past, to a name every later start and command of ours finds too.
TEST(SingleInstance, ANameAnotherProgramHoldsIsSteppedPast) {
  const std::string path = R"(C:\Games\Held\Tollivane.ini)";
  const std::wstring name = objectNameFor(L"Local\\Tollivane-instance-", path);
  for (const bool asMutex : {true, false}) {
    SCOPED_TRACE(asMutex ? "a mutex" : "an event");
    const HANDLE elsewhere = asMutex ? CreateMutexW(nullptr, FALSE, name.c_str())
                                     : CreateEventW(nullptr, FALSE, FALSE, name.c_str());
    ASSERT_NE(elsewhere, nullptr);
    const HWND window = CreateWindowExW(0, L"STATIC", L"first", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SingleInstance first(path, window);
    EXPECT_EQ(first.role(), SingleInstance::Role::First);
    EXPECT_TRUE(first.stepped());
    first.setCommandHandler([](std::string_view) { return true; });
    EXPECT_EQ(SingleInstance(path, nullptr).role(), SingleInstance::Role::Another);
    EXPECT_EQ(SingleInstance::sendCommand(path, "start"), SingleInstance::CommandResult::Taken);
    CloseHandle(elsewhere);
    DestroyWindow(window);
  }
}

TEST(SingleInstance, TheFileIsFreeAgainOnceItsHolderIsGone) {
  const std::string path = R"(C:\Games\Tollivane\Tollivane.ini)";
  { SingleInstance first(path, nullptr); }
  SingleInstance next(path, nullptr);
  EXPECT_EQ(next.role(), SingleInstance::Role::First);
}

}  // namespace
}  // namespace tollivane::platform::win32
