#include "frontend/qt/one_instance.hpp"

#include <cstdio>
#include <utility>

#include <unistd.h>

#include "frontend/qt/window_activation.hpp"

namespace tollivane::frontend::qt {

using platform::posix::SingleInstance;

OneInstance::OneInstance(const std::string& settingsPath, QWidget& window,
                         SingleInstance::CommandHandler commands)
    : instance_(platform::posix::instanceName(::geteuid(), settingsPath)) {
  instance_.setCommandHandler(std::move(commands));
  if (anotherRuns()) {
    std::fprintf(stderr, "tollivane: already running with %s; its window is brought to the front\n",
                 settingsPath.c_str());
  }
  if (instance_.role() != SingleInstance::Role::First) return;
  requests_ = std::make_unique<QSocketNotifier>(instance_.requestsFd(), QSocketNotifier::Read);
  QObject::connect(requests_.get(), &QSocketNotifier::activated, [this, &window] {
    if (instance_.takeRequests() > 0) bringToFront(window);
  });
}

OneInstance::~OneInstance() = default;

bool OneInstance::anotherRuns() const { return instance_.role() == SingleInstance::Role::Another; }

int handOnCommand(const std::string& settingsPath, std::string_view word) {
  const std::string name = platform::posix::instanceName(::geteuid(), settingsPath);
  switch (SingleInstance::sendCommand(name, word)) {
    case SingleInstance::CommandResult::Taken:
      return 0;
    case SingleInstance::CommandResult::Refused:
      std::fprintf(
          stderr,
          "tollivane: the Tollivane running with %s cannot --%.*s: its hotkey is not usable\n",
          settingsPath.c_str(), static_cast<int>(word.size()), word.data());
      return 1;
    case SingleInstance::CommandResult::NoneRunning:
      break;
  }
  std::fprintf(stderr, "tollivane: no Tollivane is running with %s; --%.*s was not given to any\n",
               settingsPath.c_str(), static_cast<int>(word.size()), word.data());
  return 1;
}

}  // namespace tollivane::frontend::qt
