#include "platform/sdl/sdl_pads.hpp"

#include <SDL.h>

#include <initializer_list>

namespace tollivane::platform::sdl {
namespace {

struct ButtonBit {
  SDL_GameControllerButton button;
  std::uint32_t bit;
};
// XInput's bits name places on the pad, so buttons go by place too: a Nintendo pad's bottom face
// button, labelled B, is A (SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS below).
constexpr ButtonBit kButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
    {SDL_CONTROLLER_BUTTON_START, 0x0010},
    {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
    {SDL_CONTROLLER_BUTTON_A, 0x1000},
    {SDL_CONTROLLER_BUTTON_B, 0x2000},
    {SDL_CONTROLLER_BUTTON_X, 0x4000},
    {SDL_CONTROLLER_BUTTON_Y, 0x8000},
};
constexpr std::uint32_t kLeftTrigger = 0x10000;
constexpr std::uint32_t kRightTrigger = 0x20000;
constexpr Sint16 kHalfWay = 16383;  // of a trigger's 0..32767

std::uint32_t buttonBit(Uint8 button) {
  for (const ButtonBit& b : kButtons) {
    if (b.button == button) return b.bit;
  }
  return 0;  // the guide button, paddles, touchpad: not in the vocabulary
}

std::uint32_t triggerBit(Uint8 axis, Sint16 value) {
  if (value <= kHalfWay) return 0;
  if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT) return kLeftTrigger;
  if (axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) return kRightTrigger;
  return 0;
}

std::uint32_t downNow(SDL_GameController* controller) {
  std::uint32_t bits = 0;
  for (const ButtonBit& b : kButtons) {
    if (SDL_GameControllerGetButton(controller, b.button)) bits |= b.bit;
  }
  for (Uint8 axis : {SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT}) {
    bits |= triggerBit(
        axis, SDL_GameControllerGetAxis(controller, static_cast<SDL_GameControllerAxis>(axis)));
  }
  return bits;
}

bool startSdl() {
  // At normal priority, so the same variables in the environment still win. Background events:
  // the game has the focus, never we. No signal handlers: SDL's would turn SIGINT and SIGTERM
  // into an event that no one reads, and the program would not end.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  return SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

}  // namespace

SdlPads::~SdlPads() {
  if (start_ != Start::Running) return;
  for (Pad& pad : pads_) {
    if (pad.controller != nullptr) SDL_GameControllerClose(pad.controller);
  }
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

std::size_t SdlPads::readPads(std::span<std::uint32_t> out) {
  if (start_ == Start::NotYet) start_ = startSdl() ? Start::Running : Start::Failed;
  if (start_ != Start::Running) return 0;
  if (opened_ == 0 && ++readsWithoutPad_ % kReadsPerLook != 1) return 0;
  // Reads the devices and finds those added or removed, never waiting.
  SDL_GameControllerUpdate();
  // Everything is taken off the queue, not only the controllers' events: no one else reads it,
  // and what stayed would pile up.
  SDL_Event events[32];
  int got = 0;
  do {
    got = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (int i = 0; i < got; ++i) take(events[i]);
  } while (got == 32);

  std::size_t count = 0;
  for (Pad& pad : pads_) {
    if (pad.controller == nullptr) continue;
    const std::uint32_t bits = pad.seen | downNow(pad.controller);
    pad.seen = 0;
    if (count < out.size()) out[count++] = bits;
  }
  return count;
}

void SdlPads::take(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      open(event.cdevice.which);  // a device index here, an instance everywhere else
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (Pad* pad = find(event.cdevice.which)) {
        SDL_GameControllerClose(pad->controller);
        *pad = Pad{};
        --opened_;
      }
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (Pad* pad = find(event.cbutton.which)) pad->seen |= buttonBit(event.cbutton.button);
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (Pad* pad = find(event.caxis.which)) {
        pad->seen |= triggerBit(event.caxis.axis, event.caxis.value);
      }
      break;
    default:
      break;
  }
}

void SdlPads::open(int deviceIndex) {
  // The index names a device as SDL sees it now: one gone since its event leaves an index that
  // names a pad already open, another one or none.
  const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (instance < 0 || find(instance) != nullptr) return;
  for (Pad& pad : pads_) {
    if (pad.controller != nullptr) continue;
    pad.controller = SDL_GameControllerOpen(deviceIndex);
    if (pad.controller == nullptr) return;
    pad.instance = instance;
    ++opened_;
    return;
  }
}

SdlPads::Pad* SdlPads::find(std::int32_t instance) {
  for (Pad& pad : pads_) {
    if (pad.controller != nullptr && pad.instance == instance) return &pad;
  }
  return nullptr;
}

std::unique_ptr<platform::PadState> makeSdlPads() { return std::make_unique<SdlPads>(); }

}  // namespace tollivane::platform::sdl
