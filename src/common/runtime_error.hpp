// A run-time error of the program: a number and a description ("Overflow", 6).
#pragma once

#include <stdexcept>
#include <string>

namespace tollivane {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const noexcept { return number_; }
  std::string description() const { return what(); }

 private:
  int number_;
};

inline constexpr int kErrOverflow = 6;
// Reported for std::bad_alloc wherever a run-time error would be.
inline constexpr int kErrOutOfMemory = 7;
inline constexpr const char* kOutOfMemoryText = "Out of memory";
inline constexpr int kErrFileAccess = 75;

[[noreturn]] void raiseOverflow();

}  // namespace tollivane
