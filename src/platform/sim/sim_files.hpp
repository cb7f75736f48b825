// The files of the simulated machine: a real folder, reached through the files adapter of the
// OS the simulation runs on, with saves that a test can make fail.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace tollivane::platform::sim {

class SimFiles final : public Files {
 public:
  // `folder`: the program folder, an existing folder without a trailing separator except at
  // the root. `host`: the host OS's adapter that reaches it, with `folder` as its program
  // folder, and `hostSeparator` the one it joins names with.
  SimFiles(std::string folder, std::unique_ptr<Files> host, char hostSeparator);

  // Where the host's own program would keep it: beside the program when its folder holds the
  // file or can be written, otherwise the user's own folder; with '/' between names.
  std::string settingsFile(std::string_view fileName) override;
  bool fileExists(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  // As the host updates: other processes held off between the read and the replace.
  std::string updateFile(const std::string& path, const FileEdit& edit) override;

  // Non-empty: updateFile writes nothing and gives this reason.
  void failSavesWith(std::string reason) { saveFailure_ = std::move(reason); }

 private:
  std::string folder_;
  std::unique_ptr<Files> host_;
  char hostSeparator_;
  std::string saveFailure_;
};

}  // namespace tollivane::platform::sim
