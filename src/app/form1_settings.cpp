// Start-up from the settings file and the two editors' commands.
#include <array>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.hpp"
#include "common/runtime_error.hpp"
#include "common/values.hpp"
#include "platform/overlay_choices.hpp"
#include "settings/profile.hpp"
#include "settings/settings_keys.hpp"
#include "stopwatch/overlay_renderer.hpp"

namespace tollivane::app {
namespace {

// The largest position whose 75 x 14 rectangle still fits in 16 bits.
constexpr std::int16_t kMaxStoredX = 32767 - stopwatch::kOverlayWidth;
constexpr std::int16_t kMaxStoredY = 32767 - stopwatch::kOverlayHeight;

struct StoredSetting {
  const settings::SettingKey& key;
  std::int16_t min;
  std::int16_t max;
  std::int16_t& value;  // where the setting goes
};

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A save that fails tells the user why, and the program goes on.
template <class Save>
void reportingFailures(WindowShell& shell, Save&& save) {
  try {
    save();
  } catch (const RuntimeError& e) {
    shell.messageBox(e.description(), MessageIcon::None, kAppTitle);
  } catch (const std::bad_alloc&) {
    shell.messageBox(kOutOfMemoryText, MessageIcon::None, kAppTitle);
  }
}

}  // namespace

void Form1::Form_Load() {
  platform::Files& files = p_.files;
  const std::string path = files.settingsFile(settings::kSettingsFileName);
  if (path.empty()) {
    // Never the current folder instead: that may hold someone else's file.
    loadNotice_ =
        "The program's folder cannot be found.\r\nThe built-in settings are used, "
        "and settings cannot be saved.";
  }
  r_.SettingsPath = path;

  std::array<std::int16_t, 3> codes{};
  std::array<std::int16_t, 3> shifts{};
  std::int16_t posX = 0;
  std::int16_t posY = 0;
  std::int16_t overlayWindow = 0;
  std::int16_t scaleToGame = 0;
  std::int16_t desktopShortcuts = 0;
  constexpr std::int16_t kMin = -32768;
  // In the order they are read, which is the order any notice lists them in.
  const StoredSetting stored[] = {
      {settings::kHotKey1, kMin, 32767, codes[0]},
      {settings::kHotKey2, kMin, 32767, codes[1]},
      {settings::kHotKey3, kMin, 32767, codes[2]},
      {settings::kHotShift1, kMin, 32767, shifts[0]},
      {settings::kHotShift2, kMin, 32767, shifts[1]},
      {settings::kHotShift3, kMin, 32767, shifts[2]},
      {settings::kPosX, kMin, kMaxStoredX, posX},
      {settings::kPosY, kMin, kMaxStoredY, posY},
      {settings::kOverlayWindow, 0, 1, overlayWindow},
      {settings::kScaleToGame, 0, 1, scaleToGame},
      {settings::kDesktopShortcuts, 0, 1, desktopShortcuts},
  };
  for (const StoredSetting& setting : stored) setting.value = setting.key.fallback;
  std::array<pad::PadButtons, 3> pads{};

  if (!path.empty() && files.fileExists(path)) {
    const std::optional<std::string> text = files.readFile(path);
    if (!text) {
      loadNotice_ = path + " could not be read.\r\nThe built-in settings are used.";
    }
    std::vector<settings::ProfileKey> keys;
    for (const StoredSetting& s : stored) keys.push_back({s.key.section, s.key.key});
    for (const settings::SettingKey& k : settings::kPadBindings) keys.push_back({k.section, k.key});
    const auto found =
        text ? settings::storedValues(*text, keys) : std::vector<std::optional<std::string>>();
    std::string unusable;
    const auto unusableValue = [&](const settings::SettingKey& key, const std::string& value) {
      unusable += "\r\n[" + std::string(key.section) + "] " + std::string(key.key) + " = " +
                  quoted(value) + ": " + integerText(key.fallback) + " used instead";
    };
    for (std::size_t i = 0; i < found.size() && i < std::size(stored); ++i) {
      const StoredSetting& setting = stored[i];
      const settings::SettingKey& key = setting.key;
      const std::optional<std::string>& value = found[i];
      // A setting missing from the file keeps its built-in value.
      if (!value) continue;
      try {
        const std::int16_t v = roundToInt16(numericTextValue(*value));
        if (v < setting.min || v > setting.max) raiseOverflow();
        setting.value = v;
      } catch (const RuntimeError&) {
        unusableValue(key, *value);
      }
    }
    for (std::size_t i = std::size(stored); i < found.size(); ++i) {
      const std::size_t slot = i - std::size(stored);
      if (!found[i]) continue;
      try {
        // Kept as stored, bits no pad has included: such a binding never fires, and a save
        // writes it back unchanged.
        pads[slot] = static_cast<pad::PadButtons>(roundToInt32(numericTextValue(*found[i])));
      } catch (const RuntimeError&) {
        unusableValue(settings::kPadBindings[slot], *found[i]);
      }
    }
    if (!unusable.empty()) {
      loadNotice_ = "Some settings in " + path + " are out of range:" + unusable +
                    "\r\nThe file has not been changed.";
    }
  }
  r_.PosX = posX;
  r_.PosY = posY;
  r_.OverlayWindow = overlayWindow != 0;
  p_.overlay.setOwnWindow(r_.OverlayWindow);
  c_.mnuOverlayWindow.setChecked(r_.OverlayWindow);
  r_.ScaleToGame = scaleToGame != 0;
  p_.overlay.setScaleToGame(r_.ScaleToGame);
  c_.mnuScaleToGame.setChecked(r_.ScaleToGame);
  r_.DesktopShortcuts = desktopShortcuts != 0;
  c_.mnuDesktopShortcuts.setChecked(r_.DesktopShortcuts);

  fun_UpdatePos();
  qvHotKey1_.qvSetPadButtons(pads[0]);
  qvHotKey2_.qvSetPadButtons(pads[1]);
  qvHotKey3_.qvSetPadButtons(pads[2]);
  qvHotKey1_.qvSetHotKey(codes[0], shifts[0]);
  qvHotKey2_.qvSetHotKey(codes[1], shifts[1]);
  qvHotKey3_.qvSetHotKey(codes[2], shifts[2]);
  c_.txtX.setText(integerText(r_.PosX));
  c_.txtY.setText(integerText(r_.PosY));
  c_.Timer1.setInterval(200);
  c_.Timer1.setEnabled(true);
  c_.Timer2.setInterval(100);
  c_.Timer2.setEnabled(false);
  fun_FillArrays();
  r_.IsRunning = kFalse;
  shell_.hotkeysInUse(r_.HotKeyCodes, r_.HotKeyShifts);
  if (r_.DesktopShortcuts) useDesktopShortcuts();
}

void Form1::Form_Shown() {
  if (loadNotice_.empty()) return;
  const std::string notice = std::move(loadNotice_);
  loadNotice_.clear();
  shell_.messageBox(notice, MessageIcon::None, kAppTitle);
}

void Form1::Command1_Click() {
  qvHotKey1_.qvSetHotKey(settings::kHotKey1.fallback, settings::kHotShift1.fallback);
  qvHotKey2_.qvSetHotKey(settings::kHotKey2.fallback, settings::kHotShift2.fallback);
  qvHotKey3_.qvSetHotKey(settings::kHotKey3.fallback, settings::kHotShift3.fallback);
  qvHotKey1_.qvSetPadButtons(0);
  qvHotKey2_.qvSetPadButtons(0);
  qvHotKey3_.qvSetPadButtons(0);
}

void Form1::Command2_Click() {
  reportingFailures(shell_, [&] {
    const controls::qvHotKey* const boxes[] = {&qvHotKey1_, &qvHotKey2_, &qvHotKey3_};
    // The entries view these texts.
    std::array<std::string, 2 * settings::kHotKeyCodes.size()> texts;
    std::array<settings::ProfileEntry, 2 * settings::kHotKeyCodes.size()> writes;
    std::array<std::string, settings::kPadBindings.size()> padTexts;
    std::array<settings::ProfileEntry, settings::kPadBindings.size()> padWrites;
    bool anyPad = false;
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
      texts[2 * i] = integerText(boxes[i]->qvGetHotKeyCode());
      texts[2 * i + 1] = integerText(boxes[i]->qvGetHotKeyShift());
      writes[2 * i] = {settings::kHotKeyCodes[i].key, texts[2 * i]};
      writes[2 * i + 1] = {settings::kHotKeyShifts[i].key, texts[2 * i + 1]};
      const pad::PadButtons padBinding = boxes[i]->qvGetPadButtons();
      anyPad = anyPad || padBinding != 0;
      // As read: a stored negative number goes back as it came.
      padTexts[i] = integerText(static_cast<std::int32_t>(padBinding));
      padWrites[i] = {settings::kPadBindings[i].key, padTexts[i]};
    }
    // Without pad bindings a file that never had them stays as copies without pads write it.
    const settings::ProfileSectionWrite sections[] = {
        {settings::kHotKey1.section, writes},
        {settings::kPad1.section, padWrites, anyPad},
    };
    settings::writeProfileSections(p_.files, sections, r_.SettingsPath);
    fun_FillArrays();
    shell_.hotkeysInUse(r_.HotKeyCodes, r_.HotKeyShifts);
    if (r_.DesktopShortcuts) useDesktopShortcuts();
  });
}

void Form1::Command3_Click() {
  c_.txtX.setText(integerText(settings::kPosX.fallback));
  c_.txtY.setText(integerText(settings::kPosY.fallback));
  r_.PosX = settings::kPosX.fallback;
  r_.PosY = settings::kPosY.fallback;
  fun_UpdatePos();
}

void Form1::Command4_Click() {
  reportingFailures(shell_, [&] {
    // Both checked before anything is written, on the value as typed (not yet rounded).
    const float x = static_cast<float>(numericTextValue(c_.txtX.text()));
    if (!(x >= 0.0f && x <= 640.0f)) {
      shell_.messageBox("X = {0; 640}\r\nNot saved.", MessageIcon::None, kAppTitle);
      return;
    }
    const float y = static_cast<float>(numericTextValue(c_.txtY.text()));
    if (!(y >= 0.0f && y <= 480.0f)) {
      shell_.messageBox("Y = {0; 480}\r\nNot saved.", MessageIcon::None, kAppTitle);
      return;
    }
    const std::int16_t newX = roundToInt16(x);
    const std::int16_t newY = roundToInt16(y);
    const std::string textX = integerText(newX);
    const std::string textY = integerText(newY);
    const settings::ProfileEntry writes[] = {{settings::kPosX.key, textX},
                                             {settings::kPosY.key, textY}};
    settings::writeProfileValues(p_.files, settings::kPosX.section, writes, r_.SettingsPath);
    r_.PosX = newX;
    r_.PosY = newY;
    fun_UpdatePos();
  });
}

// Takes effect with the next frame even when it cannot be saved: the user sees the change, and
// the message says it will not outlast this run.
void Form1::toggleSetting(bool& value, MenuEntry& entry, const settings::SettingKey& key,
                          const std::function<void(bool)>& apply) {
  value = !value;
  entry.setChecked(value);
  apply(value);
  reportingFailures(shell_, [&] {
    settings::writeProfileValue(p_.files, key.section, key.key, integerText(value ? 1 : 0),
                                r_.SettingsPath);
  });
}

void Form1::mnuOverlayWindow_Click() {
  toggleSetting(r_.OverlayWindow, c_.mnuOverlayWindow, settings::kOverlayWindow,
                [this](bool on) { p_.overlay.setOwnWindow(on); });
}

void Form1::mnuScaleToGame_Click() {
  toggleSetting(r_.ScaleToGame, c_.mnuScaleToGame, settings::kScaleToGame,
                [this](bool on) { p_.overlay.setScaleToGame(on); });
}

void Form1::mnuDesktopShortcuts_Click() {
  toggleSetting(r_.DesktopShortcuts, c_.mnuDesktopShortcuts, settings::kDesktopShortcuts,
                [this](bool) { useDesktopShortcuts(); });
}

void Form1::useDesktopShortcuts() {
  p_.shortcuts.useDesktopShortcuts(r_.DesktopShortcuts, r_.HotKeyCodes, r_.HotKeyShifts);
}

}  // namespace tollivane::app
