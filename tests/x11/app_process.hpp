// The built tollivane program, run from a private copy so that its settings file (beside the
// program) is the test's own; stopped and removed at the end.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "test_client.hpp"

namespace tollivane::x11test {

class AppProcess {
 public:
  // `settings`: the text of the settings file beside the program, none when empty;
  // `arguments`: the command line's after the program's name.
  AppProcess(const std::filesystem::path& executable, const std::string& display,
             const std::string& settings = {}, const std::vector<std::string>& arguments = {});
  // Runs `executable` where it is, with HOME set to the private folder, so that an installed
  // program keeps its settings there (folder()/.config/tollivane); `arguments` as above.
  struct InPlace {};
  AppProcess(const std::filesystem::path& executable, const std::string& display, InPlace,
             const std::vector<std::string>& arguments = {});
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  pid_t pid() const { return child; }
  bool running();
  const std::filesystem::path& folder() const { return home; }
  std::string output() const;  // what it wrote to standard output and error
  // Waits up to `limit` for the program to end; its exit status, or -1 while it still runs.
  int waitForExit(std::chrono::milliseconds limit);

 private:
  void start(const std::filesystem::path& program, const std::string& display, bool ownHome,
             const std::vector<std::string>& arguments);

  std::filesystem::path home;
  pid_t child = -1;
  int status = -1;
};

// The top-level window titled "Tollivane", in root coordinates, once it is viewable.
std::optional<Area> findWindowTitled(TestClient& client, const std::string& title,
                                     Window* found = nullptr);

// Peak resident memory (VmHWM) or current (VmRSS) of a process, in KiB.
long memoryKiB(pid_t pid, const char* field);

}  // namespace tollivane::x11test
