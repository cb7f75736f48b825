// Reading and writing one value of the settings file, each a complete operation on the file.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.hpp"
#include "settings/profile_text.hpp"

namespace tollivane::settings {

// Longest value a read gives back; a longer one is cut to its first this many characters.
inline constexpr std::size_t kMaxValueLength = 254;

// The value stored in a file's text that was read already, cut like a read from the file:
// nothing when the section or the key is missing.
std::optional<std::string> storedValue(std::string_view fileText, std::string_view section,
                                       std::string_view key);

// The values of several keys, in one pass over the text, each as storedValue gives it.
std::vector<std::optional<std::string>> storedValues(std::string_view fileText,
                                                     std::span<const ProfileKey> keys);

// The stored value, or nothing when the file, the section or the key is missing.
std::optional<std::string> readProfileValue(platform::Files& files, std::string_view section,
                                            std::string_view key, const std::string& file);

// Stores `value`, leaving every other line of the file as it was; creates the file or the
// section when missing. Raises RuntimeError kErrFileAccess naming the file and the reason
// when the file cannot be written, exists but cannot be read or is no regular file, or when
// `file` is empty (the program's folder is unknown).
void writeProfileValue(platform::Files& files, std::string_view section, std::string_view key,
                       std::string_view value, const std::string& file);

// Stores several keys of one section, in order, with one replacement of the file: either all
// of them reach the file or none does. Fails as writeProfileValue does.
void writeProfileValues(platform::Files& files, std::string_view section,
                        std::span<const ProfileEntry> entries, const std::string& file);

struct ProfileSectionWrite {
  std::string_view section;
  std::span<const ProfileEntry> entries;
  // False: written only where the file already holds one of these keys in that section, so
  // that a section of nothing but empty values never comes into being.
  bool always = true;
};

// Several sections, in order, with one replacement of the file, as writeProfileValues.
void writeProfileSections(platform::Files& files, std::span<const ProfileSectionWrite> sections,
                          const std::string& file);

}  // namespace tollivane::settings
