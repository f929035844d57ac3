#pragma once

#include "scan/ScanDriver.h"
#include "scan/frmScan.h"

#include <QLabel>
#include <QPointer>

#include <functional>

namespace halvik::scan {

// The scan driver's view of the windows for one click of "Suivant": the results window that
// this click opened and the main window's status page. Every object is held through a guarded
// pointer and looked at again after each yield, so a window closed, replaced by a later scan or
// destroyed while the walk yields is never touched; once the results window or the main window
// is gone or hidden, the walk sees an invisible window and stops.
class ScanWindowView : public scan::ScanDriverView {
 public:
  ScanWindowView(QWidget* mainWindow, QLabel* totalScans, std::function<frmScan*()> reopen);

  frmScan* window() const { return m_window; }

  bool visible() const override;
  void close() override;
  void setCurFile(const std::string& path) override;
  void setObjectsScanned(const std::string& count) override;
  void setMaliciousObjects(const std::string& count) override;
  void addHit(const engine::mScanFiles::Hit& hit) override;

  void showTotalScans(const std::string& total) override;
  void reopenResults() override;
  void clearResults() override;
  std::vector<std::string> drives() const override;
  void setOperation(const std::string& text) override;
  void finishResults() override;
  void yield() override;

 private:
  void setCaption(QLabel* frmScan::*label, const std::string& text);

  QPointer<QWidget> m_main;
  QPointer<QLabel> m_totalScans;
  std::function<frmScan*()> m_reopen;
  QPointer<frmScan> m_window;
};

}  // namespace halvik::scan
