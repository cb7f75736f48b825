// One running program per settings file, so that two never poll the same hotkeys and fight
// over the same file. The first start binds an abstract Unix socket named after the user and
// the settings file; a later start connects to that name, sends a request to show the window
// and waits a short while for the holder's acknowledgement. The kernel frees the name however
// its holder ends, so an instance that was killed leaves no stale lock behind; one that is
// stopped, or a name held by a program of ours that does not answer, costs a later start
// kInstanceAnswerTime, after which it runs on its own. A name held by another user's program is
// stepped past to the next of a few. The same channel carries a hotkey's command from the
// command line (tollivane --start) to the holder, which answers whether it took it. The name
// comes from instance_name.hpp.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/instance_answer_time.hpp"

namespace tollivane::platform::posix {

class SingleInstance {
 public:
  enum class Role {
    First,    // this process holds the name and takes requests
    Another,  // the holder acknowledged the request to show its window: this process should end
    Alone,    // the name cannot be used, or its holder did not answer in time: run anyway
  };

  enum class CommandResult {
    Taken,         // the holder took the command
    Refused,       // the holder does not know it or cannot act on it
    NoneRunning,   // nothing of ours holds the name
    NotAnswering,  // one of ours holds it but did not answer in time: it never takes the command
  };
  // Hands the command `word` (one line, no newline) to the holder of `name`, never claiming
  // the name itself.
  static CommandResult sendCommand(const std::string& name, std::string_view word,
                                   std::chrono::milliseconds answerTime = kInstanceAnswerTime);
  // What takeRequests does with a command: true when it was taken. Without one, none is.
  using CommandHandler = std::function<bool(std::string_view word)>;
  void setCommandHandler(CommandHandler handler) { commands_ = std::move(handler); }

  // Claims `name`, or asks its holder to come to the front, giving up after `answerTime`.
  explicit SingleInstance(const std::string& name,
                          std::chrono::milliseconds answerTime = kInstanceAnswerTime);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Role role() const { return role_; }
  // Whether another user's program, or one that is not ours, held the name, so that this one
  // took or asked another name of the few every start tries.
  bool stepped() const { return stepped_; }
  // First: readable when a later start may have asked for the window; otherwise -1.
  int requestsFd() const { return events_; }
  // Accepts later starts and answers every complete request, without blocking, commands
  // through the command handler; returns how many asked for the window.
  int takeRequests();

 private:
  enum class Heard { Nothing, Asked, Other };
  // Answers a connection's request or command if it has come; Nothing while it has not.
  Heard hear(int connection);
  void drop(int connection);

  Role role_ = Role::Alone;
  bool stepped_ = false;
  int socket_ = -1;
  int events_ = -1;               // epoll over the socket and the connections not yet heard
  std::vector<int> connections_;  // accepted before their request came
  CommandHandler commands_;
};

}  // namespace tollivane::platform::posix
