// One running program per settings file on Windows, so that two never poll the same hotkeys
// and fight over the same file. The first start owns a mutex named after the settings file
// and a message-only window of the same name; a later start finds the mutex taken, asks that
// window to bring the first program's window to the front, and ends once it answers. The system
// frees both however their holder ends, so a program that was killed never blocks the next
// start; one that does not answer within kInstanceAnswerTime (hung or stopped) leaves the later
// start to run on its own. A name that another program holds is stepped past to the next of a few.
// A hotkey's command from the command line (tollivane.exe --start) goes to the same window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tollivane::platform::win32 {

class SingleInstance {
 public:
  enum class Role {
    First,    // this process runs for the file and brings `window` forward when asked
    Another,  // the running one came forward: this process should end
    Alone,    // the system refused a mutex, or the holder did not answer in time: run anyway
  };

  // `window`: the window to restore and bring to the front when a later start asks.
  SingleInstance(const std::string& settingsPath, HWND window);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Role role() const { return role_; }
  // Whether another program held the name, so that this one took or asked the next of the few
  // every start tries.
  bool stepped() const { return stepped_; }

  enum class CommandResult {
    Taken,         // the first program took the command
    Refused,       // it does not know it or cannot act on it
    NoneRunning,   // none runs with the file
    NotAnswering,  // one holds its name but did not answer in time: it never takes the command
  };
  // Hands the command `word` to the program running with `settingsPath`, never running as one.
  static CommandResult sendCommand(const std::string& settingsPath, std::string_view word);
  // What a command handed on does here: true when it was taken. Without one, none is.
  using CommandHandler = std::function<bool(std::string_view word)>;
  void setCommandHandler(CommandHandler handler) { commands_ = std::move(handler); }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l);

  Role role_ = Role::Alone;
  bool stepped_ = false;
  HANDLE mutex_ = nullptr;
  HWND listener_ = nullptr;
  HWND window_;
  CommandHandler commands_;
};

}  // namespace tollivane::platform::win32
