#include "frontend/win32/main_window.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/runtime_error.hpp"
#include "frontend/win32/about_window.hpp"
#include "frontend/win32/win32_controls.hpp"
#include "frontend/win32/win32_shell.hpp"
#include "platform/null_backends.hpp"
#include "platform/win32/exclusive_full_screen.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/win32_files.hpp"
#include "platform/win32/win32_key_state.hpp"
#include "ui/layout.hpp"
#include "win32/key_taps.hpp"
#include "win32/scratch_folder.hpp"

namespace tollivane::frontend::win32 {
namespace {

namespace fs = std::filesystem;

// Holds Shift, Ctrl and Alt as the mask says, in the state the thread's messages are read with.
void holdModifiers(int mask) {
  BYTE keys[256]{};
  if (mask & 1) keys[VK_SHIFT] = 0x80;
  if (mask & 2) keys[VK_CONTROL] = 0x80;
  if (mask & 4) keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    window_.reset();
    holdModifiers(0);
  }

  void open(const std::string& settings = {}) {
    if (!settings.empty()) std::ofstream(folder_ / "Tollivane.ini", std::ios::binary) << settings;
    files_ =
        std::make_unique<platform::win32::Win32Files>(platform::win32::narrow(folder_.wstring()));
    machine_ = std::make_unique<platform::Platform>(
        platform::Platform{keys_, surface_, *files_, runs_, overlay_, shortcuts_, pads_});
    shell_.setEndAction([this](int code) { exitCode_ = code; });
    window_ = std::make_unique<MainWindow>(*machine_, shell_);
    loaded_ = window_->load();
    if (loaded_) window_->show(SW_SHOWNOACTIVATE);
  }

  HWND control(std::string_view name) const { return window_->controls().window(name); }
  void menu(std::string_view entry) {
    SendMessageW(window_->handle(), WM_COMMAND, window_->menuId(entry), 0);
  }
  bool checked(std::string_view entry) const {
    return GetMenuState(window_->menu(), window_->menuId(entry), MF_BYCOMMAND) & MF_CHECKED;
  }
  void keyDown(std::string_view box, WPARAM key, int mask) {
    holdModifiers(mask);
    SendMessageW(control(box), (mask & 4) ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 0);
    holdModifiers(0);
  }

  tests::ScratchFolder scratch_{L"window"};
  const fs::path folder_ = scratch_.path();
  platform::win32::Win32KeyState keys_;
  platform::NullSurface surface_;
  platform::NullRunObserver runs_;
  platform::ChosenSurface overlay_{surface_, nullptr};
  platform::NullDesktopShortcuts shortcuts_;
  platform::NullPadState pads_;
  std::unique_ptr<platform::win32::Win32Files> files_;
  std::unique_ptr<platform::Platform> machine_;
  Win32Shell shell_;
  std::unique_ptr<MainWindow> window_;
  bool loaded_ = false;
  int exitCode_ = -1;
};

TEST_F(MainWindowTest, IsLaidOutFromItsTableWithAFixedBorder) {
  open();
  ASSERT_TRUE(loaded_);
  const int dpi = screenDpi();
  const ui::WindowLayout& layout = ui::mainWindowLayout();
  RECT client;
  GetClientRect(window_->handle(), &client);
  EXPECT_EQ(client.right, ui::twipsToPixels(layout.clientWidth, dpi));
  EXPECT_EQ(client.bottom, ui::twipsToPixels(layout.clientHeight, dpi));
  const LONG style = GetWindowLongW(window_->handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(windowText(window_->handle()), "Tollivane");
  // Positions are relative to their panel in the table, to the window here.
  RECT box;
  GetWindowRect(control("qvHotKey1"), &box);
  MapWindowPoints(nullptr, window_->handle(), reinterpret_cast<POINT*>(&box), 2);
  EXPECT_EQ(box.left, ui::twipsToPixels(300 + 1050, dpi));
  EXPECT_EQ(box.top, ui::twipsToPixels(150 + 300, dpi));
  EXPECT_EQ(windowText(control("txtX")), "25");
  EXPECT_EQ(windowText(control("qvHotKey1")), "F5");
}

TEST_F(MainWindowTest, LinesOfTheirOwnComeAndGoBelowThePanels) {
  open();
  const HWND main = window_->handle();
  const auto top = [main](HWND line) {
    RECT box;
    GetWindowRect(line, &box);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&box), 2);
    return box.top;
  };
  RECT before, after;
  GetClientRect(main, &before);
  const std::string first = std::string(300, 'w') + " end";
  window_->addLine(first);
  window_->addLine(first);
  window_->addLine("second");
  const LONG firstTop = top(window_->line(first));
  EXPECT_GE(firstTop, before.bottom);
  EXPECT_GT(top(window_->line("second")), firstTop);
  // The first goes: the second takes its place; once both have gone the window is as it was.
  window_->removeLine(first);
  EXPECT_EQ(window_->line(first), nullptr);
  EXPECT_EQ(top(window_->line("second")), firstTop);
  window_->removeLine("second");
  GetClientRect(main, &after);
  EXPECT_EQ(after.bottom, before.bottom);
}

// The notice follows the shell's answers, asked at most once a second, from the timers' wakes.
TEST_F(MainWindowTest, TellsWhileAGameRunsInExclusiveFullScreen) {
  open();
  int answer = 0, asked = 0;
  platform::win32::ExclusiveFullScreen watch(
      [&] { return ++asked, answer; },
      [this](bool holds) { holds ? window_->addLine("x") : window_->removeLine("x"); });
  // 3: exclusive full screen; 5: accepts notifications; 2: busy (borderless); 0: failed.
  const struct {
    std::uint64_t at;
    int answer, askedSoFar;
    bool shown;
  } steps[] = {{5000, 3, 1, true}, {5999, 5, 1, true}, {6000, 5, 2, false}, {6500, 3, 2, false},
               {7000, 3, 3, true}, {8000, 0, 4, true}, {9000, 2, 5, false}};
  for (const auto& step : steps) {
    answer = step.answer;
    watch.check(step.at);
    EXPECT_EQ(asked, step.askedSoFar) << step.at;
    EXPECT_EQ(window_->line("x") != nullptr, step.shown) << step.at;
  }
  int wakes = 0;
  window_->onWake([&wakes] { ++wakes; });
  for (int i = 0; i < 500 && wakes == 0; ++i) win32_tests::pumpMessages(20);
  EXPECT_GT(wakes, 0);
  window_->onWake(nullptr);
  std::printf("SHQueryUserNotificationState answers %d here\n",
              platform::win32::systemNotificationState());
}

TEST_F(MainWindowTest, MovingToAMonitorWithAnotherScaleLaysItOutAgain) {
  open();
  menu("mnuHotkeys");
  const int dpi = 2 * screenDpi();
  RECT suggested{40, 30, 40 + 700, 30 + 500};
  SendMessageW(window_->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
  RECT frame;
  GetWindowRect(window_->handle(), &frame);
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.right - frame.left, 700);
  RECT box;
  GetWindowRect(control("qvHotKey1"), &box);
  MapWindowPoints(nullptr, window_->handle(), reinterpret_cast<POINT*>(&box), 2);
  EXPECT_EQ(box.left, ui::twipsToPixels(300 + 1050, dpi));
  EXPECT_EQ(box.top, ui::twipsToPixels(150 + 300, dpi));
  EXPECT_EQ(box.right - box.left, ui::twipsToPixels(2265, dpi));
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control("qvHotKey1"), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -MulDiv(10, dpi, 72)) << "the capture box's 10-point font";
}

// A coloured panel covers the banner beneath it in its own colour, at the scale it was built
// for and once it has moved to a monitor with another.
TEST_F(MainWindowTest, TheHotkeysPanelCoversTheBannerInItsColourAtEitherScale) {
  open();
  const HWND main = window_->handle();
  const auto rectOf = [this, main](const char* name) {
    RECT r;
    GetWindowRect(control(name), &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const auto pixel = [main](POINT at) {
    const HDC dc = GetDC(main);
    const COLORREF colour = GetPixel(dc, at.x, at.y);
    ReleaseDC(main, dc);
    return colour;
  };
  const auto repaint = [main] {
    RedrawWindow(main, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  };
  for (const int dpi : {screenDpi(), 2 * screenDpi()}) {
    RECT suggested{40, 30, 40 + 900, 30 + 700};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    repaint();
    // A point where the banner shows, not black, inside the panel but under none of its controls.
    const RECT banner = rectOf("Image1"), panel = rectOf("Frame1");
    std::optional<POINT> seen;
    for (LONG y = std::max(banner.top, panel.top) + 4; !seen && y < banner.bottom; y += 3) {
      for (LONG x = std::max(banner.left, panel.left) + 4; !seen && x < banner.right; x += 3) {
        bool covered = pixel({x, y}) == RGB(0, 0, 0);
        for (const char* name : {"Command1", "Command2", "qvHotKey1", "qvHotKey2", "qvHotKey3",
                                 "Label1", "Label2", "Label3"}) {
          const RECT r = rectOf(name);
          covered = covered || PtInRect(&r, POINT{x, y});
        }
        if (!covered) seen = POINT{x, y};
      }
    }
    ASSERT_TRUE(seen) << dpi << " dpi";
    menu("mnuHotkeys");
    repaint();
    EXPECT_EQ(pixel(*seen), RGB(0, 0, 0)) << dpi << " dpi, at " << seen->x << ", " << seen->y;
    menu("mnuHotkeys");
  }
}

// The longest name a capture box can show, whole, with the edit's own margins, at the usual
// scales: its text measured in its font against its client area.
TEST_F(MainWindowTest, TheLongestKeyNameFitsTheCaptureBoxAt96And144Dpi) {
  open();
  menu("mnuHotkeys");
  keyDown("qvHotKey1", VK_F12, 7);
  const HWND box = control("qvHotKey1");
  ASSERT_EQ(windowText(box), "CTRL+SHIFT+ALT+F12");
  for (const int dpi : {96, 144}) {
    RECT suggested{40, 30, 40 + 700, 30 + 500};
    SendMessageW(window_->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    const HDC dc = GetDC(box);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, L"CTRL+SHIFT+ALT+F12", 18, &text);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    const auto margins = static_cast<DWORD>(SendMessageW(box, EM_GETMARGINS, 0, 0));
    RECT client;
    GetClientRect(box, &client);
    EXPECT_LE(LOWORD(margins) + text.cx + HIWORD(margins), client.right)
        << dpi << " dpi: text " << text.cx << ", margins " << LOWORD(margins) << " + "
        << HIWORD(margins) << ", client " << client.right;
    // Nothing scrolled out of sight at the start either.
    const auto first = static_cast<DWORD>(SendMessageW(box, EM_POSFROMCHAR, 0, 0));
    EXPECT_GE(static_cast<short>(LOWORD(first)), 0) << dpi << " dpi";
  }
}

TEST_F(MainWindowTest, MenuFollowsTheTable) {
  open();
  // Linux's own entries are not in Windows' menu.
  std::vector<ui::MenuEntryLayout> entries;
  for (const ui::MenuEntryLayout& entry : ui::mainWindowLayout().menu) {
    if (!entry.linuxOnly) entries.push_back(entry);
  }
  ASSERT_EQ(GetMenuItemCount(window_->menu()), static_cast<int>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    wchar_t caption[64]{};
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = caption;
    item.cch = 64;
    ASSERT_TRUE(GetMenuItemInfoW(window_->menu(), static_cast<UINT>(i), TRUE, &item));
    if (entries[i].caption == "-") {
      EXPECT_TRUE(item.fType & MFT_SEPARATOR) << i;
    } else {
      EXPECT_EQ(platform::win32::narrow(caption), entries[i].caption);
      EXPECT_EQ(item.wID, window_->menuId(entries[i].name));
    }
  }
}

TEST_F(MainWindowTest, MenuShowsOnePanelAtATimeWithItsCheckMark) {
  open();
  const HWND frame1 = control("Frame1"), frame2 = control("Frame2");
  const HWND save = control("Command2");
  EXPECT_FALSE(IsWindowVisible(frame1) || IsWindowVisible(frame2) || IsWindowVisible(save));
  menu("mnuHotkeys");
  EXPECT_TRUE(checked("mnuHotkeys"));
  EXPECT_TRUE(IsWindowVisible(frame1) && IsWindowVisible(save));
  menu("mnuPosition");
  EXPECT_TRUE(checked("mnuPosition"));
  EXPECT_FALSE(checked("mnuHotkeys"));
  EXPECT_FALSE(IsWindowVisible(frame1) || IsWindowVisible(save));
  EXPECT_TRUE(IsWindowVisible(frame2) && IsWindowVisible(control("txtY")));
  menu("mnuPosition");
  EXPECT_FALSE(checked("mnuPosition") || IsWindowVisible(frame2));
}

TEST_F(MainWindowTest, OverlayWindowEntryStartsAsStoredAndSavesEachChoice) {
  open("[rect]\r\nwindow=1\r\n");
  EXPECT_TRUE(checked("mnuOverlayWindow"));
  for (const bool on : {false, true}) {
    menu("mnuOverlayWindow");
    EXPECT_EQ(checked("mnuOverlayWindow"), on);
    std::ifstream in(folder_ / "Tollivane.ini", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(on ? "window=1" : "window=0"), std::string::npos) << text;
  }
}

TEST_F(MainWindowTest, TabFollowsTheTablesFocusOrderThroughTheShownPanel) {
  open();
  const auto order = [this](std::string_view panelEntry, std::initializer_list<const char*> names) {
    menu(panelEntry);
    std::vector<std::string> listed;
    for (const char* name : names) listed.push_back(name);
    for (std::size_t i = 0; i < listed.size(); ++i) {
      const HWND next = GetNextDlgTabItem(window_->handle(), control(listed[i]), FALSE);
      EXPECT_EQ(next, control(listed[(i + 1) % listed.size()])) << "after " << listed[i];
    }
    menu(panelEntry);
  };
  order("mnuHotkeys", {"Command2", "Command1", "qvHotKey3", "qvHotKey2", "qvHotKey1"});
  order("mnuPosition", {"txtX", "txtY", "Command3", "Command4"});
}

TEST_F(MainWindowTest, CaptureBoxTakesEveryKeyAndRefusesText) {
  open();
  menu("mnuHotkeys");
  const HWND box = control("qvHotKey1");
  EXPECT_EQ(SendMessageW(box, WM_GETDLGCODE, VK_TAB, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
  const struct {
    WPARAM key;
    int mask;
    const char* text;
  } presses[] = {
      // Keys the dialog manager or the menu would take reach the box (Tab and Enter have
      // no name of their own, so only their modifiers show; Backspace clears).
      {VK_F8, 0, "F8"},       {VK_F10, 4, "ALT+F10"}, {'K', 3, "CTRL+SHIFT+K"},
      {VK_ESCAPE, 0, "Esc"},  {VK_TAB, 0, ""},        {VK_F8, 0, "F8"},
      {VK_RETURN, 2, "CTRL"}, {VK_BACK, 0, ""},       {VK_F9, 0, "F9"},
  };
  for (const auto& press : presses) {
    keyDown("qvHotKey1", press.key, press.mask);
    EXPECT_EQ(windowText(box), press.text) << press.key;
  }
  // Typed, pasted and cleared text never changes it.
  for (const UINT message : {WM_CHAR, WM_PASTE, WM_CLEAR, WM_CUT, WM_UNDO}) {
    SendMessageW(box, message, 'x', 0);
    EXPECT_EQ(windowText(box), "F9") << message;
  }
  // The box tells the core of its focus, for the pads; the pad binding shows after the keys.
  SendMessageW(box, WM_SETFOCUS, 0, 0);
  EXPECT_EQ(window_->form().focusedCapture(), &window_->form().qvHotKey1());
  SendMessageW(box, WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(window_->form().focusedCapture(), nullptr);
  window_->form().qvHotKey1().qvSetPadButtons(0x1020);
  EXPECT_EQ(windowText(box), "F9 \xC2\xB7 Pad View+A");
}

TEST_F(MainWindowTest, SavingKeysWritesTheSameBytesAsEveryOtherBuild) {
  open();
  menu("mnuHotkeys");
  keyDown("qvHotKey1", 116, 6);
  keyDown("qvHotKey2", 36, 5);
  keyDown("qvHotKey3", 186, 2);
  SendMessageW(control("Command2"), BM_CLICK, 0, 0);
  std::ifstream saved(folder_ / "Tollivane.ini", std::ios::binary);
  std::ostringstream bytes;
  bytes << saved.rdbuf();
  // What the scenario of the same keys expects of the simulation, which every build runs.
  std::ifstream scenario(TOLLIVANE_SCENARIOS "/editor_save_keys.expected", std::ios::binary);
  std::ostringstream expected;
  expected << scenario.rdbuf();
  const std::string all = expected.str();
  const auto start = all.find("[main]");
  const auto end = all.find("IsRunning", start);
  ASSERT_NE(start, std::string::npos);
  EXPECT_EQ(bytes.str(), all.substr(start, end - start));
}

TEST_F(MainWindowTest, AboutIsModalToTheMainWindowWhoseTimersKeepTicking) {
  open();
  struct Probe {
    HWND main;
    const std::int16_t* running;
    bool sawModal = false;
    int ticks = 0;
  };
  static Probe probe;
  probe = Probe{window_->handle(), &window_->form().record().IsRunning};
  // Runs inside the About window's loop: looks, holds F5 until the poller has seen it (or ten
  // seconds have gone by), then presses Esc. The key repeats while held, as a keyboard's does:
  // under load, Wine sometimes never shows a single injected press to the poller.
  SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
    HWND about = FindWindowW(nullptr, L"About Tollivane");
    if (about == nullptr) return;
    ++probe.ticks;
    if (probe.ticks == 1)
      probe.sawModal = GetWindow(about, GW_OWNER) == probe.main && !IsWindowEnabled(probe.main);
    if (*probe.running == 0 && probe.ticks <= 100) {
      INPUT press{};
      press.type = INPUT_KEYBOARD;
      press.ki.wVk = VK_F5;
      SendInput(1, &press, sizeof press);
    } else {
      INPUT release{};
      release.type = INPUT_KEYBOARD;
      release.ki.wVk = VK_F5;
      release.ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(1, &release, sizeof release);
      KillTimer(nullptr, id);
      // Esc, through the window's own loop: OK is its cancel button too.
      PostMessageW(GetDlgItem(about, 100), WM_KEYDOWN, VK_ESCAPE, 0);
    }
  });
  menu("mnuAbout");  // returns when the window has closed
  EXPECT_TRUE(probe.sawModal);
  EXPECT_EQ(FindWindowW(nullptr, L"About Tollivane"), nullptr);
  EXPECT_TRUE(IsWindowEnabled(window_->handle()));
  EXPECT_NE(window_->form().record().IsRunning, 0) << "Timer1 ran while About was open";
  EXPECT_EQ(exitCode_, -1);
}

TEST_F(MainWindowTest, AnUncaughtRunTimeErrorIsReportedAndEndsWithCodeOne) {
  open();
  static std::string reported;
  reported.clear();
  // Reads the critical box from inside its own loop and closes it.
  SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
    HWND box = FindWindowW(L"#32770", L"Tollivane");
    if (box == nullptr) return;
    KillTimer(nullptr, id);
    reported = windowText(GetDlgItem(box, 0xFFFF));
    SendMessageW(box, WM_COMMAND, IDOK, 0);
  });
  window_->events().run([] { throw RuntimeError(kErrOverflow, "Overflow"); });
  EXPECT_EQ(reported, "Run-time error '6':\r\n\r\nOverflow");
  EXPECT_EQ(exitCode_, 1);
  EXPECT_TRUE(shell_.ended());
  // Nothing runs afterwards: not even a click.
  menu("mnuHotkeys");
  EXPECT_FALSE(checked("mnuHotkeys"));
}

}  // namespace
}  // namespace tollivane::frontend::win32
