#include "scan/ScanWindowView.h"

#include "widgets/ActionLabel.h"
#include "widgets/DisplayText.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include <utility>

namespace halvik::scan {

ScanWindowView::ScanWindowView(QWidget* mainWindow, QLabel* totalScans, std::function<frmScan*()> reopen)
    : m_main(mainWindow), m_totalScans(totalScans), m_reopen(std::move(reopen)) {}

bool ScanWindowView::visible() const { return m_window && m_window->isVisible() && m_main && m_main->isVisible(); }

void ScanWindowView::close() {
  if (m_window) m_window->close();
}

void ScanWindowView::setCaption(QLabel* frmScan::*label, const std::string& text) {
  if (m_window) (m_window->*label)->setText(widgets::displayText(text));
}

void ScanWindowView::setCurFile(const std::string& path) { setCaption(&frmScan::lblCurFile, path); }
void ScanWindowView::setObjectsScanned(const std::string& count) { setCaption(&frmScan::lblObjectsScanned, count); }
void ScanWindowView::setMaliciousObjects(const std::string& count) { setCaption(&frmScan::lblMaliciousObjects, count); }
void ScanWindowView::setOperation(const std::string& text) { setCaption(&frmScan::lblOperation, text); }

void ScanWindowView::addHit(const engine::mScanFiles::Hit& hit) {
  if (m_window) m_window->addHit(hit);
}

void ScanWindowView::showTotalScans(const std::string& total) {
  if (m_totalScans) m_totalScans->setText(widgets::displayText(total));
}

void ScanWindowView::reopenResults() { m_window = m_reopen(); }

void ScanWindowView::clearResults() {
  if (m_window) m_window->lvScan->clear();
}

std::vector<std::string> ScanWindowView::drives() const {
  return m_window ? m_window->driveEntries() : std::vector<std::string>();
}

void ScanWindowView::finishResults() {
  if (!m_window) return;
  m_window->lblGoAbort->setEnabled(false);
  m_window->lblGoFix->setEnabled(true);
}

void ScanWindowView::yield() { QCoreApplication::processEvents(); }

}  // namespace halvik::scan
