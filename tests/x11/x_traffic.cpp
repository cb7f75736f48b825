#include "x_traffic.hpp"

#include <X11/Xproto.h>
#include <X11/extensions/XRes.h>

#include <algorithm>
#include <chrono>

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
  // A resource names the client that made it.
  controlBase = XCreatePixmap(control, DefaultRootWindow(control), 1, 1, 1);
  recorded.push_back(controlBase);
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
    const bool mark = (data->id_base & ~XID{0x1FFFFF}) == (traffic.controlBase & ~XID{0x1FFFFF});
    std::lock_guard hold(traffic.lock);
    if (mark) {
      if (data->category == XRecordFromClient && first == X_NoOperation) {
        traffic.log.push_back({Recorded::Mark, {}});
        traffic.changed.notify_all();
      }
    } else {
      // 1: a reply, not an event or an error.
      if (data->category == XRecordFromServer && first == 1) ++traffic.counted.replies;
      if (data->category == XRecordFromClient) ++traffic.counted.requests[first];
      if (data->category == XRecordFromClient && first == X_QueryKeymap) {
        traffic.log.push_back({Recorded::KeyboardRead, {}});
      }
      // ImageText8: the string's length in the second byte, the string after 16 bytes.
      if (data->category == XRecordFromClient && first == X_ImageText8 &&
          data->data_len * 4 >= 16u + data->data[1]) {
        const auto* text = reinterpret_cast<const char*>(data->data) + 16;
        traffic.log.push_back({Recorded::Text, std::string(text, data->data[1])});
      }
    }
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

std::size_t XTraffic::mark() {
  std::unique_lock hold(lock);
  const auto marks = [this] {
    return std::count_if(log.begin(), log.end(),
                         [](const Recorded& r) { return r.kind == Recorded::Mark; });
  };
  const auto before = marks();
  hold.unlock();
  XNoOp(control);
  XSync(control, False);
  hold.lock();
  // The server passes on what it recorded when it next sends a client anything: here, the
  // reply to the sync.
  if (!changed.wait_for(hold, std::chrono::seconds(60), [&] { return marks() > before; })) {
    throw std::runtime_error("the record does not come");
  }
  std::size_t at = log.size();
  while (log[at - 1].kind != Recorded::Mark) --at;
  return at;
}

std::vector<std::string> XTraffic::textsSince(std::size_t from) {
  mark();
  std::lock_guard hold(lock);
  std::vector<std::string> texts;
  for (std::size_t i = from; i < log.size(); ++i) {
    if (log[i].kind == Recorded::Text) texts.push_back(log[i].text);
  }
  return texts;
}

long XTraffic::keyboardReadsSince(std::size_t from) {
  mark();
  std::lock_guard hold(lock);
  return std::count_if(log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())),
                       log.end(),
                       [](const Recorded& r) { return r.kind == Recorded::KeyboardRead; });
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
