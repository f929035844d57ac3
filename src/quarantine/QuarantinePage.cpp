#include "quarantine/QuarantinePage.h"

#include "quarantine/SaveDialog.h"
#include "ui/OrventoCmd.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"

#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QWidget>

namespace {

// The raw bytes of a row's stored name, kept beside its display text.
constexpr int kStoredNameRole = Qt::UserRole;

enum Column { kFileName, kFileType, kCompressedSize };

QString displayText(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace

QuarantinePage::QuarantinePage(frmMain& main, QWidget* frame) : QObject(frame), m_main(main), m_frame(frame) {
  createControls();
  connect(Label18, &Quillet::OrventoCmd::Click, this, [this] { m_logic.restoreSelected(); });
  connect(Label17, &Quillet::OrventoCmd::Click, this, [this] { m_logic.deleteSelected(); });
}

void QuarantinePage::fill() { m_logic.fill(); }

void QuarantinePage::createControls() {
  Label13 = new QLabel(QStringLiteral("Liste Quarantine"), m_frame);
  Label13->setObjectName(QStringLiteral("Label13"));
  QFont heading = Label13->font();
  heading.setBold(true);
  heading.setPointSizeF(heading.pointSizeF() * 1.5);
  Label13->setFont(heading);
  twips::place(Label13, 240, 450, 6375, 375);

  Label14 = new QLabel(QStringLiteral("Selectionnez les fichiers infectés :"), m_frame);
  Label14->setObjectName(QStringLiteral("Label14"));
  twips::place(Label14, 240, 870, 6375, 255);

  lvQuarintine = new QTreeWidget(m_frame);
  lvQuarintine->setObjectName(QStringLiteral("lvQuarintine"));
  lvQuarintine->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("File Type"), QStringLiteral("Compressed Size")});
  lvQuarintine->setRootIsDecorated(false);
  lvQuarintine->setItemsExpandable(false);
  lvQuarintine->setUniformRowHeights(true);
  lvQuarintine->setAllColumnsShowFocus(true);
  lvQuarintine->setSelectionMode(QAbstractItemView::SingleSelection);
  lvQuarintine->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvQuarintine->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvQuarintine->headerItem()->setTextAlignment(kCompressedSize, Qt::AlignRight | Qt::AlignVCenter);
  twips::place(lvQuarintine, 240, 1170, 6375, 2160);
  const double dpi = lvQuarintine->logicalDpiX();
  lvQuarintine->setColumnWidth(kFileName, twips::toPixels(2850, dpi));
  lvQuarintine->setColumnWidth(kFileType, twips::toPixels(2025, dpi));

  Line5 = new QFrame(m_frame);
  Line5->setObjectName(QStringLiteral("Line5"));
  Line5->setFrameShape(QFrame::HLine);
  Line5->setFrameShadow(QFrame::Sunken);
  twips::place(Line5, 240, 3405, 6375, 30);

  Label18 = new Quillet::OrventoCmd(m_frame);
  Label18->setObjectName(QStringLiteral("Label18"));
  Label18->setCaption(QStringLiteral("&Restaurez"));
  Label18->setButtonType(1);
  twips::place(Label18, 3720, 3540, 1380, 390);

  Label17 = new Quillet::OrventoCmd(m_frame);
  Label17->setObjectName(QStringLiteral("Label17"));
  Label17->setCaption(QStringLiteral("&Supprimez"));
  Label17->setButtonType(1);
  twips::place(Label17, 5235, 3540, 1380, 390);

  CdRestore = new SaveDialog(m_frame);
  CdRestore->setObjectName(QStringLiteral("CdRestore"));
  CdRestore->setDialogTitle(QStringLiteral("Restore to where?"));
}

void QuarantinePage::clearRows() { lvQuarintine->clear(); }

void QuarantinePage::addRow(const QuarantineRow& row) {
  auto* item = new QTreeWidgetItem(lvQuarintine);
  item->setText(kFileName, displayText(row.storedName));
  item->setData(kFileName, kStoredNameRole, QByteArray::fromStdString(row.storedName));
  item->setText(kFileType, displayText(row.threatName));
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

std::optional<std::string> QuarantinePage::askRestorePath(const std::string& sourceName) {
  return CdRestore->ShowSave(sourceName);
}

void QuarantinePage::quarantineChanged() { m_main.refreshQuarantineCount(); }
