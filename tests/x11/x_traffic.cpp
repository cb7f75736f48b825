#include "x_traffic.hpp"

#include <X11/extensions/XRes.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tollivane::x11test {

XTraffic::XTraffic(const std::string& displayName, const std::vector<XID>& clients)
    : control(XOpenDisplay(displayName.c_str())), data(XOpenDisplay(displayName.c_str())) {
  if (!control || !data) throw std::runtime_error("cannot open display " + displayName);
  XRecordRange* range = XRecordAllocRange();
  range->core_requests = {1, 127};
  range->core_replies = {1, 127};
  range->ext_replies = {{128, 255}, {0, 255}};
  std::vector<XRecordClientSpec> recorded(clients.begin(), clients.end());
  context = XRecordCreateContext(control, 0, recorded.data(), static_cast<int>(recorded.size()),
                                 &range, 1);
  XFree(range);
  XSync(control, False);
  if (!context) throw std::runtime_error("the server cannot record");
  reader = std::thread(
      [this] { XRecordEnableContext(data, context, intercept, reinterpret_cast<XPointer>(this)); });
  // A recording disabled before it started would never end.
  std::unique_lock hold(lock);
  changed.wait(hold, [this] { return started; });
}

XTraffic::~XTraffic() {
  finish();
  XRecordFreeContext(control, context);
  XCloseDisplay(data);
  XCloseDisplay(control);
}

void XTraffic::intercept(XPointer self, XRecordInterceptData* data) {
  auto& traffic = *reinterpret_cast<XTraffic*>(self);
  if (data->category == XRecordStartOfData) {
    std::lock_guard hold(traffic.lock);
    traffic.started = true;
    traffic.changed.notify_all();
  } else if (data->data_len > 0) {
    const unsigned char first = data->data[0];
    std::lock_guard hold(traffic.lock);
    // 1: a reply, not an event or an error.
    if (data->category == XRecordFromServer && first == 1) ++traffic.counted.replies;
    if (data->category == XRecordFromClient) ++traffic.counted.requests[first];
  }
  XRecordFreeData(data);
}

Traffic XTraffic::finish() {
  if (reader.joinable()) {
    // The server keeps what it records until its buffer fills or the recording ends.
    XRecordDisableContext(control, context);
    XSync(control, False);
    reader.join();
  }
  std::lock_guard hold(lock);
  return counted;
}

std::vector<XID> clientsOf(Display* display, pid_t pid) {
  XResClientIdSpec all{0, XRES_CLIENT_ID_PID_MASK};
  long count = 0;
  XResClientIdValue* values = nullptr;
  std::vector<XID> clients;
  if (XResQueryClientIds(display, 1, &all, &count, &values) != Success) return clients;
  for (long i = 0; i < count; ++i) {
    const auto& [id, length, value] = values[i];
    if (XResGetClientPid(&values[i]) == pid) clients.push_back(id.client);
  }
  XResClientIdsDestroy(count, values);
  return clients;
}

long voluntarySwitches(pid_t pid) {
  long total = 0;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream status(task.path() / "status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::stol(line.substr(24));
    }
  }
  return total;
}

}  // namespace tollivane::x11test
