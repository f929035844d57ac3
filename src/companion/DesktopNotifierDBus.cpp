// Linux: notifications through the freedesktop notification service on the session bus.
#include "companion/DesktopNotifier.h"

#include "core/Locations.h"
#include "core/NoticeText.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace halvik::companion {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");
}  // namespace

// Keeps the identifiers the service gave to this program's notifications, so that only a click
// on one of them counts (the service's signals reach every client of the bus).
class DesktopNotifier::Backend : public QObject {
  Q_OBJECT

 public:
  explicit Backend(DesktopNotifier& owner) : m_owner(owner) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(onClosed(uint, uint)));
    askCapabilities(bus);
  }

  void notify(const QString& summary, const QString& body, const QStringList& actions = {},
              std::optional<quint32> notice = std::nullopt) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QString::fromUtf8(core::kProgramTitle) << 0u << QString() << asText(summary, core::NoticeMarkup::Plain)
         << asText(body, m_bodyMarkup) << (QStringList{kDefaultAction, QStringLiteral("Ouvrir")} + actions)
         << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, notice](QDBusPendingCallWatcher* finished) {
      const QDBusPendingReply<uint> reply = *finished;
      if (!reply.isError()) {
        m_sent.insert(reply.value());
        if (notice) m_notices.insert(reply.value(), *notice);
      }
      finished->deleteLater();
    });
  }

 private slots:
  void onActionInvoked(uint id, const QString& action) {
    if (action != kDefaultAction && m_notices.contains(id)) {
      m_sent.remove(id);
      emit m_owner.actionChosen(m_notices.take(id), action);
      return;
    }
    if (action != kDefaultAction || !m_sent.remove(id)) return;
    emit m_owner.activated();
  }
  void onClosed(uint id, uint /*reason*/) {
    m_sent.remove(id);
    m_notices.remove(id);
  }

 private:
  // The body is read as markup where the service says so; until it has answered, it is escaped
  // as if it were (an entity then shows as typed, never as a tag).
  void askCapabilities(QDBusConnection& bus) {
    if (!bus.isConnected()) return;
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
      const QDBusPendingReply<QStringList> reply = *finished;
      if (!reply.isError())
        m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup")) ? core::NoticeMarkup::Markup
                                                                             : core::NoticeMarkup::Plain;
      finished->deleteLater();
    });
  }

  static QString asText(const QString& text, core::NoticeMarkup markup) {
    return QString::fromUtf8(core::noticeText(text.toUtf8().toStdString(), markup));
  }

  DesktopNotifier& m_owner;
  QSet<uint> m_sent;
  QHash<uint, quint32> m_notices;  // notifications with actions: the caller's number of each
  core::NoticeMarkup m_bodyMarkup = core::NoticeMarkup::Markup;
};

DesktopNotifier::DesktopNotifier(QSystemTrayIcon& /*tray*/, QObject* parent)
    : QObject(parent), m_backend(std::make_unique<Backend>(*this)) {}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::notify(const QString& summary, const QString& body) { m_backend->notify(summary, body); }

void DesktopNotifier::notifyWithActions(quint32 notice, const QString& summary, const QString& body,
                                        const QStringList& actions) {
  m_backend->notify(summary, body, actions, notice);
}

}  // namespace halvik::companion

#include "DesktopNotifierDBus.moc"
