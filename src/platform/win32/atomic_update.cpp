#include "platform/win32/atomic_update.hpp"

#include <windows.h>

#include "platform/win32/file_handle.hpp"
#include "platform/win32/path_key.hpp"
#include "platform/win32/whole_file_read.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::platform::win32 {
namespace {

const std::string kWouldBeTooLarge =
    "would be larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";

// Held for one update: other Tollivanes of this session updating the same file wait for it.
// Nothing stays on disk, and the system frees it when its holder dies, however it dies.
class UpdateLock {
 public:
  explicit UpdateLock(const std::string& path)
      : mutex_(CreateMutexW(nullptr, FALSE,
                            objectNameFor(L"Local\\Tollivane-update-", path).c_str())) {
    if (!mutex_) return;
    // An abandoned mutex is ours now: the dead holder's replace was atomic, so the file is whole.
    const DWORD waited = WaitForSingleObject(mutex_, kWaitFor);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;
  ~UpdateLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  // False only when another Tollivane held the file for all of kWaitFor. Without a mutex at all
  // (none may be made) the update goes ahead as it would without other programs.
  bool timedOut() const { return mutex_ && !held_; }

 private:
  // Far beyond any update, which takes milliseconds, or kBusyFor at worst.
  static constexpr DWORD kWaitFor = 30000;
  HANDLE mutex_;
  bool held_ = false;
};

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// `target` in apiPath's form.
std::string replaceAt(const std::wstring& target, std::string_view bytes) {
  // Every later read would refuse the file, and so every later save.
  if (bytes.size() > kMaxFileSize) return kWouldBeTooLarge;
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (std::string reason = notRegular(attributes); !reason.empty()) return reason;
    // A move needs only the folder's permission: honour the user's read-only mark.
    if (attributes & FILE_ATTRIBUTE_READONLY) return systemMessage(ERROR_ACCESS_DENIED);
  }

  const auto slash = target.find_last_of(L'\\');
  const std::wstring folder = target.substr(0, slash + 1);
  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  // Unique among writers of this folder: our process id and a counter.
  for (unsigned attempt = 0; created == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    temporary = folder + L"~" + target.substr(slash + 1) + L"." +
                std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(attempt) + L".tmp";
    created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (created == INVALID_HANDLE_VALUE) return systemMessage(GetLastError());
  Handle file(created);

  const auto fail = [&](DWORD cause) {
    if (file.valid()) file.close();
    DeleteFileW(temporary.c_str());
    return systemMessage(cause);
  };
  if (!writeAll(file.get(), bytes)) return fail(GetLastError());
  if (!FlushFileBuffers(file.get())) return fail(GetLastError());
  if (!file.close()) return fail(GetLastError());
  // An existing file keeps its attributes (hidden, for one): copy them to the new one.
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesW(
        temporary.c_str(),
        attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  }
  const DWORD moved = whileBusy([&] {
    return MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : GetLastError();
  });
  return moved == 0 ? std::string() : fail(moved);
}

}  // namespace

std::string replaceFileAtomically(const std::string& path, std::string_view bytes) {
  return replaceAt(apiPath(path), bytes);
}

std::string updateFileAtomically(const std::string& path, const Files::FileEdit& edit) {
  const UpdateLock lock(path);
  if (lock.timedOut()) return "another Tollivane kept the file busy; nothing was saved";
  // Resolved once: what is read is what is replaced.
  const std::wstring target = apiPath(path);
  std::optional<std::string> current;
  if (std::string reason = readRegular(target, current); !reason.empty()) return reason;
  const auto updated = edit(current);
  return updated ? replaceAt(target, *updated) : std::string();
}

}  // namespace tollivane::platform::win32
