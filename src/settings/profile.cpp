#include "settings/profile.hpp"

#include "common/runtime_error.hpp"
#include "settings/profile_text.hpp"

namespace tollivane::settings {
namespace {

[[noreturn]] void raiseCannotSave(const std::string& file, std::string_view reason) {
  std::string description = "Cannot save settings to ";
  description += file;
  description += ": ";
  description += reason;
  throw RuntimeError(kErrFileAccess, description);
}

}  // namespace

std::optional<std::string> storedValue(std::string_view fileText, std::string_view section,
                                       std::string_view key) {
  auto value = profileLookup(fileText, section, key);
  if (value && value->size() > kMaxValueLength) value->resize(kMaxValueLength);
  return value;
}

std::optional<std::string> readProfileValue(platform::Files& files, std::string_view section,
                                            std::string_view key, const std::string& file) {
  const auto text = files.readFile(file);
  if (!text) return std::nullopt;
  return storedValue(*text, section, key);
}

void writeProfileValue(platform::Files& files, std::string_view section, std::string_view key,
                       std::string_view value, const std::string& file) {
  const KeyValue one[] = {{key, std::string(value)}};
  writeProfileValues(files, section, one, file);
}

void writeProfileValues(platform::Files& files, std::string_view section,
                        std::span<const KeyValue> values, const std::string& file) {
  auto text = files.readFile(file);
  if (!text) {
    // Writing a fresh file over one we could not read would lose the user's other lines.
    if (files.fileExists(file)) raiseCannotSave(file, "the existing file cannot be read");
    text.emplace();
  }
  std::string updated = *text;
  for (const auto& [key, value] : values) updated = profileWrite(updated, section, key, value);
  // Everything is stored already: leave the file alone, so that a save that changes nothing
  // cannot fail.
  if (updated == *text) return;
  if (const auto reason = files.replaceFile(file, updated); !reason.empty()) {
    raiseCannotSave(file, reason);
  }
}

}  // namespace tollivane::settings
