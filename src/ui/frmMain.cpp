#include "ui/frmMain.h"

#include "core/Settings.h"
#include "monitor/MonitorPage.h"
#include "quarantine/QuarantinePage.h"
#include "scan/ScanPage.h"
#include "ui/HelpText.h"
#include "ui/frmSettings.h"
#include "widgets/ActionLabel.h"
#include "widgets/Artwork.h"
#include "widgets/DisplayText.h"
#include "widgets/FileListBox.h"
#include "widgets/Fonts.h"
#include "widgets/OrventoCmd.h"
#include "widgets/OrventoFrm.h"
#include "widgets/Twips.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

namespace halvik::ui {

namespace {

constexpr int kClientWidth = 8730;
constexpr int kClientHeight = 5655;
constexpr int kHeaderHeight = 1200;  // the band along the top that carries the picture buttons

const QColor kHeaderColour = widgets::artwork::markColour();
const QColor kWindowColour(0xE9, 0xEE, 0xF4);
const QColor kColumnColour(0xD3, 0xDD, 0xE9);
const QColor kButtonColour(0xF6, 0xF8, 0xFB);
const QColor kLinkColour(0x00, 0x00, 0xFF);

const QString kFooter =
    QStringLiteral("Copyright \u00A9 2007 Orvento. Tous droits r\u00E9serv\u00E9s.  -  www.orvento.example");

struct PageButton {
  const char* caption;
  const char* tooltip;
  int top;
  widgets::artwork::Picture picture;
};
// Captions below read as the window has always shown them ("Moniteur Active", "quarintine"): kept unchanged.
constexpr PageButton kPageButtons[3] = {{"Status", nullptr, 1320, widgets::artwork::Picture::Shield},
                                        {"Scannez", "Scanner du syst\u00E8me", 2760,
                                         widgets::artwork::Picture::Magnifier},
                                        {"Moniteur", "Moniteur Active", 4200, widgets::artwork::Picture::Pulse}};

struct PictureButton {
  int index;
  int left;
  const char* tooltip;
  widgets::artwork::Picture picture;
};
constexpr PictureButton kPictureButtons[4] = {{2, 4200, "Liste de Quarantine", widgets::artwork::Picture::Quarantine},
                                              {1, 5040, "Configuration de l'AntiSpyware",
                                               widgets::artwork::Picture::Gear},
                                              {4, 5880, "Aide et informations", widgets::artwork::Picture::Help},
                                              {0, 6720, "Orvento Web Site", widgets::artwork::Picture::Globe}};

constexpr const char* kPageCaptions[5] = {"Status :", "Scan Syst\u00E8me :", "Moniteur des Adwares Actives:",
                                          "Aide et Informations :", "Liste Quarantine :"};

struct StatusRow {
  const char* caption;
  const char* valueName;
  const char* initialText;
};
// The stored values' rows start with the values' defaults, as a first run reads them.
using core::settings::defaultOf;
using core::settings::Key;
constexpr StatusRow kStatusRows[6] = {{"Halvik Moniteur:", "lblStatus_Admonitor", "Non Charg\u00E9s"},
                                      {"Dernier scan syst\u00E8me:", "lblStatus_System",
                                       defaultOf(Key::LastSystemScan)},
                                      {"Les objets supprim\u00E9s:", "lblStatus_Removed",
                                       defaultOf(Key::TotalObjectsRemoved)},
                                      {"Total scans:", "lblStatus_Total", defaultOf(Key::TotalScans)},
                                      {"Les objets ignor\u00E9s", "lblStatus_Ignore", "0"},
                                      {"Les objets en quarintine:", "lblStatus_Quarintine", "0"}};

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral(" Orvento AntiSpyware \u00AE Version 2.0 - Orvento"));
  setFont(widgets::fonts::ui());
  setFixedSize(widgets::twips::toPixels(kClientWidth, logicalDpiX()),
               widgets::twips::toPixels(kClientHeight, logicalDpiY()));
  setWindowIcon(QIcon(widgets::artwork::draw(widgets::artwork::Picture::Shield, QSize(32, 32), kHeaderColour, 2)));

  tmrAdMonitor = new QTimer(this);
  tmrAdMonitor->setObjectName(QStringLiteral("tmrAdMonitor"));
  tmrAdMonitor->setInterval(core::settings::defaultMonitorPeriod());
  File1 = new widgets::FileListBox(this);
  File1->setObjectName(QStringLiteral("File1"));
  File1->setPattern("*.aaq");
  File1->hide();

  buildButtons();
  buildPages();
  buildStatusPage();
  buildHelpPage();
  buildFooter();
  scanPage = new scan::ScanPage(this, *this, picFrame[1]);
  monitorPage = new monitor::MonitorPage(this, *this, picFrame[2]);
  connect(tmrAdMonitor, &QTimer::timeout, monitorPage, &monitor::MonitorPage::RefreshProcessList);
  connect(monitorPage, &monitor::MonitorPage::monitorStateChanged, this, &frmMain::showMonitorState);
  connect(monitorPage, &monitor::MonitorPage::settingsRequested, this, &frmMain::showSettings);
  quarantinePage = new quarantine::QuarantinePage(*this, picFrame[4]);
  load();
}

frmMain::~frmMain() = default;

// ---- Construction ---------------------------------------------------------------------

void frmMain::buildButtons() {
  for (int i = 0; i < 3; ++i) {
    const PageButton& page = kPageButtons[i];
    auto* button = widgets::twips::placed(new widgets::Quillet::OrventoCmd(this, i),
                                          QStringLiteral("lblButtonBack_%1").arg(i), 120, page.top, 1575, 1095);
    button->setCaption(QString::fromUtf8(page.caption));
    if (page.tooltip) button->setToolTip(QString::fromUtf8(page.tooltip));
    button->setBackColor(kButtonColour);
    button->setButtonType(1);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    button->setPicture(picture(page.picture, button, kHeaderColour));
    connect(button, &widgets::Quillet::OrventoCmd::Click, this, &frmMain::lblButtonBack_Click);
    lblButtonBack[i] = button;
  }
  for (const PictureButton& entry : kPictureButtons) {
    auto* button = widgets::twips::placed(new widgets::Quillet::OrventoCmd(this, entry.index),
                                          QStringLiteral("imgButton_%1").arg(entry.index), entry.left, 360, 735, 615);
    button->setToolTip(QString::fromUtf8(entry.tooltip));
    button->setAccessibleName(button->toolTip());  // a picture alone: its tooltip names it
    button->setBackColor(kHeaderColour);
    button->setPicture(picture(entry.picture, button, Qt::white));
    connect(button, &widgets::Quillet::OrventoCmd::Click, this,
            [this](int index) { m_presenter.imgButton_Click(index); });
    imgButton[entry.index] = button;
  }
  quit = widgets::twips::placed(new widgets::Quillet::OrventoCmd(this), QStringLiteral("quit"), 7920, 360, 735, 645);
  quit->setToolTip(QStringLiteral("Quitter l'application"));
  quit->setAccessibleName(quit->toolTip());
  quit->setBackColor(kHeaderColour);
  quit->setPicture(picture(widgets::artwork::Picture::Power, quit, QColor(0xFF, 0xB4, 0xA8)));
  connect(quit, &widgets::Quillet::OrventoCmd::Click, this, &frmMain::close);
}

QPixmap frmMain::picture(widgets::artwork::Picture kind, const QWidget* button, const QColor& colour) const {
  return widgets::artwork::draw(kind, button->size(), colour, devicePixelRatioF());
}

void frmMain::buildPages() {
  for (int i = 0; i < 5; ++i) {
    auto* page = widgets::twips::placed(new widgets::Quillet::OrventoFrm(this), QStringLiteral("picFrame_%1").arg(i),
                                        1800, 1200, 6855, 4095);
    page->setCaption(QString::fromUtf8(kPageCaptions[i]));
    page->setForeColor(kHeaderColour);
    page->setVisible(i == 0);
    picFrame[i] = page;
  }
}

void frmMain::buildStatusPage() {
  QWidget* page = picFrame[0];
  page->setFont(widgets::fonts::verdana());
  auto* title = widgets::twips::placed(new QLabel(QStringLiteral("Status:"), page), QStringLiteral("lblStatusTitle"),
                                       120, 360, 6600, 450);
  title->setFont(widgets::fonts::verdana(14));
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  widgets::twips::placed(new QLabel(QStringLiteral("Initialisation du Status"), page),
                         QStringLiteral("lblStatusSubtitle"), 120, 840, 6600, 255);
  auto* rule = widgets::twips::placed(new QFrame(page), QStringLiteral("lineStatus"), 120, 1140, 6615, 30);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);

  std::array<QLabel*, 6> values{};
  for (int row = 0; row < 6; ++row) {
    const int top = 1320 + row * 330;
    widgets::twips::placed(new QLabel(QString::fromUtf8(kStatusRows[row].caption), page),
                           QStringLiteral("lblStatusCaption_%1").arg(row), 120, top, 2820, 255);
    values[row] = widgets::twips::placed(new QLabel(QString::fromUtf8(kStatusRows[row].initialText), page),
                                         QString::fromUtf8(kStatusRows[row].valueName), 3000, top, 3735, 255);
  }
  lblStatus_Admonitor = values[0];
  lblStatus_System = values[1];
  lblStatus_Removed = values[2];
  lblStatus_Total = values[3];
  lblStatus_Ignore = values[4];
  lblStatus_Quarintine = values[5];
  buildSignaturesRow(page);

  lblGoIgnore = statusLink(QStringLiteral("lblGoIgnore"), QStringLiteral("Ouvrir des ignor\u00E9s"), 120);
  lblStatusReset = statusLink(QStringLiteral("lblStatusReset"), QStringLiteral("Initialisez"), 2520);
  lblGoQuarintine = statusLink(QStringLiteral("lblGoQuarintine"), QStringLiteral("Ouvrir quarantine"), 4680);
  connect(lblGoQuarintine, &widgets::ActionLabel::Click, this, [this] { SetCurrentFrame(4); });
}

// One more row under the design's six, fitted in above the links without moving them.
void frmMain::buildSignaturesRow(QWidget* page) {
  constexpr int kTop = 1320 + 6 * 330;
  widgets::twips::placed(new QLabel(QStringLiteral("Signatures :"), page), QStringLiteral("lblStatusCaption_6"), 120,
                         kTop, 2820, 240);
  lblStatus_Signatures =
      widgets::twips::placed(new QLabel(page), QStringLiteral("lblStatus_Signatures"), 3000, kTop, 3735, 240);
}

widgets::ActionLabel* frmMain::statusLink(const QString& objectName, const QString& caption, int left) {
  auto* link =
      widgets::twips::placed(new widgets::ActionLabel(caption, picFrame[0]), objectName, left, 3540, 2040, 255);
  link->setForeColor(kLinkColour);
  QFont underlined = link->font();
  underlined.setUnderline(true);
  link->setFont(underlined);
  return link;
}

void frmMain::buildHelpPage() {
  Text2 = widgets::twips::placed(new QPlainTextEdit(picFrame[3]), QStringLiteral("Text2"), 120, 420, 6615, 3555);
  Text2->setFont(widgets::fonts::verdana());
  Text2->setReadOnly(true);
  Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Text2->setPlainText(helpText());
}

// The maker's notice twice, 30 twips apart, the white copy underneath: an engraved look.
void frmMain::buildFooter() {
  QFont small = widgets::fonts::ui(7);
  auto* shadow =
      widgets::twips::placed(new QLabel(kFooter, this), QStringLiteral("lblFooterShadow"), 2295, 5400, 6240, 195);
  auto* notice = widgets::twips::placed(new QLabel(kFooter, this), QStringLiteral("lblFooter"), 2265, 5400, 6240, 195);
  for (QLabel* label : {shadow, notice}) {
    label->setFont(small);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  widgets::setTextColour(shadow, Qt::white);
  widgets::setTextColour(notice, QColor(0x44, 0x4C, 0x58));
}

// ---- Load sequence ------------------------------------------------------------------------

// Runs once, once the pages exist, before the window is first shown.
void frmMain::load() { m_presenter.load(); }

void frmMain::refreshQuarantineCount() { m_presenter.refreshQuarantineCount(); }

void frmMain::listQuarantineFolder(const std::string& folder) { File1->setPath(folder); }

void frmMain::loadMonitor() { monitorPage->switchMonitorOn(); }

void frmMain::showMonitorStatus(const std::string& text, const TextColour& colour) {
  lblStatus_Admonitor->setText(QString::fromStdString(text));
  widgets::setTextColour(lblStatus_Admonitor, QColor(colour.red, colour.green, colour.blue));
}

void frmMain::showSignatures(const std::string& text, const TextColour& colour) {
  lblStatus_Signatures->setText(QString::fromStdString(text));
  widgets::setTextColour(lblStatus_Signatures, QColor(colour.red, colour.green, colour.blue));
}

void frmMain::showStatusValue(StatusValue value, const std::string& text) {
  QLabel* label = nullptr;
  switch (value) {
    case StatusValue::LastSystemScan: label = lblStatus_System; break;
    case StatusValue::ObjectsRemoved: label = lblStatus_Removed; break;
    case StatusValue::TotalScans: label = lblStatus_Total; break;
    case StatusValue::QuarantineCount: label = lblStatus_Quarintine; break;
  }
  label->setText(widgets::displayText(text));
}

// ---- What the pages show on the status page, and the monitor's timer ------------------------

void frmMain::showTotalScans(const std::string& total) { lblStatus_Total->setText(widgets::displayText(total)); }
void frmMain::showObjectsRemoved(const std::string& total) { lblStatus_Removed->setText(widgets::displayText(total)); }
bool frmMain::active() const { return tmrAdMonitor->isActive(); }
void frmMain::start() { tmrAdMonitor->start(); }
void frmMain::stop() { tmrAdMonitor->stop(); }
std::chrono::milliseconds frmMain::period() const { return tmrAdMonitor->intervalAsDuration(); }
void frmMain::setPeriod(std::chrono::milliseconds period) { tmrAdMonitor->setInterval(period); }

void frmMain::showMonitorState(const QString& caption, bool on) {
  lblStatus_Admonitor->setText(caption);
  widgets::setTextColour(lblStatus_Admonitor, on ? QColor(0, 0, 0) : QColor(255, 0, 0));
}

// ---- Pages and commands -----------------------------------------------------------------

void frmMain::SetCurrentFrame(int index) { m_presenter.SetCurrentFrame(index); }

void frmMain::showPage(int index) {
  for (widgets::Quillet::OrventoFrm* page : picFrame) page->setVisible(false);
  picFrame[index]->setVisible(true);
}

void frmMain::fillQuarantineList() { quarantinePage->fill(); }

void frmMain::showSettings() {
  if (!m_settings) m_settings = new frmSettings(*tmrAdMonitor, this);
  if (!m_settings->isVisible()) m_settings->loadValues();
  m_settings->show();
  m_settings->raise();
  m_settings->activateWindow();
}

const std::string& frmMain::File1Path() const { return File1->Path(); }

frmSettings* frmMain::settingsDialog() const { return m_settings.data(); }

void frmMain::lblButtonBack_Click(int index) { SetCurrentFrame(index); }

void frmMain::openWebSite(const std::string& address) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

// The windows this one owns (the settings dialog, the scan windows) close with it.
void frmMain::closeEvent(QCloseEvent* event) {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isWindow()) child->close();
  QWidget::closeEvent(event);
}

// ---- Artwork --------------------------------------------------------------------------------

// The dark band along the top with the product mark, and the lighter column of page buttons.
void frmMain::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const double dpi = logicalDpiX();
  const int header = widgets::twips::toPixels(kHeaderHeight, dpi);
  const int column = widgets::twips::toPixels(1800, dpi);
  painter.fillRect(rect(), kWindowColour);
  painter.fillRect(QRect(0, header, column - widgets::twips::toPixels(60, dpi), height() - header), kColumnColour);
  QLinearGradient band(0, 0, 0, header);
  band.setColorAt(0, kHeaderColour.lighter(150));
  band.setColorAt(1, kHeaderColour);
  painter.fillRect(QRect(0, 0, width(), header), band);
  paintProductMark(painter, dpi);
}

void frmMain::paintProductMark(QPainter& painter, double dpi) {
  const int side = widgets::twips::toPixels(720, dpi);
  const QPoint origin(widgets::twips::toPixels(180, dpi), widgets::twips::toPixels(240, dpi));
  painter.drawPixmap(origin, widgets::artwork::draw(widgets::artwork::Picture::Shield, QSize(side, side), Qt::white,
                                                    devicePixelRatioF()));
  QFont name = widgets::fonts::ui(17);
  name.setBold(true);
  painter.setFont(name);
  painter.setPen(Qt::white);
  const int textLeft = origin.x() + side + widgets::twips::toPixels(120, dpi);
  const QRect nameArea(textLeft, origin.y() - widgets::twips::toPixels(60, dpi), widgets::twips::toPixels(3000, dpi),
                       widgets::twips::toPixels(540, dpi));
  painter.drawText(nameArea, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvento Halvik"));
  painter.setFont(widgets::fonts::ui(8));
  painter.setPen(QColor(0xC8, 0xD8, 0xEC));
  painter.drawText(QRect(textLeft, nameArea.bottom(), nameArea.width(), widgets::twips::toPixels(300, dpi)),
                   Qt::AlignLeft | Qt::AlignTop, QStringLiteral("AntiSpyware  \u2022  Version 2.0"));
}

}  // namespace halvik::ui
