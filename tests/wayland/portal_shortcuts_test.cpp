// The desktop's shortcuts against a fake portal (fake_portal.py under python3-dbusmock) on the
// private session bus that dbus-run-session gives this test: the session, the bind and its
// triggers, the signals through the real poller, a rebind, and each way the portal can fail.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QTest>
#include <memory>
#include <optional>

#include "frontend/qt/portal_shortcuts.hpp"
#include "platform/combined_keys.hpp"
#include "platform/null_backends.hpp"
#include "stopwatch/hotkey_poller.hpp"

using tollivane::frontend::qt::PortalShortcuts;
using tollivane::platform::CombinedKeys;
using A = tollivane::stopwatch::HotkeyAction;
using Bindings = std::array<std::int16_t, 3>;

namespace {

constexpr int kDeadline = 20000;
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
constexpr Bindings kCodes{116, 117, 118};  // F5, F6, F7
constexpr Bindings kShifts{3, 0, 4};       // Ctrl+Shift, none, Alt

class FakePortal {
 public:
  explicit FakePortal(const QString& parameters) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QString::fromUtf8(qgetenv("DBUSMOCK_PYTHON")),
                   {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("-t"),
                    QString::fromUtf8(qgetenv("FAKE_PORTAL")), QStringLiteral("-p"), parameters});
    up_ = QTest::qWaitFor(
        [] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(kPortal); },
        kDeadline);
  }
  ~FakePortal() { stop(); }
  bool up() const { return up_; }
  void stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(kDeadline);
    // Its name gone from the bus before the test goes on, so that the next fake is not it.
    static_cast<void>(QTest::qWaitFor(
        [] { return !QDBusConnection::sessionBus().interface()->isServiceRegistered(kPortal); },
        kDeadline));
  }
  QList<QVariant> steer(const char* method, const QList<QVariant>& args = {}) const {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortal, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.example.FakePortal"), QString::fromLatin1(method));
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call).arguments();
  }
  QStringList binds() const { return steer("Binds").value(0).toStringList(); }
  void press(const char* id, bool down) const { steer("Press", {QString::fromLatin1(id), down}); }

 private:
  QProcess process_;
  bool up_ = false;
};

struct Adapter {
  tollivane::platform::NullKeyState keyboard;
  tollivane::platform::NullRunObserver runs;
  CombinedKeys keys{keyboard, runs};
  std::string report;
  PortalShortcuts portal{keys, QStringLiteral("org.example.tollivane"),
                         [this](const std::string& why) { report = why; }};
  A poll() { return tollivane::stopwatch::pollHotkeys(keys, kCodes, kShifts); }
  // Polls as Timer1 would until `action` fires; false if it never does.
  bool firesWithin(A action) {
    return QTest::qWaitFor([&] { return poll() == action; }, kDeadline);
  }
};

}  // namespace

class PortalShortcutsTest : public QObject {
  Q_OBJECT
 private slots:
  void bindsAndFeedsThePoller_data() {
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QString>("appId");
    QTest::newRow("version 1, no Registry") << QStringLiteral("{\"version\": 1}") << QString();
    QTest::newRow("version 2, app id registered first")
        << QStringLiteral("{\"version\": 2}") << QStringLiteral("org.example.tollivane");
  }

  void bindsAndFeedsThePoller() {
    QFETCH(QString, parameters);
    QFETCH(QString, appId);
    FakePortal fake(parameters);
    QVERIFY(fake.up());
    Adapter a;
    a.portal.useDesktopShortcuts(true, kCodes, kShifts);
    QVERIFY(QTest::qWaitFor([&] { return a.portal.bound(); }, kDeadline));
    QCOMPARE(fake.binds(), QStringList{appId + "|start=CTRL+SHIFT+F5,pause=F6,stop=ALT+F7"});
    QCOMPARE(a.report, std::string());

    // Held from Activated to Deactivated, as a key on the keyboard is.
    fake.press("start", true);
    QVERIFY(a.firesWithin(A::Start));
    QCOMPARE(a.poll(), A::Start);
    fake.press("start", false);
    QVERIFY(a.firesWithin(A::None));
    // A tap shorter than a tick still fires once; two at once fire in the poller's order.
    fake.press("stop", true);
    fake.press("pause", true);
    fake.press("stop", false);
    fake.press("pause", false);
    QVERIFY(a.firesWithin(A::Pause));
    QCOMPARE(a.poll(), A::Stop);
    QCOMPARE(a.poll(), A::None);

    // "Save keys": a new session, bound with the new keys; a key held through it is let go.
    fake.press("pause", true);
    QVERIFY(a.firesWithin(A::Pause));
    a.portal.useDesktopShortcuts(true, {65, 66, 67}, {2, 2, 2});
    QCOMPARE(a.poll(), A::None);
    QVERIFY(
        QTest::qWaitFor([&] { return fake.binds().size() == 2 && a.portal.bound(); }, kDeadline));
    QCOMPARE(fake.binds().value(1), appId + "|start=CTRL+a,pause=CTRL+b,stop=CTRL+c");

    // The portal gone mid-run: said, and nothing stays held.
    fake.press("stop", true);
    QVERIFY(QTest::qWaitFor(
        [&] {
          return tollivane::stopwatch::pollHotkeys(a.keys, {65, 66, 67}, {2, 2, 2}) == A::Stop;
        },
        kDeadline));
    fake.stop();
    QVERIFY(QTest::qWaitFor([&] { return !a.report.empty(); }, kDeadline));
    QVERIFY(a.report.find("portal has gone") != std::string::npos);
    QCOMPARE(tollivane::stopwatch::pollHotkeys(a.keys, {65, 66, 67}, {2, 2, 2}), A::None);
  }

  // Anything on the bus may send anything: only the portal's own answers and signals, for our
  // own request and session and of the right types, count; a closed session or a portal that
  // goes lets every key go, and one that comes back binds them again by itself.
  void trustsOnlyThePortal() {
    {
      FakePortal garbled(QStringLiteral("{\"garbled\": true}"));
      QVERIFY(garbled.up());
      Adapter a;
      a.portal.useDesktopShortcuts(true, kCodes, kShifts);
      QVERIFY(QTest::qWaitFor([&] { return !a.report.empty(); }, kDeadline));
      QVERIFY2(a.report.find("could not be read") != std::string::npos, a.report.c_str());
    }
    auto fake = std::make_unique<FakePortal>(QStringLiteral("{}"));
    QVERIFY(fake->up());
    Adapter a;
    a.portal.useDesktopShortcuts(true, kCodes, kShifts);
    QVERIFY(QTest::qWaitFor([&] { return a.portal.bound(); }, kDeadline));

    QDBusConnection forger =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("forger"));
    const QString session = fake->steer("Session").value(0).toString();
    const auto forge = [&](const char* signal, const char* id) {
      QDBusMessage message = QDBusMessage::createSignal(
          QStringLiteral("/org/freedesktop/portal/desktop"),
          QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QString::fromLatin1(signal));
      message << QVariant::fromValue(QDBusObjectPath(session)) << QString::fromLatin1(id)
              << QVariant::fromValue(quint64(0)) << QVariantMap();
      QVERIFY(forger.send(message));
      // Mistyped too: a text where the session's path belongs.
      QDBusMessage mistyped = QDBusMessage::createSignal(
          QStringLiteral("/org/freedesktop/portal/desktop"),
          QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QString::fromLatin1(signal));
      mistyped << session << QString::fromLatin1(id);
      QVERIFY(forger.send(mistyped));
    };
    forge("Activated", "start");
    QTest::qWait(300);
    QCOMPARE(a.poll(), A::None);
    // A forged Deactivated lets go of nothing the portal holds.
    fake->press("stop", true);
    QVERIFY(a.firesWithin(A::Stop));
    forge("Deactivated", "stop");
    QTest::qWait(300);
    QCOMPARE(a.poll(), A::Stop);

    fake->steer("Close");
    QVERIFY(QTest::qWaitFor([&] { return !a.report.empty(); }, kDeadline));
    QVERIFY2(a.report.find("closed") != std::string::npos, a.report.c_str());
    QCOMPARE(a.poll(), A::None);

    // Gone, then back: bound again with nothing toggled.
    a.portal.useDesktopShortcuts(true, kCodes, kShifts);
    QVERIFY(QTest::qWaitFor([&] { return a.portal.bound(); }, kDeadline));
    fake.reset();
    QVERIFY(QTest::qWaitFor([&] { return !a.report.empty(); }, kDeadline));
    fake = std::make_unique<FakePortal>(QStringLiteral("{}"));
    QVERIFY(fake->up());
    QVERIFY(QTest::qWaitFor([&] { return a.portal.bound(); }, kDeadline));
    QCOMPARE(a.report, std::string());
    fake->press("pause", true);
    QVERIFY(a.firesWithin(A::Pause));
  }

  void saysWhyWhenTheDesktopCannot_data() {
    QTest::addColumn<QString>("parameters");  // empty: no portal at all
    QTest::addColumn<QString>("why");
    QTest::newRow("no portal") << QString() << QStringLiteral("has no portal");
    QTest::newRow("no GlobalShortcuts")
        << QStringLiteral("{\"shortcuts\": false}") << QStringLiteral("has no global shortcuts");
    QTest::newRow("fewer bound than asked")
        << QStringLiteral("{\"bound\": 2}") << QStringLiteral("bound 2 of the 3");
  }

  void saysWhyWhenTheDesktopCannot() {
    QFETCH(QString, parameters);
    QFETCH(QString, why);
    std::optional<FakePortal> fake;
    if (!parameters.isEmpty()) {
      fake.emplace(parameters);
      QVERIFY(fake->up());
    }
    Adapter a;
    a.portal.useDesktopShortcuts(true, kCodes, kShifts);
    QVERIFY(QTest::qWaitFor([&] { return !a.report.empty(); }, kDeadline));
    QVERIFY2(QString::fromStdString(a.report).contains(why), a.report.c_str());
    QVERIFY(!a.portal.bound());
    if (fake) fake->press("start", true);
    QTest::qWait(200);
    QCOMPARE(a.poll(), A::None);
    // Turned off, the line goes.
    a.portal.useDesktopShortcuts(false, kCodes, kShifts);
    QCOMPARE(a.report, std::string());
  }
};

QTEST_GUILESS_MAIN(PortalShortcutsTest)
#include "portal_shortcuts_test.moc"
