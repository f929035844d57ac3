#pragma once

#include "core/StatusCounters.h"
#include "monitor/MonitorTimer.h"
#include "ui/MainPresenter.h"
#include "ui/MainView.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <string>

class QLabel;
class QTimer;
class QPainter;
class QPlainTextEdit;

namespace halvik::monitor {
class MonitorPage;
}
namespace halvik::quarantine {
class QuarantinePage;
}
namespace halvik::scan {
class ScanPage;
}
namespace halvik::widgets {
class ActionLabel;
class FileListBox;
}  // namespace halvik::widgets

namespace halvik::ui {

class frmSettings;
}  // namespace halvik::ui

namespace halvik::widgets::Quillet {
class OrventoCmd;
class OrventoFrm;
}  // namespace halvik::widgets::Quillet
namespace halvik::widgets::artwork {
enum class Picture;
}

namespace halvik::ui {

// The main window: three page buttons, the picture buttons, the quit button and five pages in
// one rectangle (0 status, 1 scan, 2 monitor, 3 help, 4 quarantine), one shown at a time.
// The scan, monitor and quarantine pages are built by their own classes inside picFrame_1,
// picFrame_2 and picFrame_4; they reach the status page and tmrAdMonitor only through
// StatusCounters and MonitorTimer. Its load sequence, status values, page switch and picture
// buttons are MainPresenter's.
class frmMain : public QWidget, public MainView, private core::StatusCounters, private monitor::MonitorTimer {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // Shows page `index`; switching to the page already shown does nothing. Switching to page 4
  // from another page fills the quarantine list anew.
  void SetCurrentFrame(int index);
  int CurrentFrame() const { return m_presenter.CurrentFrame(); }

  // Shows the one settings dialog, modeless and owned by this window, created on first use.
  void showSettings() override;
  frmSettings* settingsDialog() const;

  // Shows on the status page the number of files the quarantine holds (the quarantine page
  // calls it after changing the folder, the repair pass after it ends).
  void refreshQuarantineCount() override;

  // The folder of the hidden quarantine file list: the quarantine folder, or empty when the
  // load sequence could not make it.
  const std::string& File1Path() const;

  // Controls shared with the pages (object names as the member names; arrays as name_index).
  std::array<widgets::Quillet::OrventoFrm*, 5> picFrame{};
  std::array<widgets::Quillet::OrventoCmd*, 3> lblButtonBack{};
  std::array<widgets::Quillet::OrventoCmd*, 5> imgButton{};  // indexes 0, 1, 2 and 4 exist
  widgets::Quillet::OrventoCmd* quit = nullptr;
  QTimer* tmrAdMonitor = nullptr;
  widgets::FileListBox* File1 = nullptr;  // hidden: the quarantine folder's "*.aaq" files

  QLabel* lblStatus_Admonitor = nullptr;
  QLabel* lblStatus_System = nullptr;
  QLabel* lblStatus_Removed = nullptr;
  QLabel* lblStatus_Total = nullptr;
  QLabel* lblStatus_Ignore = nullptr;
  QLabel* lblStatus_Quarintine = nullptr;
  QLabel* lblStatus_Signatures = nullptr;  // under the design's rows: the signature set in use
  widgets::ActionLabel* lblGoIgnore = nullptr;
  widgets::ActionLabel* lblStatusReset = nullptr;
  widgets::ActionLabel* lblGoQuarintine = nullptr;
  QPlainTextEdit* Text2 = nullptr;

  scan::ScanPage* scanPage = nullptr;
  monitor::MonitorPage* monitorPage = nullptr;
  quarantine::QuarantinePage* quarantinePage = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void showTotalScans(const std::string& total) override;
  void showObjectsRemoved(const std::string& total) override;
  bool active() const override;
  void start() override;
  void stop() override;
  std::chrono::milliseconds period() const override;
  void setPeriod(std::chrono::milliseconds period) override;
  void showMonitorState(const QString& caption, bool on);

  void buildButtons();
  void buildPages();
  void buildStatusPage();
  void buildSignaturesRow(QWidget* page);
  widgets::ActionLabel* statusLink(const QString& objectName, const QString& caption, int left);
  void buildHelpPage();
  void buildFooter();
  void load();
  QPixmap picture(widgets::artwork::Picture kind, const QWidget* button, const QColor& colour) const;
  void paintProductMark(QPainter& painter, double dpi);

  void lblButtonBack_Click(int index);

  // MainView
  void listQuarantineFolder(const std::string& folder) override;
  void loadMonitor() override;
  void showMonitorStatus(const std::string& text, const TextColour& colour) override;
  void showSignatures(const std::string& text, const TextColour& colour) override;
  void showStatusValue(StatusValue value, const std::string& text) override;
  void showPage(int index) override;
  void fillQuarantineList() override;
  void openWebSite(const std::string& address) override;

  MainPresenter m_presenter{*this};
  QPointer<frmSettings> m_settings;
};

}  // namespace halvik::ui
