#include "quarantine/QuarantinePage.h"

#include "quarantine/SaveDialog.h"
#include "widgets/DisplayText.h"
#include "widgets/OrventoCmd.h"
#include "widgets/Twips.h"

#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QWidget>

namespace halvik::quarantine {

namespace {

// The raw bytes of a row's stored name, kept beside its display text.
constexpr int kStoredNameRole = Qt::UserRole;

enum Column { kFileName, kFileType, kCompressedSize };

}  // namespace

QuarantinePage::QuarantinePage(core::StatusCounters& status, QWidget* frame)
    : QObject(frame), m_status(status), m_frame(frame) {
  createControls();
  connect(Label18, &widgets::Quillet::OrventoCmd::Click, this, [this] { m_logic.restoreSelected(); });
  connect(Label17, &widgets::Quillet::OrventoCmd::Click, this, [this] { m_logic.deleteSelected(); });
}

// The status page's count is read again with the list, so that both show the folder as it is
// now, files added or removed by other means included.
void QuarantinePage::fill() {
  m_logic.fill();
  m_status.refreshQuarantineCount();
}

void QuarantinePage::createControls() {
  Label13 = widgets::twips::placed(new QLabel(QStringLiteral("Liste Quarantine"), m_frame), QStringLiteral("Label13"),
                                   240, 480, 6375, 285);
  QFont bold = Label13->font();
  bold.setBold(true);
  Label13->setFont(bold);
  // "Selectionnez" without its accent, as the quarantine page has always shown it: kept unchanged.
  Label14 = widgets::twips::placed(new QLabel(QStringLiteral("Selectionnez les fichiers infectés :"), m_frame),
                                   QStringLiteral("Label14"), 240, 840, 6375, 255);

  lvQuarintine =
      widgets::twips::placed(new QTreeWidget(m_frame), QStringLiteral("lvQuarintine"), 240, 1200, 6375, 2025);
  // English headings as the list has always had; "Compressed Size" is the plain size (copies are not compressed).
  lvQuarintine->setHeaderLabels(
      {QStringLiteral("File Name"), QStringLiteral("File Type"), QStringLiteral("Compressed Size")});
  lvQuarintine->headerItem()->setTextAlignment(kCompressedSize, Qt::AlignRight | Qt::AlignVCenter);
  lvQuarintine->setRootIsDecorated(false);
  lvQuarintine->setTextElideMode(Qt::ElideMiddle);
  lvQuarintine->setAccessibleName(QStringLiteral("Quarantaine"));
  lvQuarintine->setAccessibleDescription(
      QStringLiteral("Fichiers en quarantaine : nom, type de menace et taille ; choisissez ceux \u00E0 restaurer ou "
                     "supprimer"));
  lvQuarintine->setItemsExpandable(false);
  lvQuarintine->setUniformRowHeights(true);
  lvQuarintine->setAllColumnsShowFocus(true);
  lvQuarintine->setSelectionMode(QAbstractItemView::SingleSelection);
  lvQuarintine->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvQuarintine->setEditTriggers(QAbstractItemView::NoEditTriggers);
  const double dpi = lvQuarintine->logicalDpiX();
  lvQuarintine->setColumnWidth(kFileName, widgets::twips::toPixels(2325, dpi));
  lvQuarintine->setColumnWidth(kFileType, widgets::twips::toPixels(2325, dpi));

  Line5 = widgets::twips::placed(new QFrame(m_frame), QStringLiteral("Line5"), 240, 3330, 6375, 30);
  Line5->setFrameShape(QFrame::HLine);
  Line5->setFrameShadow(QFrame::Sunken);

  // "&Restaurez" and "&Supprimez" (imperatives with their Alt keys) as the page has always shown them: kept unchanged.
  Label18 = widgets::twips::placed(new widgets::Quillet::OrventoCmd(m_frame), QStringLiteral("Label18"), 3840, 3450,
                                   1320, 465);
  Label18->setCaption(QStringLiteral("&Restaurez"));
  Label17 = widgets::twips::placed(new widgets::Quillet::OrventoCmd(m_frame), QStringLiteral("Label17"), 5295, 3450,
                                   1320, 465);
  Label17->setCaption(QStringLiteral("&Supprimez"));
  for (widgets::Quillet::OrventoCmd* command : {Label18, Label17}) command->setButtonType(1);

  CdRestore = new SaveDialog(m_frame);
  CdRestore->setObjectName(QStringLiteral("CdRestore"));
  // An English title in the French window, as the restore dialog has always had: kept unchanged.
  CdRestore->setDialogTitle(QStringLiteral("Restore to where?"));
}

void QuarantinePage::clearRows() { lvQuarintine->clear(); }

void QuarantinePage::addRow(const QuarantineRow& row) {
  auto* item = new QTreeWidgetItem(lvQuarintine);
  item->setText(kFileName, widgets::displayText(row.storedName));
  item->setData(kFileName, kStoredNameRole, QByteArray::fromStdString(row.storedName));
  item->setToolTip(kFileName, item->text(kFileName));
  item->setText(kFileType, widgets::displayText(row.threatName));
  item->setToolTip(kFileType, item->text(kFileType));
  item->setText(kCompressedSize, QString::fromStdString(row.size));
  item->setTextAlignment(kCompressedSize, Qt::AlignRight | Qt::AlignVCenter);
}

std::optional<std::string> QuarantinePage::selectedStoredName() const {
  const QList<QTreeWidgetItem*> selected = lvQuarintine->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return selected.first()->data(kFileName, kStoredNameRole).toByteArray().toStdString();
}

void QuarantinePage::removeSelectedRow() {
  const QList<QTreeWidgetItem*> selected = lvQuarintine->selectedItems();
  if (selected.isEmpty()) return;
  delete selected.first();
  // No row is chosen for the user: a second click of a command acts only on a new choice.
  lvQuarintine->clearSelection();
}

std::optional<std::string> QuarantinePage::askRestorePath(const std::string& proposed) {
  return CdRestore->ShowSave(proposed);
}

void QuarantinePage::quarantineChanged() { m_status.refreshQuarantineCount(); }

}  // namespace halvik::quarantine
