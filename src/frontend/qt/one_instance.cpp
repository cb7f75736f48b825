#include "frontend/qt/one_instance.hpp"

#include <cstdio>
#include <utility>

#include <unistd.h>

#include "common/hotkey_commands.hpp"
#include "frontend/qt/window_activation.hpp"
#include "platform/posix/instance_name.hpp"

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
  if (instance_.stepped() && !anotherRuns()) {
    std::fprintf(stderr,
                 instance_.role() == SingleInstance::Role::First
                     ? "tollivane: another user's program holds the name of the Tollivane for "
                       "%s; this one takes the next, where later starts find it too\n"
                     : "tollivane: other users' programs hold every name of the Tollivane for "
                       "%s; this one runs on its own\n",
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
  CommandAnswer answer = CommandAnswer::NoneRunning;
  switch (SingleInstance::sendCommand(name, word)) {
    case SingleInstance::CommandResult::Taken:
      answer = CommandAnswer::Taken;
      break;
    case SingleInstance::CommandResult::Refused:
      answer = CommandAnswer::Refused;
      break;
    case SingleInstance::CommandResult::NotAnswering:
      answer = CommandAnswer::NotAnswering;
      break;
    case SingleInstance::CommandResult::NoneRunning:
      break;
  }
  const CommandOutcome outcome = commandOutcome(answer, settingsPath, word);
  if (!outcome.line.empty()) std::fprintf(stderr, "%s\n", outcome.line.c_str());
  return outcome.status;
}

}  // namespace tollivane::frontend::qt
