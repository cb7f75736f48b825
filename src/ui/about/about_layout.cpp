#include "ui/layout.hpp"

namespace tollivane::ui {
namespace {

constexpr Rgb kBlack{0, 0, 0};

// Colours left unset take the platform's dialog defaults.
constexpr ControlLayout kControls[] = {
    {.name = "cmdOK",
     .kind = ControlKind::Button,
     .caption = "OK",
     .left = 4245,
     .top = 3150,
     .width = 1260,
     .height = 345,
     .visible = true,
     .tabIndex = 0,
     .isDefault = true,
     .isCancel = true},
    {.name = "Label1",
     .kind = ControlKind::Label,
     .caption = kCopyrightNotice,
     .left = 150,
     .top = 3300,
     .width = 1230,
     .height = 195,
     .visible = true,
     .tabIndex = 1},
    {.name = "Frame1",
     .kind = ControlKind::Panel,
     .left = 150,
     .top = 150,
     .width = 5415,
     .height = 2865,
     .visible = true,
     .tabIndex = 2},
    {.name = "lblDescription",
     .kind = ControlKind::Label,
     .parent = "Frame1",
     .left = 1050,
     .top = 975,
     .width = 3885,
     .height = 1740,
     .visible = true,
     .tabIndex = 3,
     .foreground = kBlack,
     .multiLine = true},
    {.name = "lblTitle",
     .kind = ControlKind::Label,
     .parent = "Frame1",
     .caption = "Tollivane :: Timer for StarCraft",
     .left = 1050,
     .top = 240,
     .width = 3885,
     .height = 180,
     .visible = true,
     .tabIndex = 4,
     .foreground = kBlack},
    {.name = "lblVersion",
     .kind = ControlKind::Label,
     .parent = "Frame1",
     .caption = "Version 0.1",
     .left = 1050,
     .top = 600,
     .width = 3885,
     .height = 225,
     .visible = true,
     .tabIndex = 5},
    {.name = "Image1",
     .kind = ControlKind::Picture,
     .parent = "Frame1",
     .caption = "icon",
     .left = 150,
     .top = 150,
     .width = 480,
     .height = 480,
     .visible = true},
};

constexpr WindowLayout kAboutWindow{
    .caption = "About Tollivane",
    .clientWidth = 5760,
    .clientHeight = 3645,
    .controls = kControls,
    .minimizeButton = false,
    .startPosition = StartPosition::CenterOwner,
};

}  // namespace

const WindowLayout& aboutWindowLayout() { return kAboutWindow; }

}  // namespace tollivane::ui
