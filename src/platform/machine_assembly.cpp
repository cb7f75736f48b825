#include "platform/machine_assembly.hpp"

#include "common/hotkey_commands.hpp"
#include "platform/overlay_choices.hpp"

namespace tollivane::platform {

MachineAssembly::MachineAssembly(const MachineParts& parts)
    : files_(parts.files),
      pads_(parts.pads),
      surface_(parts.direct, parts.ownWindow, parts.ownWindowOnly),
      keys_(parts.keyboard, surface_) {}

Platform MachineAssembly::platform(DesktopShortcuts& shortcuts) {
  return Platform{keys_, surface_, files_, keys_, surface_, shortcuts, pads_};
}

void MachineAssembly::pressBindingsOf(const std::array<std::int16_t, 3>& codes,
                                      const std::array<std::int16_t, 3>& shifts) {
  codes_ = &codes;
  shifts_ = &shifts;
}

bool MachineAssembly::command(std::string_view word) {
  const std::optional<std::size_t> binding = bindingOfCommand(word);
  return binding && codes_ && keys_.pressBinding((*codes_)[*binding], (*shifts_)[*binding]);
}

}  // namespace tollivane::platform
