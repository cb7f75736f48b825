// A private Xvfb for one test: started on a free display number, stopped at the end.
#pragma once

#include <sys/types.h>

#include <string>

namespace tollivane::x11test {

class Xvfb {
 public:
  // Throws std::runtime_error when the server does not come up. `screen`: WIDTHxHEIGHTxDEPTH.
  explicit Xvfb(const std::string& screen = "1024x768x24");
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  const std::string& display() const { return name; }  // ":N"
  pid_t pid() const { return serverPid; }
  void kill();

 private:
  pid_t serverPid = -1;
  std::string name;
};

}  // namespace tollivane::x11test
