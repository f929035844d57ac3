#include "companion/CompanionTray.h"

#include "companion/MainProgram.h"
#include "companion/TrayIconStyle.h"
#include "watch/WatchFoldersDialog.h"
#include "widgets/Artwork.h"
#include "widgets/DisplayText.h"

#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>

namespace halvik::companion {

namespace {

const QColor kShieldColour(0x1F, 0x3A, 0x5F);
const QColor kOffColour(0x80, 0x80, 0x80);
// The grey of symbolic icons, which the panel recolours; the theme's symbolic shield has it too.
const QColor kSymbolicColour(0xBE, 0xBE, 0xBE);
const QString kSymbolicName = QStringLiteral("example.orvento.Halvik-symbolic");

// The shield on a light disc, so that it shows on dark and light panels alike.
QIcon shieldIcon(const QColor& colour) {
  const qreal ratio = qApp->devicePixelRatio();
  QPixmap canvas(QSize(64, 64) * ratio);
  canvas.setDevicePixelRatio(ratio);
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xF6, 0xF8, 0xFB));
  painter.drawEllipse(QRectF(2, 2, 60, 60));
  painter.drawPixmap(QPointF(8, 8),
                     widgets::artwork::draw(widgets::artwork::Picture::Shield, QSize(48, 48), colour, ratio));
  painter.end();
  return QIcon(canvas);
}

// The shield's outline alone in one flat colour, for panels that ask for symbolic icons: the
// theme's symbolic shield while the monitor is on (a panel that loads icons by name recolours
// it), ours drawn at half strength while it is off.
QIcon symbolicIcon(companion::MonitorState state) {
  const qreal ratio = qApp->devicePixelRatio();
  QColor colour = kSymbolicColour;
  if (state == companion::MonitorState::Off) colour.setAlphaF(0.5);
  const QIcon outline(widgets::artwork::draw(widgets::artwork::Picture::Shield, QSize(64, 64), colour, ratio));
  return state == companion::MonitorState::Off ? outline : QIcon::fromTheme(kSymbolicName, outline);
}

QString tooltipOf(companion::MonitorState state) {
  switch (state) {
    case companion::MonitorState::On: return QStringLiteral("Orvento Halvik - Moniteur actif");
    case companion::MonitorState::InMainWindow:
      return QStringLiteral("Orvento Halvik - Moniteur actif dans la fen\u00EAtre principale");
    case companion::MonitorState::Off: break;
  }
  return QStringLiteral("Orvento Halvik - Moniteur d\u00E9sactiv\u00E9");
}

}  // namespace

CompanionTray::CompanionTray(QObject* parent)
    : QObject(parent),
      m_notifier(m_icon),
      m_symbolic(companion::wantsSymbolicTrayIcon(qgetenv("XDG_CURRENT_DESKTOP").toStdString())) {
  buildMenu();
  m_icon.setContextMenu(&m_menu);
  showMonitorState(companion::MonitorState::Off);
  m_icon.show();
  connect(&m_notifier, &DesktopNotifier::activated, this, [] { companion::MainProgram::openMonitorPage(); });
  connect(&m_notifier, &DesktopNotifier::actionChosen, this, [this](quint32 notice, const QString& key) {
    if (key == QLatin1String("resume"))
      emit resumeChosen(notice);
    else
      emit noticeAction(notice, key == QLatin1String("quarantine"));
  });
}

void CompanionTray::buildMenu() {
  m_menu.setObjectName(QStringLiteral("mnuCompanion"));
  connect(m_menu.addAction(QStringLiteral("Ouvrir Orvento Halvik")), &QAction::triggered, this,
          [] { companion::MainProgram::open(); });
  connect(m_menu.addAction(QStringLiteral("Scanner un dossier...")), &QAction::triggered, this,
          &CompanionTray::chooseFolderToScan);
  connect(m_menu.addAction(QStringLiteral("Dossiers surveill\u00E9s...")), &QAction::triggered, this,
          &CompanionTray::editWatchedFolders);
  // The notice's "Reprendre" where the notice has no actions (the Windows balloon, a notification
  // service without them): for the last process suspended, once.
  m_resumeLast = m_menu.addAction(QStringLiteral("Reprendre le dernier processus suspendu"));
  m_resumeLast->setObjectName(QStringLiteral("actResumeLast"));
  m_resumeLast->setEnabled(false);
  connect(m_resumeLast, &QAction::triggered, this, [this] {
    m_resumeLast->setEnabled(false);
    emit resumeChosen(m_lastSuspension);
  });
  m_menu.addSeparator();
  connect(m_menu.addAction(QStringLiteral("Quitter")), &QAction::triggered, this, &CompanionTray::quitRequested);
}

void CompanionTray::chooseFolderToScan() {
  const QString folder = QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Scanner un dossier"));
  if (!folder.isEmpty()) companion::MainProgram::scanFolder(QFile::encodeName(folder).toStdString());
}

void CompanionTray::editWatchedFolders() {
  watch::WatchFoldersDialog dialog;
  if (dialog.exec() == QDialog::Accepted) emit watchSettingsChanged();
}

void CompanionTray::showTooltip() {
  m_icon.setToolTip(tooltipOf(m_monitorState) +
                    (m_watchOn ? QStringLiteral("\nSurveillance des fichiers active")
                               : QStringLiteral("\nSurveillance des fichiers d\u00E9sactiv\u00E9e")));
}

void CompanionTray::showWatchState(bool on) {
  m_watchOn = on;
  showTooltip();
}

std::uint32_t CompanionTray::showNotice(const std::string& title, const std::string& body, bool withActions) {
  const std::uint32_t notice = ++m_notices;
  if (withActions)
    m_notifier.notifyWithActions(notice, widgets::displayText(title), widgets::displayText(body),
                                 {QStringLiteral("quarantine"), QStringLiteral("Mettre en quarantaine"),
                                  QStringLiteral("ignore"), QStringLiteral("Ignorer")});
  else
    m_notifier.notify(widgets::displayText(title), widgets::displayText(body));
  return notice;
}

void CompanionTray::showMonitorState(companion::MonitorState state) {
  m_monitorState = state;
  showTooltip();
  if (m_symbolic)
    m_icon.setIcon(symbolicIcon(state));
  else
    m_icon.setIcon(shieldIcon(state == companion::MonitorState::Off ? kOffColour : kShieldColour));
}

std::uint32_t CompanionTray::notifySuspended(const std::string& threatName, const std::string& imagePath) {
  m_lastSuspension = ++m_notices;
  m_notifier.notifyWithActions(m_lastSuspension,
                               widgets::displayText(threatName) + QStringLiteral(" a \u00E9t\u00E9 suspendu"),
                               widgets::displayText(imagePath),
                               {QStringLiteral("resume"), QStringLiteral("Reprendre")});
  m_resumeLast->setEnabled(true);
  return m_lastSuspension;
}

void CompanionTray::notifyText(const std::string& summary) { m_notifier.notify(widgets::displayText(summary), {}); }

}  // namespace halvik::companion
