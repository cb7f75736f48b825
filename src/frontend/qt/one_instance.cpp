#include "frontend/qt/one_instance.hpp"

#include <cstdio>

#include <unistd.h>

#include "frontend/qt/window_activation.hpp"

namespace tollivane::frontend::qt {

using platform::posix::SingleInstance;

OneInstance::OneInstance(const std::string& settingsPath, QWidget& window)
    : instance_(platform::posix::instanceName(::geteuid(), settingsPath)) {
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

}  // namespace tollivane::frontend::qt
