// A freedesktop notification service of the companion's road test, run on a private session bus:
// it records every notification it receives, one line each, and can answer the first one with a
// click ("default" action), or choose the action KEY of every notification that offers it, as a
// user would.
// Usage: notification_server <folder> [--click-first | --choose=KEY]
// Writes <folder>/address (the bus address, once the service name is taken) and <folder>/pid, and
// appends "<application>\t<summary>\t<body>\t<actions>" lines to <folder>/notifications. Ending
// it ends the dbus-run-session around it, and with it the bus.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <utility>

namespace halvik::companion {

namespace {
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
}  // namespace

class NotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  NotificationServer(QString record, bool clickFirst, QString choose)
      : m_record(std::move(record)), m_clickFirst(clickFirst), m_choose(std::move(choose)) {}

 public slots:
  uint Notify(const QString& application, uint /*replaces*/, const QString& /*icon*/, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& /*hints*/, int /*timeout*/) {
    QFile file(m_record);
    if (file.open(QIODevice::Append))
      file.write((QStringList{application, summary, body, actions.join(',')}.join('\t') + '\n').toUtf8());
    const uint id = ++m_lastId;
    if (m_clickFirst && id == 1)
      QTimer::singleShot(200, this, [id] { sendSignal("ActionInvoked", {id, QStringLiteral("default")}); });
    if (!m_choose.isEmpty() && actions.contains(m_choose))
      QTimer::singleShot(200, this, [this, id] { sendSignal("ActionInvoked", {id, m_choose}); });
    return id;
  }
  QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
  void CloseNotification(uint id) { sendSignal("NotificationClosed", {id, 3u}); }

 private:
  static void sendSignal(const char* name, const QVariantList& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QString::fromLatin1(name));
    signal.setArguments(arguments);
    QDBusConnection::sessionBus().send(signal);
  }

  QString m_record;
  bool m_clickFirst;
  QString m_choose;
  uint m_lastId = 0;
};

int run(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  if (argc < 2) return 2;
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QByteArray option = argc > 2 ? QByteArray(argv[2]) : QByteArray();
  halvik::companion::NotificationServer server(folder + QStringLiteral("/notifications"), option == "--click-first",
                                               option.startsWith("--choose=") ? QString::fromUtf8(option.mid(9))
                                                                              : QString());
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(halvik::companion::kPath, &server, QDBusConnection::ExportAllSlots) ||
      !bus.registerService(halvik::companion::kInterface))
    return 1;
  for (const auto& [name, text] :
       {std::pair{QStringLiteral("/pid"), QByteArray::number(QCoreApplication::applicationPid())},
        std::pair{QStringLiteral("/address"), qgetenv("DBUS_SESSION_BUS_ADDRESS")}}) {
    QSaveFile file(folder + name);  // appears whole, once written
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) return 1;
  }
  return QCoreApplication::exec();
}

}  // namespace halvik::companion

#include "notification_server.moc"

int main(int argc, char* argv[]) { return halvik::companion::run(argc, argv); }
