// One Linux program per user and settings file: a later start brings the first one's main
// window to the front and ends; a command from the command line goes to the first one.
#pragma once

#include <QSocketNotifier>
#include <memory>
#include <string>
#include <string_view>

#include "platform/posix/single_instance.hpp"

class QWidget;

namespace tollivane::frontend::qt {

class OneInstance {
 public:
  // `window` outlives this object; `commands` takes what later starts hand on (true: taken).
  OneInstance(const std::string& settingsPath, QWidget& window,
              platform::posix::SingleInstance::CommandHandler commands);
  ~OneInstance();
  OneInstance(const OneInstance&) = delete;
  OneInstance& operator=(const OneInstance&) = delete;

  // Another program holds the settings file and was asked to show its window (said on
  // standard error): this one should end.
  bool anotherRuns() const;

 private:
  platform::posix::SingleInstance instance_;
  std::unique_ptr<QSocketNotifier> requests_;
};

// Hands a hotkey's command to the program running with `settingsPath`, saying on standard
// error why when it was not taken; the exit status: 0 taken, 1 otherwise.
int handOnCommand(const std::string& settingsPath, std::string_view word);

}  // namespace tollivane::frontend::qt
