#include "platform/posix/instance_name.hpp"

#include <cstdint>
#include <cstdio>

#include "platform/posix/path_walk.hpp"

namespace tollivane::platform::posix {

std::string instanceName(uid_t user, std::string_view settingsPath) {
  std::string reason;
  // A path no save would take (through a link it refuses, or a loop) keeps its own spelling:
  // it never shares the name of a file it does not reach.
  const std::string spelled(settingsPath);
  const std::string path = resolvedPath(spelled, reason).value_or(spelled);
  // FNV-1a: a short, stable digest; the user's id keeps users apart whatever the path.
  std::uint64_t digest = 14695981039346656037u;
  for (const char c : path) {
    digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211u;
  }
  char name[64];
  std::snprintf(name, sizeof name, "tollivane/%u/%016llx", static_cast<unsigned>(user),
                static_cast<unsigned long long>(digest));
  return name;
}

}  // namespace tollivane::platform::posix
