#include "frontend/sim/sim_text.hpp"

namespace tollivane::frontend::sim {

std::string quote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      default:
        out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace tollivane::frontend::sim
