// The asking end of the single-instance channel: one connection, one packet, one answer awaited.
#pragma once

#include <chrono>
#include <string_view>

#include "platform/posix/instance_protocol.hpp"

namespace tollivane::platform::posix {

enum class Knock {
  Answered,  // a Tollivane of ours acknowledged the request
  Refused,   // it answered that it would not do what was asked
  Nobody,    // nothing listens under the name, yet or any more
  Silent,    // something listens but gave no acknowledgement in time
  NotOurs,   // another user's, or not a packet socket: never ours to ask
};

// Sends `request` and waits until `deadline` for `acknowledgement` or, when there is one,
// `refusal`.
Knock knock(const ChannelAddress& address, std::chrono::steady_clock::time_point deadline,
            std::string_view request, std::string_view acknowledgement,
            std::string_view refusal = {});

}  // namespace tollivane::platform::posix
