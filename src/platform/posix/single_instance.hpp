// One running program per settings file, so that two never poll the same hotkeys and fight
// over the same file. The first start binds an abstract Unix socket named after the user and
// the settings file's path; a later start finds it by connecting to that name, which asks the
// first to bring its window to the front, and ends. The kernel frees the name however its
// holder ends, so an instance that was killed leaves no stale lock behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace tollivane::platform::posix {

// The socket's name (without the leading NUL of the abstract namespace) for one user and
// one settings file: copies with their own settings files get names of their own.
std::string instanceName(uid_t user, std::string_view settingsPath);

class SingleInstance {
 public:
  enum class Role {
    First,    // this process holds the name and takes requests
    Another,  // the holder was asked to show its window: this process should end
    Alone,    // the name cannot be used (no sockets, or another user holds it): run anyway
  };

  // Claims `name`, or asks its holder to come to the front. A holder that has bound the name
  // but does not listen yet, or is ending, is given a second to settle.
  explicit SingleInstance(const std::string& name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Role role() const { return role_; }
  // First: readable when a later start asks for the window; otherwise -1.
  int requestsFd() const { return socket_; }
  // Takes every waiting request without blocking; returns how many there were.
  int takeRequests();

 private:
  Role role_ = Role::Alone;
  int socket_ = -1;
};

}  // namespace tollivane::platform::posix
