// What both ends of the single-instance channel say: an abstract Unix packet socket under a
// name, one packet each way. Anything else under the name is not a Tollivane.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tollivane::platform::posix {

inline constexpr std::string_view kShowRequest = "tollivane: show your window\n";
inline constexpr std::string_view kShownAnswer = "tollivane: shown\n";
// A command is its word between these; it is answered with one of the two below.
inline constexpr std::string_view kCommandStart = "tollivane: do ";
inline constexpr std::string_view kCommandEnd = "\n";
inline constexpr std::string_view kTakenAnswer = "tollivane: taken\n";
inline constexpr std::string_view kRefusedAnswer = "tollivane: refused\n";
// The longest packet either way that is read whole.
inline constexpr std::size_t kLongestPacket = 64;

// Anyone may bind any abstract name: where another user's program, or one that is no socket of
// ours, holds a name, the next of a few is tried, by every start and command alike.
inline constexpr int kInstanceNames = 4;
std::string instanceNameAt(const std::string& name, int step);

struct ChannelAddress {
  sockaddr_un socket{};
  socklen_t length = 0;
};
ChannelAddress channelAddress(const std::string& name);

// Whether the process at the other end of `fd` runs as this one's user.
bool peerIsUs(int fd);

}  // namespace tollivane::platform::posix
