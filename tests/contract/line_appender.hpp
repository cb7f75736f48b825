// Another Tollivane saving into the same settings file, as the files contract races it: each
// update adds one numbered line to whatever the file holds, so a lost update shows as a
// missing line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.hpp"

namespace tollivane::contract {

// Makes `count` updates of `path`, each adding the line "TAG N\n" (N = 1..count); returns the
// reasons of the updates refused.
inline std::vector<std::string> appendLines(platform::Files& files, const std::string& path,
                                            int count, const std::string& tag) {
  std::vector<std::string> refused;
  for (int n = 1; n <= count; ++n) {
    const std::string line = tag + " " + std::to_string(n) + "\n";
    std::string reason = files.updateFile(path, [&line](const std::optional<std::string>& c) {
      return std::optional<std::string>(c.value_or("") + line);
    });
    if (!reason.empty()) refused.push_back(std::move(reason));
  }
  return refused;
}

}  // namespace tollivane::contract
