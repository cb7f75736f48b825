#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "frontend/sim/host_files.hpp"
#include "platform/posix/posix_files.hpp"

namespace tollivane::frontend::sim {

std::unique_ptr<platform::Files> hostFiles(const std::string& folder) {
  return std::make_unique<platform::posix::PosixFiles>(folder);
}

const char kHostSeparator = '/';

std::string makeTemporaryFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "tollivane-sim-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) throw std::runtime_error("cannot make a folder in " + base.string());
  return buffer.data();
}

void removeFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace tollivane::frontend::sim
