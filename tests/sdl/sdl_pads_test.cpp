#include "platform/sdl/sdl_pads.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "contract/pad_state_contract.hpp"

namespace tollivane::platform::sdl {
namespace {

constexpr Uint16 kVendor = 0x1209, kProduct = 0x7011;

struct ButtonOf {
  std::uint32_t bit;
  SDL_GameControllerButton button;
};
constexpr ButtonOf kButtons[] = {
    {0x0001, SDL_CONTROLLER_BUTTON_DPAD_UP},
    {0x0002, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {0x0004, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {0x0008, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
    {0x0010, SDL_CONTROLLER_BUTTON_START},
    {0x0020, SDL_CONTROLLER_BUTTON_BACK},
    {0x0040, SDL_CONTROLLER_BUTTON_LEFTSTICK},
    {0x0080, SDL_CONTROLLER_BUTTON_RIGHTSTICK},
    {0x0100, SDL_CONTROLLER_BUTTON_LEFTSHOULDER},
    {0x0200, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
    {0x1000, SDL_CONTROLLER_BUTTON_A},
    {0x2000, SDL_CONTROLLER_BUTTON_B},
    {0x4000, SDL_CONTROLLER_BUTTON_X},
    {0x8000, SDL_CONTROLLER_BUTTON_Y},
};

// SDL's virtual driver reports only the state at each update, where a real pad's driver reads
// every change from the kernel's queue; an update after each change stands in for that queue.
class VirtualPads final : public contract::Pads {
 public:
  // Before SDL starts: an id no real pad has keeps the machine's own pads out of the tests.
  static void keepRealPadsOut() {
    SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT, "0x1209/0x7011");
  }
  VirtualPads() {
    keepRealPadsOut();
    EXPECT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  }
  ~VirtualPads() override {
    pads_.reset();
    for (int pad = 0; pad < static_cast<int>(std::size(sticks_)); ++pad) detach(pad);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
  platform::PadState& state() override { return *pads_; }
  int attach() override {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.vendor_id = kVendor;
    desc.product_id = kProduct;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    int pad = 0;
    while (sticks_[pad] != nullptr) ++pad;
    sticks_[pad] = SDL_JoystickOpen(index);
    return pad;
  }
  void detach(int pad) override {
    if (sticks_[pad] == nullptr) return;
    const SDL_JoystickID instance = SDL_JoystickInstanceID(sticks_[pad]);
    SDL_JoystickClose(sticks_[pad]);
    sticks_[pad] = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == instance) SDL_JoystickDetachVirtual(index);
    }
  }
  void hold(int pad, std::uint32_t buttons) override {
    for (const ButtonOf& b : kButtons) {
      SDL_JoystickSetVirtualButton(sticks_[pad], b.button, (buttons & b.bit) != 0);
    }
    setTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, (buttons & 0x10000) != 0 ? 1 : 0);
    setTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, (buttons & 0x20000) != 0 ? 1 : 0);
    SDL_JoystickUpdate();
  }
  void trigger(int pad, bool right, double depth) override {
    setTrigger(pad, right ? SDL_CONTROLLER_AXIS_TRIGGERRIGHT : SDL_CONTROLLER_AXIS_TRIGGERLEFT,
               depth);
    SDL_JoystickUpdate();
  }

 private:
  // A trigger's raw axis spans the whole range; SDL maps it onto 0..32767.
  void setTrigger(int pad, SDL_GameControllerAxis axis, double depth) {
    SDL_JoystickSetVirtualAxis(sticks_[pad], axis, static_cast<Sint16>(-32768 + depth * 65535));
  }
  std::unique_ptr<platform::PadState> pads_ = makeSdlPads();
  SDL_Joystick* sticks_[4] = {};
};

using contract::PadStateContract;
INSTANTIATE_TEST_SUITE_P(Sdl, PadStateContract,
                         ::testing::Values(contract::PadsKit{
                             "VirtualPads", [] { return std::make_unique<VirtualPads>(); }}),
                         contract::padsKitName);

// SDL runs on the poller's thread alone, and the program's end stays the program's.
TEST(SdlPads, StartsNoThreadAndLeavesTheSignalsAlone) {
  const auto threads = [] {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return std::distance(begin(tasks), end(tasks));
  };
  const auto before = threads();
  VirtualPads::keepRealPadsOut();
  const auto first = makeSdlPads();
  std::uint32_t out[2] = {};
  first->readPads(out);
  for (const int signal : {SIGINT, SIGTERM}) {
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
  }
  VirtualPads pads;
  pads.attach();
  for (int reads = 0; reads < 10 && pads.state().readPads(out) == 0;) ++reads;
  EXPECT_EQ(pads.state().readPads(out), 1u);
  EXPECT_EQ(threads(), before);
}

// SDL's allocations, counted through its own hook, which forwards to the C library's.
int sdlAllocations = 0;
void* countedMalloc(std::size_t size) { return ++sdlAllocations, std::malloc(size); }
void* countedCalloc(std::size_t n, std::size_t size) {
  return ++sdlAllocations, std::calloc(n, size);
}
void* countedRealloc(void* block, std::size_t size) {
  return ++sdlAllocations, std::realloc(block, size);
}

TEST(SdlPads, ReadsAllocateNothingOnceRunning) {
  SDL_SetMemoryFunctions(countedMalloc, countedCalloc, countedRealloc, std::free);
  VirtualPads pads;
  const int pad = pads.attach();
  std::uint32_t out[2] = {};
  int allocations = 0;
  for (int read = 0; read < 30; ++read) {
    pads.hold(pad, read % 2 == 0 ? 0x1020 : 0x0020);
    pads.trigger(pad, true, read % 3 == 0 ? 1 : 0);
    const int before = sdlAllocations;
    pads.state().readPads(out);
    if (read >= 10) allocations += sdlAllocations - before;  // SDL has started, the pad is open
  }
  EXPECT_GT(sdlAllocations, 0);  // the hook saw SDL start
  EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace tollivane::platform::sdl
