#include "scan/frmScan.h"

#include "engine/mScanFiles.h"
#include "platform/Environment.h"
#include "scan/RepairPass.h"
#include "widgets/ActionLabel.h"
#include "widgets/DisplayText.h"
#include "widgets/OrventoFrm.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTreeWidget>

// A row keeps its whole hit for the repair.
Q_DECLARE_METATYPE(halvik::engine::mScanFiles::Hit)

namespace halvik::scan {

namespace {
const QColor kDarkRed(192, 0, 0);
const QColor kDarkBlue(0, 0, 192);
const QColor kMaskColour(0xC0, 0xC0, 0xC0);
constexpr int kPanelLeft = 120, kPanelTop = 120, kPanelWidth = 6720, kPanelHeight = 5880;
constexpr int kCaptionLeft = 360, kValueLeft = 2520, kRowHeight = 255;
constexpr int kButtonTop = 5280;
constexpr int kPathRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kHitRole = Qt::UserRole + 2;

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
              const QColor& colour = QColor()) {
  auto* control = widgets::twips::placed(new QLabel(caption, parent), name, left, top, width, kRowHeight);
  if (colour.isValid()) widgets::setTextColour(control, colour);
  return control;
}

QLabel* heading(QWidget* parent, const QString& name, const QString& caption, int top) {
  QLabel* control = label(parent, name, caption, 240, top, 4200);
  QFont bold = control->font();
  bold.setBold(true);
  control->setFont(bold);
  return control;
}

QFrame* line(QWidget* parent, const QString& name, int top) {
  auto* control = widgets::twips::placed(new QFrame(parent), name, 240, top, kPanelWidth - 480, 30);
  control->setFrameShape(QFrame::HLine);
  control->setFrameShadow(QFrame::Sunken);
  return control;
}

widgets::ActionLabel* button(QWidget* parent, const QString& name, const QString& caption, int left,
                             const QColor& colour) {
  auto* control = widgets::twips::placed(new widgets::ActionLabel(caption, parent), name, left, kButtonTop, 1080, 300);
  QFont bold = control->font();
  bold.setBold(true);
  bold.setUnderline(true);
  control->setFont(bold);
  control->setForeColor(colour);
  return control;
}

widgets::Quillet::OrventoFrm* panel(QWidget* parent, const QString& name, const QString& caption) {
  auto* control = widgets::twips::placed(new widgets::Quillet::OrventoFrm(parent), name, kPanelLeft, kPanelTop,
                                         kPanelWidth, kPanelHeight);
  control->setCaption(caption);
  return control;
}

// The six pictures of the result list, drawn on silver that the mask makes transparent:
// 1 found, 2 warning, 3 information, 4 ignored, 5 removed, 6 failed.
QPixmap listImage(int number) {
  QPixmap image(16, 16);
  image.fill(kMaskColour);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QPen pen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  switch (number) {
    case 1:  // a red disc with an exclamation mark
      painter.setBrush(QColor(200, 30, 30));
      painter.setPen(Qt::NoPen);
      painter.drawEllipse(QRectF(1, 1, 14, 14));
      painter.setPen(pen);
      painter.drawLine(QPointF(8, 4), QPointF(8, 9));
      painter.drawPoint(QPointF(8, 12));
      break;
    case 2:  // an amber triangle
      painter.setBrush(QColor(230, 150, 20));
      painter.setPen(Qt::NoPen);
      painter.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(15, 15), QPointF(1, 15)}));
      break;
    case 3:  // a blue disc with an "i"
      painter.setBrush(QColor(40, 90, 190));
      painter.setPen(Qt::NoPen);
      painter.drawEllipse(QRectF(1, 1, 14, 14));
      painter.setPen(pen);
      painter.drawPoint(QPointF(8, 4.5));
      painter.drawLine(QPointF(8, 7.5), QPointF(8, 12));
      break;
    case 4:  // a grey square
      painter.setBrush(QColor(120, 120, 120));
      painter.setPen(Qt::NoPen);
      painter.drawRoundedRect(QRectF(2, 2, 12, 12), 2, 2);
      break;
    case 5:  // a green disc with a tick
      painter.setBrush(QColor(30, 150, 60));
      painter.setPen(Qt::NoPen);
      painter.drawEllipse(QRectF(1, 1, 14, 14));
      painter.setPen(pen);
      painter.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
      break;
    default:  // a dark red square with a cross
      painter.setBrush(QColor(150, 0, 0));
      painter.setPen(Qt::NoPen);
      painter.drawRoundedRect(QRectF(1, 1, 14, 14), 2, 2);
      painter.setPen(pen);
      painter.drawLine(QPointF(5, 5), QPointF(11, 11));
      painter.drawLine(QPointF(11, 5), QPointF(5, 11));
      break;
  }
  painter.end();
  image.setMask(image.createMaskFromColor(kMaskColour, Qt::MaskInColor));
  return image;
}

// The repair pass acting on the window and, through its signals, on the main window.
class WindowRepairView : public scan::RepairView {
 public:
  explicit WindowRepairView(frmScan& window) : m_window(window) {}

  int rowCount() const override { return m_window.lvScan->topLevelItemCount(); }
  bool rowChecked(int row) const override { return m_window.rowChecked(row); }
  int rowImage(int row) const override { return m_window.rowImage(row); }
  engine::mScanFiles::Hit rowHit(int row) const override { return m_window.rowHit(row); }
  void setRowImage(int row, int image) override { m_window.setRowImage(row, image); }
  std::string tag() const override { return m_window.lvScan->property("Tag").toString().toStdString(); }
  void setTag(const std::string& tag) override { m_window.lvScan->setProperty("Tag", QString::fromStdString(tag)); }
  void hide() override { m_window.hide(); }
  void showObjectsRemoved(const std::string& total) override {
    emit m_window.ObjectsRemoved(QString::fromStdString(total));
  }
  void quarantineChanged() override { emit m_window.RepairDone(); }

 private:
  frmScan& m_window;
};
}  // namespace

frmScan::frmScan(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("frmScan"));
  setWindowTitle(QStringLiteral("Orvento Halvik 2.0  -   Scan en cours ..."));
  const double dpi = logicalDpiX();
  setFixedSize(widgets::twips::toPixels(kPanelWidth + 2 * kPanelLeft, dpi),
               widgets::twips::toPixels(kPanelHeight + 2 * kPanelTop, dpi));
  for (int number = 1; number <= 6; ++number) ilListview[number - 1] = listImage(number);
  Drive = widgets::twips::placed(new QComboBox(this), QStringLiteral("Drive"), kPanelLeft, kPanelTop, 1500, 300);
  Drive->hide();
  fillDrives();
  buildProgressPanel();
  buildResultsPanel();
  Picture2->hide();
}

void frmScan::buildProgressPanel() {
  Picture1 = panel(this, QStringLiteral("Picture1"), QStringLiteral("Scan Système :"));
  QWidget* p = Picture1;
  Label10 = heading(p, QStringLiteral("Label10"), QStringLiteral("Scan Système Process"), 480);
  const int width = kPanelWidth - kValueLeft - 240;
  // "Operation courrente" misspelt as the results window has always shown it: captions stay as users know them.
  Label1 = label(p, QStringLiteral("Label1"), QStringLiteral("Operation courrente:"), kCaptionLeft, 840, 2100);
  lblOperation = label(p, QStringLiteral("lblOperation"), QStringLiteral("Chargement..."), kValueLeft, 840, width);
  Label3 = label(p, QStringLiteral("Label3"), QStringLiteral("Objets Scannés:"), kCaptionLeft, 1140, 2100);
  lblObjectsScanned =
      label(p, QStringLiteral("lblObjectsScanned"), QStringLiteral("Chargement..."), kValueLeft, 1140, width);
  Label2 = label(p, QStringLiteral("Label2"), QStringLiteral("Scan en cours:"), kCaptionLeft, 1440, 2100);
  lblCurFile = label(p, QStringLiteral("lblCurFile"), QStringLiteral("Nom de Fichier"), kValueLeft, 1440, width);
  Line1 = line(p, QStringLiteral("Line1"), 1800);
  Label5 = heading(p, QStringLiteral("Label5"), QStringLiteral("Sommaire :"), 1920);
  struct Row {
    QLabel*& caption;
    const char* captionName;
    const char* captionText;
    QLabel*& value;
    const char* valueName;
    QColor colour;
  };
  const Row rows[] = {
      {Label4, "Label4", "Processes lancés:", lblProcesses, "lblProcesses", QColor()},
      {Label6, "Label6", "Processes dangereux:", lblMaliciousProcess, "lblMaliciousProcess", kDarkRed},
      {Label7, "Label7", "Objets Identifiés:", lblMaliciousObjects, "lblMaliciousObjects", kDarkRed},
      {Label9, "Label9", "Objets Ignorés:", lblObjectsIgnored, "lblObjectsIgnored", kDarkRed},
      {Label12, "Label12", "Entrées registres :", lblMaliciousRegistry, "lblMaliciousRegistry", kDarkRed},
      {Label8, "Label8", "Fichiers Dangereux:", Label11, "Label11", kDarkRed},
  };
  int top = 2280;
  for (const Row& entry : rows) {
    entry.caption =
        label(p, QString::fromUtf8(entry.captionName), QString::fromUtf8(entry.captionText), kCaptionLeft, top, 2100);
    entry.value =
        label(p, QString::fromUtf8(entry.valueName), QStringLiteral("0"), kValueLeft, top, 1200, entry.colour);
    top += 300;
  }
  Line2 = line(p, QStringLiteral("Line2"), 4140);
  Label13 =
      label(p, QStringLiteral("Label13"), QStringLiteral("Scan... Cliquer \"Annuler\" pour terminer"), 240, 4320, 6000);
  Line4 = line(p, QStringLiteral("Line4"), 4800);
  lblGoAbort = button(p, QStringLiteral("lblGoAbort"), QStringLiteral("Annuler"), 4080, kDarkRed);
  lblGoFix = button(p, QStringLiteral("lblGoFix"), QStringLiteral("Valider"), 5400, kDarkBlue);
  lblGoFix->setEnabled(false);
  Line5 = line(p, QStringLiteral("Line5"), 5700);
  connect(lblGoAbort, &widgets::ActionLabel::Click, this, &frmScan::lblGoAbort_Click);
  connect(lblGoFix, &widgets::ActionLabel::Click, this, &frmScan::lblGoFix_Click);
}

void frmScan::buildResultsPanel() {
  Picture2 = panel(this, QStringLiteral("Picture2"), QStringLiteral("Sommaire du Scan"));
  QWidget* p = Picture2;
  Label36 = heading(p, QStringLiteral("Label36"), QStringLiteral("Sommaire du Scan :"), 480);
  Line6 = line(p, QStringLiteral("Line6"), 840);
  lvScan = widgets::twips::placed(new QTreeWidget(p), QStringLiteral("lvScan"), 240, 960, kPanelWidth - 480, 3720);
  lvScan->setColumnCount(2);
  lvScan->setHeaderLabels({QStringLiteral("Type des Spywares"), QStringLiteral("Nom de fichiers")});
  lvScan->setRootIsDecorated(false);
  lvScan->setTextElideMode(Qt::ElideMiddle);  // a long path keeps its start and its file name
  lvScan->setAccessibleName(QStringLiteral("Sommaire du Scan"));
  lvScan->setAccessibleDescription(QStringLiteral(
      "Objets trouv\u00E9s : type de menace et chemin ; les lignes coch\u00E9es seront supprim\u00E9es"));
  lvScan->setUniformRowHeights(true);
  lvScan->setIconSize(QSize(16, 16));
  lvScan->header()->resizeSection(0, widgets::twips::toPixels(2700, logicalDpiX()));
  lvScan->setProperty("Tag", QString());
  addCheckAction(QStringLiteral("mnuCheckAll"), QStringLiteral("Tout cocher"), Qt::Checked);
  addCheckAction(QStringLiteral("mnuUncheckAll"), QStringLiteral("Tout d\u00E9cocher"), Qt::Unchecked);
  lvScan->setContextMenuPolicy(Qt::ActionsContextMenu);
  Line7 = line(p, QStringLiteral("Line7"), 4800);
  Label16 =
      label(p, QStringLiteral("Label16"), QStringLiteral("Cliquer sur \"Suivant\" pour continuer"), 240, 4920, 4800);
  Label14 = button(p, QStringLiteral("Label14"), QStringLiteral("Suivant"), 5400, kDarkBlue);
  connect(Label14, &widgets::ActionLabel::Click, this, &frmScan::Label14_Click);
}

// An entry of the list's context menu that ticks or unticks every row the user may tick.
void frmScan::addCheckAction(const QString& objectName, const QString& caption, Qt::CheckState state) {
  auto* action = new QAction(caption, lvScan);
  action->setObjectName(objectName);
  connect(action, &QAction::triggered, this, [this, state] {
    for (int index = 0; index < lvScan->topLevelItemCount(); ++index)
      if (row(index)->flags() & Qt::ItemIsUserCheckable) row(index)->setCheckState(0, state);
  });
  lvScan->addAction(action);
}

void frmScan::fillDrives() {
  for (const std::string& drive : platform::environment().drives())
    Drive->addItem(widgets::displayText(drive), QByteArray(drive.data(), static_cast<qsizetype>(drive.size())));
}

std::vector<std::string> frmScan::drives() const {
  std::vector<std::string> entries;
  for (int index = 0; index < Drive->count(); ++index)
    entries.push_back(Drive->itemData(index).toByteArray().toStdString());
  return entries;
}

bool frmScan::visible() const { return isVisible() && (!parentWidget() || parentWidget()->isVisible()); }
void frmScan::close() { QWidget::close(); }
void frmScan::setCurFile(const std::string& path) { lblCurFile->setText(widgets::displayText(path)); }
void frmScan::setObjectsScanned(const std::string& count) { lblObjectsScanned->setText(widgets::displayText(count)); }
void frmScan::setMaliciousObjects(const std::string& count) {
  lblMaliciousObjects->setText(widgets::displayText(count));
}
void frmScan::setOperation(const std::string& text) { lblOperation->setText(widgets::displayText(text)); }
void frmScan::clearResults() { lvScan->clear(); }
void frmScan::yield() { QCoreApplication::processEvents(); }

void frmScan::finishResults() {
  lblGoAbort->setEnabled(false);
  lblGoFix->setEnabled(true);
}

void frmScan::addHit(const engine::mScanFiles::Hit& hit) {
  auto* item = new QTreeWidgetItem({widgets::displayText(hit.threatName), widgets::displayText(hit.path)});
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Checked);
  item->setToolTip(0, item->text(0));
  item->setToolTip(1, item->text(1));
  item->setData(1, kPathRole, QByteArray(hit.path.data(), static_cast<qsizetype>(hit.path.size())));
  item->setData(1, kHitRole, QVariant::fromValue(hit));
  lvScan->addTopLevelItem(item);
  setRowImage(lvScan->topLevelItemCount() - 1, scan::kImageFound);
}

QTreeWidgetItem* frmScan::row(int index) const { return lvScan->topLevelItem(index); }
engine::mScanFiles::Hit frmScan::rowHit(int index) const {
  return row(index)->data(1, kHitRole).value<engine::mScanFiles::Hit>();
}
std::string frmScan::rowPath(int index) const { return row(index)->data(1, kPathRole).toByteArray().toStdString(); }
int frmScan::rowImage(int index) const { return row(index)->data(0, kImageRole).toInt(); }
bool frmScan::rowChecked(int index) const { return row(index)->checkState(0) == Qt::Checked; }

void frmScan::setRowImage(int index, int image) {
  row(index)->setData(0, kImageRole, image);
  row(index)->setIcon(0, QIcon(ilListview[static_cast<std::size_t>(image - 1)]));
}

void frmScan::lblGoAbort_Click() {
  lblGoFix->setEnabled(true);
  lblGoAbort->setEnabled(false);
  engine::mScanFiles::setScanRunning(false);
}

void frmScan::lblGoFix_Click() {
  Picture1->hide();
  Picture2->show();
}

void frmScan::Label14_Click() {
  WindowRepairView view(*this);
  scan::RunRepair(view);
}

}  // namespace halvik::scan
