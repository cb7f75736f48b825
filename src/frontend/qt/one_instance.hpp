// One Linux program per user and settings file: a later start brings the first one's main
// window to the front and ends.
#pragma once

#include <QSocketNotifier>
#include <memory>
#include <string>

#include "platform/posix/single_instance.hpp"

class QWidget;

namespace tollivane::frontend::qt {

class OneInstance {
 public:
  // `window` outlives this object.
  OneInstance(const std::string& settingsPath, QWidget& window);
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

}  // namespace tollivane::frontend::qt
