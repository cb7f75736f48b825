#include "frontend/qt/portal_shortcuts.hpp"

#include <X11/Xlib.h>

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QList>
#include <QVariantMap>
#include <optional>
#include <utility>

#include "common/virtual_keys.hpp"
#include "platform/x11/vk_keysyms.hpp"

namespace tollivane::frontend::qt {
namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcutsIface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
constexpr const char* kIds[] = {"start", "pause", "stop"};
constexpr const char* kDescriptions[] = {"Start", "Pause or resume", "Stop"};

struct PortalShortcut {
  QString id;
  QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcut& s) {
  out.beginStructure();
  out << s.id << s.properties;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcut& s) {
  in.beginStructure();
  in >> s.id >> s.properties;
  in.endStructure();
  return in;
}

const QString kRequestIface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionIface = QStringLiteral("org.freedesktop.portal.Session");

QDBusMessage portalCall(const QString& iface, const QString& method) {
  return QDBusMessage::createMethodCall(kPortal, kPortalPath, iface, method);
}

// Whether `value`, as a message's argument, is D-Bus data of exactly `signature`: anything on
// the bus may send anything, and decoding data of another type crashes.
bool carries(const QVariant& value, const char* signature) {
  return value.metaType() == QMetaType::fromType<QDBusArgument>() &&
         value.value<QDBusArgument>().currentSignature() == QLatin1String(signature);
}

// The a{sv} entry `key` of `map`, when it is D-Bus data of exactly `signature`.
std::optional<QDBusArgument> entry(const QVariantMap& map, const QString& key,
                                   const char* signature) {
  const QVariant value = map.value(key);
  if (!carries(value, signature)) return std::nullopt;
  return value.value<QDBusArgument>();
}

}  // namespace
}  // namespace tollivane::frontend::qt

Q_DECLARE_METATYPE(tollivane::frontend::qt::PortalShortcut)

namespace tollivane::frontend::qt {

std::string portalTrigger(std::int16_t code, std::int16_t mask) {
  const auto keysyms = platform::x11::keysymsForVirtualKey(code);
  const char* key = keysyms.empty() ? nullptr : XKeysymToString(keysyms.front());
  if (key == nullptr || mask < 0 || mask > vk::kAllModifiers) return {};
  std::string trigger;
  if (mask & vk::kControlBit) trigger += "CTRL+";
  if (mask & vk::kAltBit) trigger += "ALT+";
  if (mask & vk::kShiftBit) trigger += "SHIFT+";
  return trigger + key;
}

PortalShortcuts::PortalShortcuts(platform::CombinedKeys& keys, QString appId, Report report)
    : keys_(keys),
      appId_(std::move(appId)),
      report_(std::move(report)),
      bus_(QStringLiteral("tollivane-no-bus")) {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
}

void PortalShortcuts::listen() {
  // Not before they are asked for: reaching for a session bus may start one.
  if (listening_) return;
  listening_ = true;
  bus_ = QDBusConnection::sessionBus();
  if (!bus_.isConnected()) return;
  // Only what the portal sends counts; each handler checks the sender's unique name as well.
  bus_.connect(kPortal, kPortalPath, kShortcutsIface, QStringLiteral("Activated"), this,
               SLOT(onActivated(QDBusMessage)));
  bus_.connect(kPortal, kPortalPath, kShortcutsIface, QStringLiteral("Deactivated"), this,
               SLOT(onDeactivated(QDBusMessage)));
  auto* watcher =
      new QDBusServiceWatcher(kPortal, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
          [this](const QString&, const QString&, const QString& newOwner) {
            if (!wanted_) return;
            if (newOwner.isEmpty()) {
              // Its sessions went with it; a key held through it must not stay down.
              session_.clear();
              return fail("the desktop's portal has gone");
            }
            // Back, or another one: the shortcuts are asked of it as they were of the last.
            session_.clear();
            fail({});
            start();
          });
}

PortalShortcuts::~PortalShortcuts() { closeSession(); }

void PortalShortcuts::useDesktopShortcuts(bool on, const std::array<std::int16_t, 3>& codes,
                                          const std::array<std::int16_t, 3>& shifts) {
  codes_ = codes;
  shifts_ = shifts;
  wanted_ = on;
  fail({});
  // A new session for each set of bindings: some desktops take one bind per session only.
  if (on) start();
}

void PortalShortcuts::start() {
  listen();
  if (!bus_.isConnected()) return fail("there is no session bus");
  step_ = Step::Asking;
  QDBusMessage version = QDBusMessage::createMethodCall(
      kPortal, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("Get"));
  version << kShortcutsIface << QStringLiteral("version");
  watch(new QDBusPendingCallWatcher(bus_.asyncCall(version), this),
        [this](const QDBusMessage& reply) {
          // Whoever answers for the portal's name now is the one whose signals count.
          owner_ = reply.service();
          if (reply.type() == QDBusMessage::ErrorMessage) {
            const QString error = reply.errorName();
            const bool noPortal = error.endsWith(QStringLiteral(".ServiceUnknown")) ||
                                  error.endsWith(QStringLiteral(".NameHasNoOwner"));
            return fail(noPortal ? "this desktop has no portal"
                                 : "this desktop's portal has no global shortcuts");
          }
          // Portals since 1.21 refuse a session to a program outside a sandbox that has not
          // said which desktop entry it is; older ones have no Registry, and that is fine.
          QDBusMessage registration = portalCall(
              QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
          registration << appId_ << QVariantMap();
          watch(new QDBusPendingCallWatcher(bus_.asyncCall(registration), this),
                [this](const QDBusMessage&) { createSession(); });
        });
}

void PortalShortcuts::createSession() {
  step_ = Step::Session;
  const QString token = QStringLiteral("tollivane%1").arg(++requests_);
  const QString expected = requestPath(token);
  expectResponse(expected);
  QDBusMessage call = portalCall(kShortcutsIface, QStringLiteral("CreateSession"));
  call << QVariantMap{{QStringLiteral("handle_token"), token},
                      {QStringLiteral("session_handle_token"), token}};
  watch(new QDBusPendingCallWatcher(bus_.asyncCall(call), this), [this, expected](
                                                                     const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ErrorMessage) {
      return fail("the desktop refused a session (" + reply.errorMessage().toStdString() + ")");
    }
    answeredAt(reply, expected);
  });
}

void PortalShortcuts::bind() {
  step_ = Step::Binding;
  boundCodes_ = codes_;
  boundShifts_ = shifts_;
  QList<PortalShortcut> shortcuts;
  for (std::size_t i = 0; i < std::size(kIds); ++i) {
    QVariantMap properties{{QStringLiteral("description"), QString::fromLatin1(kDescriptions[i])}};
    const std::string trigger = portalTrigger(codes_[i], shifts_[i]);
    if (!trigger.empty()) {
      properties.insert(QStringLiteral("preferred_trigger"), QString::fromStdString(trigger));
    }
    shortcuts.push_back({QString::fromLatin1(kIds[i]), properties});
  }
  const QString token = QStringLiteral("tollivane%1").arg(++requests_);
  const QString expected = requestPath(token);
  expectResponse(expected);
  QDBusMessage call = portalCall(kShortcutsIface, QStringLiteral("BindShortcuts"));
  call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(shortcuts)
       << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
  watch(new QDBusPendingCallWatcher(bus_.asyncCall(call), this),
        [this, expected](const QDBusMessage& reply) {
          if (reply.type() == QDBusMessage::ErrorMessage) {
            return fail("the desktop refused them (" + reply.errorMessage().toStdString() + ")");
          }
          answeredAt(reply, expected);
        });
}

void PortalShortcuts::onResponse(const QDBusMessage& message) {
  if (message.path() != pendingRequest_ || !fromPortal(message)) return;
  forgetRequest();
  const QList<QVariant> args = message.arguments();
  if (args.size() != 2 || args[0].metaType() != QMetaType::fromType<uint>() ||
      !carries(args[1], "a{sv}")) {
    return fail("the desktop's answer could not be read");
  }
  const QVariantMap results = qdbus_cast<QVariantMap>(args[1]);
  if (args[0].toUInt() != 0) return fail("the desktop said no");
  if (step_ == Step::Session) {
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    // A string by the interface's word; some portals send an object path.
    const QMetaType type = handle.metaType();
    if (type == QMetaType::fromType<QDBusObjectPath>()) {
      session_ = handle.value<QDBusObjectPath>().path();
    } else if (type == QMetaType::fromType<QString>()) {
      session_ = handle.toString();
    }
    if (session_.isEmpty()) return fail("the desktop gave no session");
    bus_.connect(owner_, session_, kSessionIface, QStringLiteral("Closed"), this,
                 SLOT(onClosed(QDBusMessage)));
    return bind();
  }
  if (step_ != Step::Binding) return;
  const std::optional<QDBusArgument> list =
      entry(results, QStringLiteral("shortcuts"), "a(sa{sv})");
  if (!list) return fail("the desktop's answer could not be read");
  const auto bound = qdbus_cast<QList<PortalShortcut>>(*list);
  if (bound.size() < static_cast<qsizetype>(std::size(kIds))) {
    // Some of them alone would take keys from the game and still leave a hotkey unseen.
    return fail("the desktop bound " + std::to_string(bound.size()) + " of the 3 hotkeys");
  }
  step_ = Step::Bound;
}

void PortalShortcuts::onActivated(const QDBusMessage& message) { hold(message, true); }

void PortalShortcuts::onDeactivated(const QDBusMessage& message) { hold(message, false); }

void PortalShortcuts::onClosed(const QDBusMessage& message) {
  if (message.path() != session_ || !fromPortal(message)) return;
  // Closed by the desktop: nothing it held stays down, and it is said.
  session_.clear();
  fail("the desktop closed them");
}

bool PortalShortcuts::fromPortal(const QDBusMessage& message) const {
  return !owner_.isEmpty() && message.service() == owner_;
}

void PortalShortcuts::hold(const QDBusMessage& message, bool down) {
  const QList<QVariant> args = message.arguments();
  if (step_ != Step::Bound || !fromPortal(message) || args.size() < 2 ||
      args[0].metaType() != QMetaType::fromType<QDBusObjectPath>() ||
      args[1].metaType() != QMetaType::fromType<QString>() ||
      args[0].value<QDBusObjectPath>().path() != session_) {
    return;
  }
  const QString id = args[1].toString();
  for (std::size_t i = 0; i < std::size(kIds); ++i) {
    if (id == QLatin1String(kIds[i])) keys_.holdShortcut(i, boundCodes_[i], boundShifts_[i], down);
  }
}

void PortalShortcuts::fail(const std::string& why) {
  closeSession();
  releaseAll();
  ++generation_;
  step_ = Step::Off;
  report_(why.empty()
              ? why
              : "Desktop shortcuts: " + why + ". The hotkeys work as they do without them.");
}

void PortalShortcuts::closeSession() {
  forgetRequest();
  if (session_.isEmpty()) return;
  bus_.disconnect(owner_, session_, kSessionIface, QStringLiteral("Closed"), this,
                  SLOT(onClosed(QDBusMessage)));
  bus_.asyncCall(
      QDBusMessage::createMethodCall(kPortal, session_, kSessionIface, QStringLiteral("Close")));
  session_.clear();
}

void PortalShortcuts::forgetRequest() {
  if (pendingRequest_.isEmpty()) return;
  bus_.disconnect(kPortal, pendingRequest_, kRequestIface, QStringLiteral("Response"), this,
                  SLOT(onResponse(QDBusMessage)));
  pendingRequest_.clear();
}

void PortalShortcuts::releaseAll() {
  for (std::size_t i = 0; i < std::size(kIds); ++i) keys_.holdShortcut(i, 0, 0, false);
}

QString PortalShortcuts::requestPath(const QString& token) const {
  // The portal's rule: the caller's unique name without its colon, dots made underscores.
  QString sender = bus_.baseService().mid(1);
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  return kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

void PortalShortcuts::expectResponse(const QString& path) {
  forgetRequest();
  pendingRequest_ = path;
  // Before the call: the answer may come before the call's own reply.
  bus_.connect(kPortal, path, kRequestIface, QStringLiteral("Response"), this,
               SLOT(onResponse(QDBusMessage)));
}

void PortalShortcuts::answeredAt(const QDBusMessage& reply, const QString& expected) {
  // Portals before 0.9 chose the request's path themselves; its answer may not have come yet.
  const QVariant handle = reply.arguments().value(0);
  if (handle.metaType() != QMetaType::fromType<QDBusObjectPath>()) return;
  const QString path = handle.value<QDBusObjectPath>().path();
  if (!path.isEmpty() && path != expected && pendingRequest_ == expected) expectResponse(path);
}

void PortalShortcuts::watch(QDBusPendingCallWatcher* call,
                            std::function<void(const QDBusMessage&)> done) {
  connect(call, &QDBusPendingCallWatcher::finished, this,
          [this, generation = generation_, done = std::move(done)](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            if (generation == generation_) done(w->reply());
          });
}

}  // namespace tollivane::frontend::qt
