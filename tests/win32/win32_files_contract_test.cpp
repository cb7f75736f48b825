// The files contract over the Windows adapter. The other program is settings_writer.exe, which
// lies beside this test; a file held open is held without sharing, as an editor may hold it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "contract/files_contract.hpp"
#include "platform/win32/program_folder.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/win32_files.hpp"

namespace tollivane::platform::win32 {
namespace {

using contract::FilesContract;

std::function<std::vector<std::string>()> startWriter(const std::string& path, int count,
                                                      const std::string& tag) {
  std::wstring command = L"\"" + widen(executableFolder()) + L"\\settings_writer.exe\" \"" +
                         widen(path) + L"\" " + std::to_wstring(count) + L" " + widen(tag);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    const std::string reason =
        "settings_writer.exe did not start: " + systemMessage(GetLastError());
    return [reason] { return std::vector<std::string>{reason}; };
  }
  CloseHandle(process.hThread);
  return [handle = process.hProcess] {
    WaitForSingleObject(handle, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(handle, &code);
    CloseHandle(handle);
    // Its reasons are on the shared standard error.
    return code == 0 ? std::vector<std::string>{}
                     : std::vector<std::string>{"settings_writer.exe refused saves"};
  };
}

contract::FilesKit win32Kit() {
  contract::FilesKit kit;
  kit.name = "Win32";
  kit.make = [] { return std::make_unique<Win32Files>(); };
  kit.otherWriter = startWriter;
  kit.holdOpen = [](const std::string& path) {
    const HANDLE held = CreateFileW(widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    return std::function<void()>([held] { CloseHandle(held); });
  };
  return kit;
}

INSTANTIATE_TEST_SUITE_P(Win32, FilesContract, ::testing::Values(win32Kit()), contract::kitName);

}  // namespace
}  // namespace tollivane::platform::win32
