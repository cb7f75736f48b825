// The desktop's shortcuts through the xdg-desktop-portal's GlobalShortcuts interface, on the
// session bus: the hotkeys bound as the desktop's own, so that they reach Tollivane while a
// native Wayland window has the keyboard. Each one's activation holds its binding down in the key
// state beside the keyboard's until its deactivation.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/combined_keys.hpp"
#include "platform/platform.hpp"

class QDBusPendingCallWatcher;

namespace tollivane::frontend::qt {

// The portal's name of a binding's keys, such as "CTRL+SHIFT+F5"; empty for a key it cannot name.
std::string portalTrigger(std::int16_t code, std::int16_t mask);

class PortalShortcuts final : public QObject, public platform::DesktopShortcuts {
  Q_OBJECT
 public:
  // Says why the shortcuts are not in use, or an empty text once they are or are off.
  using Report = std::function<void(const std::string&)>;
  // `appId`: the name of the desktop entry, which portals outside a sandbox must be told first.
  // The session bus is reached for only once they are first asked for.
  PortalShortcuts(platform::CombinedKeys& keys, QString appId, Report report);
  ~PortalShortcuts() override;

  void useDesktopShortcuts(bool on, const std::array<std::int16_t, 3>& codes,
                           const std::array<std::int16_t, 3>& shifts) override;
  // Whether the desktop has bound all three and passes them on now.
  bool bound() const { return step_ == Step::Bound; }

 private slots:
  void onResponse(const QDBusMessage& message);
  void onActivated(const QDBusMessage& message);
  void onDeactivated(const QDBusMessage& message);
  void onClosed(const QDBusMessage& message);

 private:
  enum class Step { Off, Asking, Session, Binding, Bound };
  void listen();
  void start();
  void createSession();
  void bind();
  void fail(const std::string& why);
  void closeSession();
  void forgetRequest();
  bool fromPortal(const QDBusMessage& message) const;
  void releaseAll();
  QString requestPath(const QString& token) const;
  void expectResponse(const QString& path);
  void answeredAt(const QDBusMessage& reply, const QString& expected);
  void hold(const QDBusMessage& message, bool down);
  void watch(QDBusPendingCallWatcher* call, std::function<void(const QDBusMessage&)> done);

  platform::CombinedKeys& keys_;
  QString appId_;
  Report report_;
  QDBusConnection bus_;
  bool listening_ = false;
  bool wanted_ = false;  // asked for on: bound again whenever a portal comes
  QString owner_;        // the unique name that owned the portal's name when asked
  Step step_ = Step::Off;
  std::array<std::int16_t, 3> codes_{};
  std::array<std::int16_t, 3> shifts_{};
  std::array<std::int16_t, 3> boundCodes_{};  // as the desktop was asked, for the key state
  std::array<std::int16_t, 3> boundShifts_{};
  QString session_;
  QString pendingRequest_;
  unsigned requests_ = 0;
  unsigned generation_ = 0;  // answers to an earlier start are dropped
};

}  // namespace tollivane::frontend::qt
