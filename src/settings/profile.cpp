#include "settings/profile.hpp"

#include <vector>

#include "common/runtime_error.hpp"
#include "settings/profile_text.hpp"

namespace tollivane::settings {
namespace {

[[noreturn]] void raiseCannotSave(const std::string& file, std::string_view reason) {
  std::string description = "Cannot save settings";
  if (!file.empty()) description += " to " + file;
  description += ": ";
  description += reason;
  throw RuntimeError(kErrFileAccess, description);
}

}  // namespace

std::optional<std::string> storedValue(std::string_view fileText, std::string_view section,
                                       std::string_view key) {
  const ProfileKey one[] = {{section, key}};
  return std::move(storedValues(fileText, one).front());
}

std::vector<std::optional<std::string>> storedValues(std::string_view fileText,
                                                     std::span<const ProfileKey> keys) {
  auto values = profileLookupAll(fileText, keys);
  for (auto& value : values) {
    if (value && value->size() > kMaxValueLength) value->resize(kMaxValueLength);
  }
  return values;
}

std::optional<std::string> readProfileValue(platform::Files& files, std::string_view section,
                                            std::string_view key, const std::string& file) {
  const auto text = files.readFile(file);
  if (!text) return std::nullopt;
  return storedValue(*text, section, key);
}

void writeProfileValue(platform::Files& files, std::string_view section, std::string_view key,
                       std::string_view value, const std::string& file) {
  const ProfileEntry one[] = {{key, value}};
  writeProfileValues(files, section, one, file);
}

void writeProfileValues(platform::Files& files, std::string_view section,
                        std::span<const ProfileEntry> entries, const std::string& file) {
  const ProfileSectionWrite one[] = {{section, entries}};
  writeProfileSections(files, one, file);
}

namespace {

bool holdsAnyOf(std::string_view text, const ProfileSectionWrite& write) {
  std::vector<ProfileKey> keys;
  for (const ProfileEntry& entry : write.entries) keys.push_back({write.section, entry.key});
  for (const auto& value : profileLookupAll(text, keys)) {
    if (value) return true;
  }
  return false;
}

}  // namespace

void writeProfileSections(platform::Files& files, std::span<const ProfileSectionWrite> sections,
                          const std::string& file) {
  // No folder to keep the file in: never fall back to some other folder.
  if (file.empty()) raiseCannotSave(file, "the program's folder cannot be found");
  // Read and rewritten under one lock: another instance's save between the two is not lost.
  const auto reason = files.updateFile(
      file, [&](const std::optional<std::string>& text) -> std::optional<std::string> {
        const std::string_view old = text ? std::string_view(*text) : std::string_view();
        std::optional<std::string> updated;
        for (const ProfileSectionWrite& write : sections) {
          const std::string_view current = updated ? std::string_view(*updated) : old;
          if (!write.always && !holdsAnyOf(current, write)) continue;
          updated = profileWriteAll(current, write.section, write.entries);
        }
        // Everything is stored already: leave the file alone, so that a save that changes
        // nothing cannot fail.
        if (!updated || (text && *updated == *text)) return std::nullopt;
        return updated;
      });
  if (!reason.empty()) raiseCannotSave(file, reason);
}

}  // namespace tollivane::settings
